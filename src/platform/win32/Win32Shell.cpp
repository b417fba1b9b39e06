#include <windows.h>
#include <ddeml.h>
#include <shellapi.h>

#include "platform/win32/Win32Platform.h"

void TWin32Shell::Open(void* owner, const std::string& file)
{
    ShellExecuteA(static_cast<HWND>(owner), "open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

namespace {

const char* const ProgmanName = "PROGMAN";
// How long the program manager may take to carry out one command.
const DWORD ExecuteTimeout = 10000;

HDDEDATA CALLBACK DdeCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

}  // namespace

TWin32ProgramManager::~TWin32ProgramManager()
{
    Close();
    if (instance_ != 0) DdeUninitialize(instance_);
}

void TWin32ProgramManager::Open()
{
    if (conversation_ != nullptr) return;
    if (instance_ == 0 &&
        DdeInitializeA(&instance_, DdeCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
        instance_ = 0;
        return;
    }
    service_ = DdeCreateStringHandleA(instance_, ProgmanName, CP_WINANSI);
    topic_ = DdeCreateStringHandleA(instance_, ProgmanName, CP_WINANSI);
    conversation_ = DdeConnect(instance_, static_cast<HSZ>(service_), static_cast<HSZ>(topic_), nullptr);
    if (conversation_ == nullptr && WinExec(ProgmanName, SW_SHOWMINNOACTIVE) >= 32)
        conversation_ = DdeConnect(instance_, static_cast<HSZ>(service_), static_cast<HSZ>(topic_), nullptr);
}

bool TWin32ProgramManager::IsOpen() const { return conversation_ != nullptr; }

bool TWin32ProgramManager::Execute(const std::string& command)
{
    if (conversation_ == nullptr) return false;
    HDDEDATA data = DdeCreateDataHandle(instance_, reinterpret_cast<LPBYTE>(const_cast<char*>(command.c_str())),
                                        static_cast<DWORD>(command.size() + 1), 0, nullptr, CF_TEXT, 0);
    if (data == nullptr) return false;
    // Synchronous, so that an accepted command has really been carried out
    // and none is lost when the conversation closes right after.
    DWORD result = 0;
    HDDEDATA done = DdeClientTransaction(reinterpret_cast<LPBYTE>(data), 0xFFFFFFFF,
                                         static_cast<HCONV>(conversation_), nullptr, 0, XTYP_EXECUTE,
                                         ExecuteTimeout, &result);
    return done != nullptr;
}

void TWin32ProgramManager::Close()
{
    if (conversation_ != nullptr) DdeDisconnect(static_cast<HCONV>(conversation_));
    conversation_ = nullptr;
    if (service_ != nullptr) DdeFreeStringHandle(instance_, static_cast<HSZ>(service_));
    if (topic_ != nullptr) DdeFreeStringHandle(instance_, static_cast<HSZ>(topic_));
    service_ = topic_ = nullptr;
}
