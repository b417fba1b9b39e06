#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "platform/win32/Win32StartMenu.h"
#include "core/CharText.h"
#include "platform/win32/Win32Platform.h"

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

// COM's calls, from ole32.dll loaded from the system's folder when a
// shortcut is first made or read: a program that only asks for the folders
// (the uninstaller) imports no COM and starts none.
struct TCom {
    HRESULT(WINAPI* Initialize)(LPVOID, DWORD) = nullptr;
    void(WINAPI* Uninitialize)() = nullptr;
    HRESULT(WINAPI* CreateInstance)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*) = nullptr;
};

const TCom& Com()
{
    static TCom com;
    static bool loaded = false;
    if (!loaded) {
        loaded = true;
        HMODULE ole = static_cast<HMODULE>(LoadSystemLibrary("ole32.dll"));
        if (ole != nullptr) {
            com.Initialize = reinterpret_cast<decltype(com.Initialize)>(
                reinterpret_cast<void*>(GetProcAddress(ole, "CoInitializeEx")));
            com.Uninitialize = reinterpret_cast<decltype(com.Uninitialize)>(
                reinterpret_cast<void*>(GetProcAddress(ole, "CoUninitialize")));
            com.CreateInstance = reinterpret_cast<decltype(com.CreateInstance)>(
                reinterpret_cast<void*>(GetProcAddress(ole, "CoCreateInstance")));
        }
    }
    return com;
}

}  // namespace

TWin32StartMenu::TWin32StartMenu() = default;

TWin32StartMenu::~TWin32StartMenu()
{
    if (comStarted_) Com().Uninitialize();
}

HRESULT TWin32StartMenu::CreateShellLink(void** link)
{
    const TCom& com = Com();
    if (com.Initialize == nullptr || com.Uninitialize == nullptr || com.CreateInstance == nullptr)
        return E_NOTIMPL;
    if (!comTried_) {
        comTried_ = true;
        comStarted_ = SUCCEEDED(com.Initialize(nullptr, COINIT_APARTMENTTHREADED));
    }
    return com.CreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link);
}

namespace {

// A shell folder's path by the calls Windows 95 and NT 4 have as shipped
// (SHGetSpecialFolderPath came with the Internet Explorer 4 desktop); ""
// where the system has no such folder.
std::string ShellFolder(int csidl)
{
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || list == nullptr) return "";
    char path[MAX_PATH] = {};
    BOOL found = SHGetPathFromIDListA(list, path);
    IMalloc* shellMalloc = nullptr;
    if (SUCCEEDED(SHGetMalloc(&shellMalloc))) {
        shellMalloc->Free(list);
        shellMalloc->Release();
    }
    return found ? DropTrailing(path, "\\") : "";
}

}  // namespace

std::string TWin32StartMenu::ProgramsFolder() { return ShellFolder(CSIDL_PROGRAMS); }

std::string TWin32StartMenu::CommonProgramsFolder() { return ShellFolder(CSIDL_COMMON_PROGRAMS); }

bool TWin32StartMenu::ShortcutTarget(const std::string& shortcut, std::string& target)
{
    TComRef<IShellLinkA> link;
    if (FAILED(CreateShellLink(reinterpret_cast<void**>(&link.p)))) return false;
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

unsigned long TWin32StartMenu::CreateShortcut(const std::string& shortcut, const std::string& target,
                                              const std::string& workingDir)
{
    TComRef<IShellLinkA> link;
    HRESULT hr = CreateShellLink(reinterpret_cast<void**>(&link.p));
    if (FAILED(hr)) return HRESULT_CODE(hr);
    TComRef<IPersistFile> file;
    hr = link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p));
    if (FAILED(hr)) return HRESULT_CODE(hr);
    wchar_t wide[MAX_PATH] = {};
    if (MultiByteToWideChar(CP_ACP, 0, shortcut.c_str(), -1, wide, MAX_PATH) == 0)
        return GetLastError();
    link.p->SetPath(target.c_str());
    link.p->SetWorkingDirectory(workingDir.c_str());
    hr = file.p->Save(wide, TRUE);
    return FAILED(hr) ? HRESULT_CODE(hr) : 0;
}
