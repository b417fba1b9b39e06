// The machine pellwick-check.exe runs on, read through the installer's own
// Win32 services.
#include "Verify.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32StartMenu.h"

TMachine* LocalMachine()
{
    static TWin32FileSystem files;
    static TWin32Registry registry;
    static TWin32ProfileFiles profiles;
    static TWin32StartMenu startMenu;
    static TWin32Shortcuts shortcuts;
    static TWin32Locale locale;
    static TWin32DateFormats dateFormats;
    static TMachine machine{files, registry, profiles, startMenu, shortcuts, locale, dateFormats};
    return &machine;
}
