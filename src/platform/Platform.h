// The services the portable program reaches the outside world through.
// The exe installs the Win32 implementations at start; tests install doubles.
#pragma once
#include "platform/Cleanup.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/FileSystem.h"
#include "platform/Folders.h"
#include "platform/Locale.h"
#include "platform/MachineLock.h"
#include "platform/PrivateCopy.h"
#include "platform/Profile.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Shortcuts.h"
#include "platform/StartMenu.h"

struct TPlatform {
    IProfileFiles* Profiles = nullptr;
    IRegistryApi* Registry = nullptr;
    IFileSystem* Files = nullptr;
    IFolders* Folders = nullptr;  // the installer's alone
    IClock* Clock = nullptr;
    IDesktop* Desktop = nullptr;
    ILocale* Locale = nullptr;
    IDateFormats* DateFormats = nullptr;  // the installer's alone
    IShell* Shell = nullptr;
    IProgramManager* ProgramManager = nullptr;
    IStartMenu* StartMenu = nullptr;
    IShortcuts* Shortcuts = nullptr;  // the installer's alone
    ICleanup* Cleanup = nullptr;  // the uninstaller's alone
    IMachineLock* MachineLock = nullptr;
    IPrivateCopy* PrivateCopy = nullptr;  // the uninstaller's alone
};

TPlatform& Sys();

// Sets the screen cursor and puts the default one back when it goes out of
// scope, whichever way the scope is left.
class TCursorScope {
public:
    explicit TCursorScope(TCursor cursor) { Sys().Desktop->SetCursor(cursor); }
    ~TCursorScope() { Sys().Desktop->SetCursor(TCursor::Default); }
    TCursorScope(const TCursorScope&) = delete;
    TCursorScope& operator=(const TCursorScope&) = delete;
};
