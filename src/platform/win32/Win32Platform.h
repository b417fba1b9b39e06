// The Win32 implementations of the platform services.
#pragma once
#include "platform/Platform.h"

class TWin32ProfileFiles : public IProfileFiles {
public:
    std::string KeyNameBuffer(const std::string& path, const std::string& section,
                              std::size_t size) override;
    std::string ReadValue(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& def,
                          std::size_t size) override;
    bool WriteValue(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value) override;
    std::string SectionBuffer(const std::string& path, const std::string& section) override;
    unsigned long ReadError(const std::string& path) override;
};

// The rights RegOpenKeyExA is asked for. The 64-bit view only for a
// 32-bit process on 64-bit Windows: Windows 2000 refuses an open that
// asks for it.
unsigned long RegistryRights(RegAccess access, bool underWow64);
bool UnderWow64();

class TWin32Registry : public IRegistryApi {
public:
    RegKey Root(RegRoot root) override;
    long CreateKey(RegKey parent, const std::string& sub, RegKey& result) override;
    long OpenKey(RegKey parent, const std::string& sub, RegAccess access, RegKey& result) override;
    long QueryValueInfo(RegKey key, const std::string& name, RegType& type,
                        std::uint32_t& size) override;
    long QueryValueData(RegKey key, const std::string& name, RegType& type, std::string& data,
                        std::uint32_t size) override;
    long SetStringValue(RegKey key, const std::string& name, const std::string& text) override;
    long SetDWordValue(RegKey key, const std::string& name, std::uint32_t value) override;
    void CloseKey(RegKey key) override;
};

class TWin32FileSystem : public IFileSystem {
public:
    bool FileExists(const std::string& path) override;
    bool DirectoryExists(const std::string& path) override;
    bool MakeDirectory(const std::string& path) override;
    unsigned long Copy(const std::string& source, const std::string& dest,
                           bool failIfExists) override;
    TFileFacts FileFacts(const std::string& path) override;
    bool SameFile(const std::string& a, const std::string& b) override;
    std::string ErrorText(unsigned long error) override;
    std::string WindowsDirectory() override;
    bool ReadWholeFile(const std::string& path, std::string& content) override;
    std::string CurrentDirectory() override;
    std::string FullPath(const std::string& path) override;
    unsigned long ChangeDirectory(const std::string& path) override;
    unsigned long AppendText(const std::string& path, const std::string& text) override;
    std::string TempDirectory() override;
    unsigned long WriteWholeFile(const std::string& path, const std::string& content) override;

private:
    // The file appended to last, held open for the next line.
    std::string appendPath_;
    void* appendFile_ = nullptr;
};

class TWin32Folders : public IFolders {
public:
    std::vector<TDrive> Drives() override;
    std::string DriveDirectory(char letter) override;
    std::vector<std::string> Subdirectories(const std::string& path) override;
};

class TWin32Cleanup : public ICleanup {
public:
    std::uint32_t Attributes(const std::string& path) override;
    unsigned long ClearAttributes(const std::string& path) override;
    unsigned long RemoveFile(const std::string& path) override;
    unsigned long RemoveFolder(const std::string& path) override;
    bool DeleteAtRestart(const std::string& path) override;
    bool Windows9x() override;
    std::string ShortPath(const std::string& path) override;
    unsigned long Rename(const std::string& from, const std::string& to) override;
    unsigned long TryWrite(const std::string& folder) override;
    std::vector<std::string> Entries(const std::string& path) override;
    long DeleteValue(RegKey key, const std::string& name) override;
    long DeleteSubKey(RegKey parent, const std::string& sub) override;
    long CountContents(RegKey key, std::uint32_t& subkeys, std::uint32_t& values) override;
};

class TWin32PrivateCopy : public IPrivateCopy {
public:
    std::string MakeFolder() override;
    unsigned long RunAndWait(const std::string& program, const std::string& commandLine,
                             const std::string& currentDir, unsigned long& exitCode) override;
    void RemoveFolder(const std::string& folder) override;
};

class TWin32MachineLock : public IMachineLock {
public:
    ~TWin32MachineLock() override;
    bool Take() override;
    void Release() override;

private:
    void* mutex_ = nullptr;
    bool held_ = false;
};

class TWin32Clock : public IClock {
public:
    TDateTime Now() override;
    void Sleep(unsigned milliseconds) override;
};

class TWin32Desktop : public IDesktop {
public:
    int ScreenWidth() override;
    int ScreenHeight() override;
    void SetCursor(TCursor cursor) override;
    void ShowMessage(const std::string& text, const std::string& caption, TMsgIcon icon) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    std::string ExePath() override;
    bool Arguments(std::vector<std::string>& args) override;
    std::string CommandLine() override;
    void QuietSystemErrors() override;
};

class TWin32Locale : public ILocale {
public:
    std::string Lower(const std::string& text) override;
    bool SameText(const std::string& a, const std::string& b) override;
    TCodePage CodePage() override;
};

class TWin32DateFormats : public IDateFormats {
public:
    TLocaleFormats Formats() override;
};

class TWin32Shell : public IShell {
public:
    void Open(void* owner, const std::string& file) override;
};

// The calls of the program-manager conversation whose order matters, as a
// table: the real ones in the exe, recorders in the platform tests.
struct TProgmanCalls {
    // ChangeWindowMessageFilter's signature (message, MSGFLT_ADD).
    using TMessageFilter = int(__stdcall*)(unsigned message, unsigned long flag);
    // ChangeWindowMessageFilter, looked up by name: null where the system
    // lacks it (before Vista) and no isolation stands in the way.
    TMessageFilter (*FindMessageFilter)();
    // DdeConnect to service and topic PROGMAN; null when nobody answers.
    void* (*Connect)(unsigned long instance, void* service, void* topic);
    // Starts <Windows folder>\PROGMAN.EXE by its full path where it is there; whether it started.
    bool (*StartProgman)();
};
TProgmanCalls Win32ProgmanCalls();

class TWin32ProgramManager : public IProgramManager {
public:
    explicit TWin32ProgramManager(const TProgmanCalls& calls = Win32ProgmanCalls());
    ~TWin32ProgramManager() override;
    void Open() override;
    bool IsOpen() const override;
    bool Execute(const std::string& command) override;
    void Close() override;

private:
    void LetRepliesIn();

    TProgmanCalls calls_;
    bool filterAsked_ = false;
    unsigned long instance_ = 0;
    void* service_ = nullptr;
    void* topic_ = nullptr;
    void* conversation_ = nullptr;
};

// Loads a DLL of the system's, never one from the exe's folder or the
// current directory. Only DLLs the system maps itself (KnownDLLs) are
// imported by the exe; every other one is loaded through here.
void* LoadSystemLibrary(const char* name);
// Keeps DLLs out of reach of the exe's own folder and the current
// directory: an installer usually sits in Downloads next to anything.
void RestrictDllSearch();
// Whether RestrictDllSearch left only the system directory (and
// side-by-side assemblies) to search.
bool DllSearchRestricted();

// Whether the program asked for the hourglass; it wins over every window's
// own cursor, as the screen cursor should.
bool Win32HourGlassOn();
// Called before the program's first window is made: until then a cursor
// change only sets the flag above.
void Win32WindowsInUse();

// Installs into Sys() the Win32 services both programs use (profile files,
// registry, files, desktop, locale, program manager) and takes the
// system's code page.
void InstallWin32Services();
// Installs the installer's Win32 services: those and the clock, the date
// formats, the shell and the destination browser's drives and folders.
void InstallWin32Platform();
