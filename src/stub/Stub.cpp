// The single-file setup's stub: the exe pellwick-pack puts in front of a
// packed installer folder (PackFormat.h). It checks the payload's checksum
// before writing anything, unpacks it into a fresh folder of an
// unpredictable name that only the running account can write to, runs the
// Pellwick.exe it holds with the stub's own command line, waits for it,
// removes the folder and ends with Pellwick.exe's exit code.
//
// Exit codes of its own, as Pellwick.exe's: 2 when nothing was done (no
// payload, a damaged one, no folder to unpack into), 3 when unpacking or
// starting failed after the folder was made. With /S it shows nothing.
//
// Small and on system DLLs only: no C++ library, no exceptions, Win32 and
// zlib.
#include <windows.h>

#include "PackFormat.h"
#include "platform/win32/PrivateFolder.h"

namespace {

const char Caption[] = "Setup";
const DWORD ProgressDelayMs = 1000;

bool silent = false;

class TProgress;
void ProgressOf(TProgress& progress, uint64_t done, uint64_t total);

void Say(const char* text)
{
    if (!silent) MessageBoxA(nullptr, text, Caption, MB_OK | MB_ICONSTOP);
}

void Append(char* to, size_t size, const char* text)
{
    size_t at = lstrlenA(to);
    while (*text != '\0' && at + 1 < size) to[at++] = *text++;
    to[at] = '\0';
}

void Copy(char* to, size_t size, const char* text)
{
    to[0] = '\0';
    Append(to, size, text);
}

// Takes the stub's folder and the current one out of the DLL search: the
// system folder only where Windows has SetDefaultDllDirectories (Vista and
// 7 with KB2533623, 8 and later), else at least not the current folder.
void RestrictDllSearch()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    typedef BOOL(WINAPI * TSetDefault)(DWORD);
    typedef BOOL(WINAPI * TSetDirectory)(LPCSTR);
    TSetDefault setDefault =
        reinterpret_cast<TSetDefault>(reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    TSetDirectory setDirectory =
        reinterpret_cast<TSetDirectory>(reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")));
    if (setDefault != nullptr) setDefault(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */);
    if (setDirectory != nullptr) setDirectory("");
}

// The arguments after the program's name, exactly as given.
const char* ArgumentsOf(const char* line)
{
    const char* p = line;
    bool quoted = false;
    while (*p != '\0' && (quoted || (*p != ' ' && *p != '\t'))) {
        if (*p == '"') quoted = !quoted;
        ++p;
    }
    return p;
}

// /S among the arguments, with the system's quoting ("/S" is /S too), as
// Pellwick.exe reads it.
bool SilentAsked(const char* line)
{
    const char* p = ArgumentsOf(line);
    while (*p != '\0') {
        while (*p == ' ' || *p == '\t') ++p;
        char token[2] = {};
        int length = 0;
        bool quoted = false;
        for (; *p != '\0' && (quoted || (*p != ' ' && *p != '\t')); ++p) {
            if (*p == '"') quoted = !quoted;
            else if (length++ < 2) token[length - 1] = *p;
        }
        if (length == 2 && token[0] == '/' && (token[1] | 0x20) == 's') return true;
    }
    return false;
}

// ---- The payload in the exe's own file ------------------------------------

struct TPayload {
    HANDLE File = INVALID_HANDLE_VALUE;
    DWORD Offset = 0;   // of the header in the file
    DWORD Size = 0;     // the section's raw size
    TPackHeader Header;
};

bool ReadAt(HANDLE file, DWORD offset, void* buffer, DWORD size)
{
    DWORD got = 0;
    return SetFilePointer(file, static_cast<LONG>(offset), nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
           ReadFile(file, buffer, size, &got, nullptr) && got == size;
}

// Finds the ".pwpack" section in the exe's own file and reads its header.
bool FindPayload(TPayload& payload)
{
    char path[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    payload.File = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (payload.File == INVALID_HANDLE_VALUE) return false;
    IMAGE_DOS_HEADER dos;
    IMAGE_NT_HEADERS32 nt;
    if (!ReadAt(payload.File, 0, &dos, sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return false;
    DWORD ntAt = static_cast<DWORD>(dos.e_lfanew);
    if (!ReadAt(payload.File, ntAt, &nt, sizeof nt) || nt.Signature != IMAGE_NT_SIGNATURE) return false;
    DWORD sectionsAt = ntAt + 4 + sizeof(IMAGE_FILE_HEADER) + nt.FileHeader.SizeOfOptionalHeader;
    for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER section;
        if (!ReadAt(payload.File, sectionsAt + i * sizeof section, &section, sizeof section)) return false;
        if (memcmp(section.Name, PackSectionName, 8) != 0) continue;
        unsigned char header[PackHeaderSize];
        payload.Offset = section.PointerToRawData;
        payload.Size = section.SizeOfRawData;
        return payload.Size >= PackHeaderSize && ReadAt(payload.File, payload.Offset, header, sizeof header) &&
               ReadPackHeader(header, payload.Header) &&
               payload.Header.Packed <= payload.Size - PackHeaderSize;
    }
    return false;
}

// The checksum over the header and the packed stream, before anything is
// written.
bool ChecksumHolds(const TPayload& payload, TProgress& progress)
{
    unsigned char header[PackHeaderSize];
    if (!ReadAt(payload.File, payload.Offset, header, sizeof header)) return false;
    uint32_t crc = PackHeaderCrc(header);
    uint64_t left = payload.Header.Packed;
    DWORD got = 0;
    const DWORD chunkSize = 1u << 18;
    unsigned char* chunk = static_cast<unsigned char*>(HeapAlloc(GetProcessHeap(), 0, chunkSize));
    if (chunk == nullptr) return false;
    while (left > 0) {
        DWORD want = left < chunkSize ? static_cast<DWORD>(left) : chunkSize;
        if (!ReadFile(payload.File, chunk, want, &got, nullptr) || got != want) break;
        crc = PackCrc(crc, chunk, got);
        left -= got;
        ProgressOf(progress, payload.Header.Packed - left, payload.Header.Packed + payload.Header.Unpacked);
    }
    HeapFree(GetProcessHeap(), 0, chunk);
    return left == 0 && crc == payload.Header.Crc;
}

class TFileSource : public TPackSource {
public:
    explicit TFileSource(HANDLE file) : file_(file) {}
    size_t Read(void* buffer, size_t size) override
    {
        DWORD got = 0;
        return ReadFile(file_, buffer, static_cast<DWORD>(size), &got, nullptr) ? got : 0;
    }

private:
    HANDLE file_;
};

// ---- The progress window -----------------------------------------------------

class TProgress {
public:
    void Update(uint64_t done, uint64_t total)
    {
        if (silent) return;
        DWORD now = GetTickCount();
        if (window_ == nullptr) {
            if (now - start_ < ProgressDelayMs) return;
            Open();
            if (window_ == nullptr) return;
        }
        // In 32 bits: a division of 64 would bring libgcc's along.
        while (total > 0xFFFFF) {
            total >>= 1;
            done >>= 1;
        }
        int permille = total == 0 ? 1000 : static_cast<int>(static_cast<DWORD>(done) * 1000 / static_cast<DWORD>(total));
        if (permille != permille_) {
            permille_ = permille;
            InvalidateRect(window_, nullptr, FALSE);
        }
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    void Close()
    {
        if (window_ != nullptr) DestroyWindow(window_);
        window_ = nullptr;
    }
    DWORD start_ = GetTickCount();

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_PAINT) {
            TProgress* self = reinterpret_cast<TProgress*>(GetWindowLongPtrA(window, GWLP_USERDATA));
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT client;
            GetClientRect(window, &client);
            FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
            RECT bar = {12, 36, client.right - 12, 54};
            FrameRect(dc, &bar, GetSysColorBrush(COLOR_BTNSHADOW));
            InflateRect(&bar, -2, -2);
            int permille = self != nullptr ? self->permille_ : 0;
            bar.right = bar.left + (bar.right - bar.left) * permille / 1000;
            FillRect(dc, &bar, GetSysColorBrush(COLOR_HIGHLIGHT));
            EndPaint(window, &paint);
            return 0;
        }
        if (message == WM_CLOSE) return 0;  // unpacking is not to be cut short
        return DefWindowProcA(window, message, wParam, lParam);
    }
    void Open()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT));
        windowClass.lpszClassName = "PellwickSetup";
        RegisterClassA(&windowClass);
        RECT frame;
        frame.left = frame.top = 0;
        frame.right = 320;
        frame.bottom = 66;
        DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
        AdjustWindowRect(&frame, style, FALSE);
        int width = frame.right - frame.left, height = frame.bottom - frame.top;
        window_ = CreateWindowExA(0, windowClass.lpszClassName, Caption, style,
                                  (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                  (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
        if (window_ == nullptr) return;
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        CreateWindowExA(0, "STATIC", "Unpacking...", WS_CHILD | WS_VISIBLE | SS_LEFT, 12, 10,
                        296, 20, window_, nullptr, windowClass.hInstance, nullptr);
        ShowWindow(window_, SW_SHOWNORMAL);
        UpdateWindow(window_);
    }

    HWND window_ = nullptr;
    int permille_ = -1;
};

void ProgressOf(TProgress& progress, uint64_t done, uint64_t total) { progress.Update(done, total); }

// Writes the entries below the folder. Files are made new: nothing that is
// already there is opened.
class TFolderSink : public TPackSink {
public:
    TFolderSink(const char* folder, TProgress& progress) : folder_(folder), progress_(progress) {}
    bool Folder(const char* name) override
    {
        char path[MAX_PATH + 8];
        return PathOf(name, path) && CreateDirectoryA(path, nullptr);
    }
    bool BeginFile(const char* name, uint64_t) override
    {
        char path[MAX_PATH + 8];
        if (!PathOf(name, path)) return false;
        file_ = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        return file_ != INVALID_HANDLE_VALUE;
    }
    bool Write(const void* data, size_t size) override
    {
        DWORD wrote = 0;
        return WriteFile(file_, data, static_cast<DWORD>(size), &wrote, nullptr) && wrote == size;
    }
    bool EndFile() override
    {
        BOOL closed = CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
        return closed != FALSE;
    }
    // Checking came first: its share of the bar is the packed size.
    void Progress(uint64_t done, uint64_t total) override { progress_.Update(checked_ + done, checked_ + total); }
    uint64_t checked_ = 0;
    void Abandon()
    {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
    }

private:
    bool PathOf(const char* name, char* path)
    {
        if (lstrlenA(folder_) + 1 + lstrlenA(name) >= MAX_PATH) return false;
        Copy(path, MAX_PATH + 8, folder_);
        Append(path, MAX_PATH + 8, "\\");
        Append(path, MAX_PATH + 8, name);
        return true;
    }
    const char* folder_;
    TProgress& progress_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
};

// Runs Pellwick.exe of the folder with the stub's arguments; its exit code,
// or 3 when it cannot be started.
DWORD RunInstaller(const char* folder)
{
    char exe[MAX_PATH + 16];
    Copy(exe, sizeof exe, folder);
    Append(exe, sizeof exe, "\\Pellwick.exe");
    const char* arguments = ArgumentsOf(GetCommandLineA());
    int size = lstrlenA(exe) + lstrlenA(arguments) + 4;
    char* line = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size));
    if (line == nullptr) return 3;
    Copy(line, size, "\"");
    Append(line, size, exe);
    Append(line, size, "\"");
    Append(line, size, arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(exe, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        HeapFree(GetProcessHeap(), 0, line);
        Say("The installer could not be started.");
        return 3;
    }
    HeapFree(GetProcessHeap(), 0, line);
    CloseHandle(process.hThread);
    // Messages are answered while waiting, so that no broadcast of the
    // installer's (the program manager's conversation) waits on the stub.
    for (;;) {
        DWORD woke = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, INFINITE, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) break;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        if (woke == WAIT_FAILED) {
            WaitForSingleObject(process.hProcess, INFINITE);
            break;
        }
    }
    DWORD code = 3;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return code;
}

DWORD Run()
{
    RestrictDllSearch();
    silent = SilentAsked(GetCommandLineA());
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    TPayload payload;
    if (!FindPayload(payload)) {
        Say("This setup file is damaged. Download it again.");
        return 2;
    }
    TProgress progress;
    if (!ChecksumHolds(payload, progress)) {
        progress.Close();
        Say("This setup file is damaged (checksum). Download it again.");
        return 2;
    }
    char temp[MAX_PATH + 1] = {};
    DWORD length = GetTempPathA(MAX_PATH, temp);
    char folder[MAX_PATH + 1] = {};
    if (length == 0 || length >= MAX_PATH || !MakePrivateFolder(temp, "pw", folder, sizeof folder)) {
        Say("No folder could be made in TEMP.");
        return 2;
    }
    TFolderSink sink(folder, progress);
    sink.checked_ = payload.Header.Packed;
    TFileSource source(payload.File);
    DWORD code = 3;
    if (SetFilePointer(payload.File, payload.Offset + PackHeaderSize, nullptr, FILE_BEGIN) !=
            INVALID_SET_FILE_POINTER &&
        Unpack(payload.Header, source, sink) == UnpackDone) {
        progress.Close();
        CloseHandle(payload.File);
        payload.File = INVALID_HANDLE_VALUE;
        code = RunInstaller(folder);
    } else {
        sink.Abandon();
        progress.Close();
        Say("The installer could not be unpacked (disk full?).");
    }
    if (payload.File != INVALID_HANDLE_VALUE) CloseHandle(payload.File);
    RemovePrivateFolder(folder);
    return code;
}

}  // namespace

// The entry point itself: the C runtime's start-up code is not linked (it
// would double the stub and bring the one cmov of crt2.o); msvcrt.dll
// readies itself for zlib's malloc when it is loaded.
extern "C" void WINAPI StubEntry()
{
    ExitProcess(Run());
}
