#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "platform/win32/Win32StartMenu.h"
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

}  // namespace

using TCoInitialize = HRESULT(WINAPI*)(LPVOID);
using TCoCreateInstance = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
using TCoUninitialize = void(WINAPI*)();

TWin32Shortcuts::~TWin32Shortcuts()
{
    if (comStarted_) reinterpret_cast<TCoUninitialize>(uninitialize_)();
}

long TWin32Shortcuts::NewLink(void** link)
{
    if (createInstance_ == nullptr) {
        HMODULE ole = static_cast<HMODULE>(LoadSystemLibrary("ole32.dll"));
        if (ole == nullptr) return GetLastError();
        // CoInitialize, which Windows 95 has as shipped, where CoInitializeEx came with DCOM.
        auto initialize =
            reinterpret_cast<TCoInitialize>(reinterpret_cast<void*>(GetProcAddress(ole, "CoInitialize")));
        uninitialize_ = reinterpret_cast<void*>(GetProcAddress(ole, "CoUninitialize"));
        void* create = reinterpret_cast<void*>(GetProcAddress(ole, "CoCreateInstance"));
        if (initialize == nullptr || uninitialize_ == nullptr || create == nullptr) return ERROR_PROC_NOT_FOUND;
        comStarted_ = SUCCEEDED(initialize(nullptr));
        createInstance_ = create;
    }
    HRESULT hr = reinterpret_cast<TCoCreateInstance>(createInstance_)(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                                           IID_IShellLinkA, link);
    return FAILED(hr) ? HRESULT_CODE(hr) : 0;
}

bool TWin32Shortcuts::ShortcutTarget(const std::string& shortcut, std::string& target)
{
    TComRef<IShellLinkA> link;
    if (NewLink(reinterpret_cast<void**>(&link.p)) != 0) return false;
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

unsigned long TWin32Shortcuts::CreateShortcut(const std::string& shortcut, const std::string& target,
                                              const std::string& arguments, const std::string& workingDir)
{
    TComRef<IShellLinkA> link;
    long error = NewLink(reinterpret_cast<void**>(&link.p));
    if (error != 0) return error;
    TComRef<IPersistFile> file;
    HRESULT hr = link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p));
    if (FAILED(hr)) return HRESULT_CODE(hr);
    wchar_t wide[MAX_PATH] = {};
    if (MultiByteToWideChar(CP_ACP, 0, shortcut.c_str(), -1, wide, MAX_PATH) == 0)
        return GetLastError();
    link.p->SetPath(target.c_str());
    if (!arguments.empty()) link.p->SetArguments(arguments.c_str());
    link.p->SetWorkingDirectory(workingDir.c_str());
    hr = file.p->Save(wide, TRUE);
    return FAILED(hr) ? HRESULT_CODE(hr) : 0;
}
