#include <windows.h>
#include <dde.h>
#include <ddeml.h>

#include "platform/win32/Win32Platform.h"

namespace {

// Program Manager lies in the Windows folder on 3.x, 95, 98 and NT 4, and
// nowhere on later Windows. Started by bare name it would be searched in
// the exe's folder, the current folder and PATH first, where anyone may
// have put a PROGMAN.EXE: it is started by its full path or not at all.
const char* const ProgmanFile = "\\PROGMAN.EXE";
// The DDE service and topic.
const char* const ProgmanName = "PROGMAN";
// How long the program manager may take to carry out one command.
const DWORD ExecuteTimeout = 10000;

// ChangeWindowMessageFilter's "let this message in".
const DWORD MessageFilterAdd = 1;  // MSGFLT_ADD

HDDEDATA CALLBACK DdeCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

TProgmanCalls::TMessageFilter FindMessageFilter()
{
    HMODULE user = GetModuleHandleA("user32.dll");
    if (user == nullptr) return nullptr;
    return reinterpret_cast<TProgmanCalls::TMessageFilter>(
        reinterpret_cast<void*>(GetProcAddress(user, "ChangeWindowMessageFilter")));
}

void* Connect(unsigned long instance, void* service, void* topic)
{
    return DdeConnect(instance, static_cast<HSZ>(service), static_cast<HSZ>(topic), nullptr);
}

bool StartProgman()
{
    char windows[MAX_PATH] = {};
    UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    std::string path = std::string(windows, length) + ProgmanFile;
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
    return WinExec(("\"" + path + "\"").c_str(), SW_SHOWMINNOACTIVE) >= 32;
}

}  // namespace

TProgmanCalls Win32ProgmanCalls() { return {FindMessageFilter, Connect, StartProgman}; }

TWin32ProgramManager::TWin32ProgramManager(const TProgmanCalls& calls) : calls_(calls) {}

TWin32ProgramManager::~TWin32ProgramManager()
{
    Close();
    if (instance_ != 0) DdeUninitialize(instance_);
}

// Elevated, the installer runs at high integrity and the shell that answers
// at medium. User Interface Privilege Isolation drops what a lower process
// sends a higher one unless the receiver lets it in, and the DDE replies are
// not documented as let through always. Process-wide, because the replies
// go to the DDE library's own windows; where they pass anyway this changes
// nothing.
void TWin32ProgramManager::LetRepliesIn()
{
    if (filterAsked_) return;
    filterAsked_ = true;
    TProgmanCalls::TMessageFilter filter = calls_.FindMessageFilter();
    if (filter == nullptr) return;
    for (UINT message = WM_DDE_FIRST; message <= WM_DDE_LAST; ++message)
        filter(message, MessageFilterAdd);
}

void TWin32ProgramManager::Open()
{
    if (conversation_ != nullptr) return;
    LetRepliesIn();
    if (instance_ == 0 &&
        DdeInitializeA(&instance_, DdeCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
        instance_ = 0;
        return;
    }
    service_ = DdeCreateStringHandleA(instance_, ProgmanName, CP_WINANSI);
    topic_ = DdeCreateStringHandleA(instance_, ProgmanName, CP_WINANSI);
    conversation_ = calls_.Connect(instance_, service_, topic_);
    if (conversation_ == nullptr && calls_.StartProgman())
        conversation_ = calls_.Connect(instance_, service_, topic_);
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
