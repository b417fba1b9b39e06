// Resource ids of the pictures and icons in Pellwick.rc.
#pragma once

#define IDI_WINDOW 1     // 16 x 16 window icon, also the exe's icon
#define IDI_WIZARD 2     // 32 x 32 icon of the wizard's window
#define IDI_SETUP 3      // the wizard's SetupIco picture
#define IDB_SPLASH 101   // 432 x 259 splash picture
#define IDB_BACKDROP 102 // 91 x 139 backdrop picture
