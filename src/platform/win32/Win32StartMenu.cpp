#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "platform/win32/Win32StartMenu.h"
#include "core/CharText.h"

namespace {

// Releases a COM interface when it goes out of scope.
template <typename T>
class TComRef {
public:
    ~TComRef()
    {
        if (p != nullptr) p->Release();
    }
    T* p = nullptr;
};

}  // namespace

TWin32StartMenu::TWin32StartMenu()
{
    comStarted_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

TWin32StartMenu::~TWin32StartMenu()
{
    if (comStarted_) CoUninitialize();
}

std::string TWin32StartMenu::ProgramsFolder()
{
    char path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_PROGRAMS, FALSE)) return "";
    return DropTrailing(path, "\\");
}

bool TWin32StartMenu::ShortcutTarget(const std::string& shortcut, std::string& target)
{
    TComRef<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link.p))))
        return false;
    TComRef<IPersistFile> file;
    if (FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))))
        return false;
    wchar_t wide[MAX_PATH] = {};
    if (MultiByteToWideChar(CP_ACP, 0, shortcut.c_str(), -1, wide, MAX_PATH) == 0) return false;
    // Read only: the shortcut is not resolved, so it is never rewritten.
    if (FAILED(file.p->Load(wide, STGM_READ))) return false;
    char path[MAX_PATH] = {};
    if (link.p->GetPath(path, MAX_PATH, nullptr, 0) != S_OK) return false;
    target = path;
    return true;
}
