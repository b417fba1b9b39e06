// Doubles of every platform service, installed into Sys() together.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/doubles/FakeDisk.h"
#include "platform/doubles/FakeProfileFiles.h"
#include "platform/doubles/FakeRegistry.h"
#include "platform/doubles/FakeStartMenu.h"

// The disk as files and as the browser's folders.
class TFakeFileSystem : public IFileSystem, public IFolders {
public:
    explicit TFakeFileSystem(TFakeDisk& disk) : disk_(disk) {}
    bool FileExists(const std::string& path) override { return disk_.FileExists(path); }
    bool DirectoryExists(const std::string& path) override { return disk_.DirExists(path); }
    bool MakeDirectory(const std::string& path) override;
    unsigned long Copy(const std::string& source, const std::string& dest,
                           bool failIfExists) override;
    TFileFacts FileFacts(const std::string& path) override
    {
        ++FactReads;
        const TFakeDisk::File* file = disk_.Find(path);
        if (file == nullptr) return {};
        return {file->Content.size(), file->WriteTime};
    }
    bool SameFile(const std::string& a, const std::string& b) override
    {
        return TFakeDisk::Key(a) == TFakeDisk::Key(b);
    }
    std::string ErrorText(unsigned long error) override;
    std::string WindowsDirectory() override { return WindowsDir; }
    bool ReadWholeFile(const std::string& path, std::string& content) override;
    std::string CurrentDirectory() override { return Current; }
    std::string FullPath(const std::string& path) override;
    unsigned long ChangeDirectory(const std::string& path) override;
    std::vector<TDrive> Drives() override { return DriveList; }
    std::string DriveDirectory(char letter) override;
    std::vector<std::string> Subdirectories(const std::string& path) override;
    unsigned long AppendText(const std::string& path, const std::string& text) override;
    std::string TempDirectory() override { return TempDir; }
    unsigned long WriteWholeFile(const std::string& path, const std::string& content) override;

    std::string TempDir = "C:\\TEMP\\";
    std::vector<TDrive> DriveList = {{'a', TDriveKind::Removable, ""},
                                     {'c', TDriveKind::Fixed, "SYSTEM"}};
    // Drives that fail to be entered, with the error they give.
    std::vector<std::pair<char, unsigned long>> Unready;

    std::string WindowsDir = "C:\\WINDOWS";
    std::string Current = "C:\\";
    // The current directory of each drive but the current one.
    std::map<char, std::string> DriveDirs;
    // Hidden or system directories, left out of listings.
    std::vector<std::string> HiddenDirs;
    // How often a file's size and time were looked up.
    int FactReads = 0;

private:
    TFakeDisk& disk_;
};

// The uninstaller's removals on the disk and registry doubles.
class TFakeCleanup : public ICleanup {
public:
    TFakeCleanup(TFakeDisk& disk, TFakeRegistry& registry) : disk_(disk), registry_(registry) {}
    std::uint32_t Attributes(const std::string& path) override;
    unsigned long ClearAttributes(const std::string& path) override;
    unsigned long RemoveFile(const std::string& path) override;
    unsigned long RemoveFolder(const std::string& path) override;
    // Windows 95 and 98 have no MoveFileEx: it fails there.
    bool DeleteAtRestart(const std::string& path) override
    {
        if (NineX) return false;
        AtRestart.push_back(path);
        return true;
    }
    bool Windows9x() override { return NineX; }
    std::string ShortPath(const std::string& path) override;
    unsigned long Rename(const std::string& from, const std::string& to) override;
    unsigned long TryWrite(const std::string& folder) override;
    std::vector<std::string> Entries(const std::string& path) override;
    long DeleteValue(RegKey key, const std::string& name) override
    {
        return registry_.DeleteValue(key, name);
    }
    long DeleteSubKey(RegKey parent, const std::string& sub) override
    {
        return registry_.DeleteSubKey(parent, sub);
    }
    long CountContents(RegKey key, std::uint32_t& subkeys, std::uint32_t& values) override
    {
        return registry_.CountContents(key, subkeys, values);
    }

    // Files the system was asked to delete when it next starts.
    std::vector<std::string> AtRestart;
    // Names that are links (junctions, symbolic links) to somewhere else.
    std::vector<std::string> Links;
    // The system is Windows 95, 98 or ME.
    bool NineX = false;
    // Short names of long paths; any other existing path is its own.
    std::map<std::string, std::string> ShortNames;
    // Folders this account may not write to.
    std::vector<std::string> Unwritable;

private:
    TFakeDisk& disk_;
    TFakeRegistry& registry_;
};

class TFakeClock : public IClock {
public:
    TDateTime Now() override { return Time; }
    void Sleep(unsigned milliseconds) override { Sleeps.push_back(milliseconds); }
    TDateTime Time{1997, 12, 6, 15, 15, 0};
    std::vector<unsigned> Sleeps;
};

class TFakeDesktop : public IDesktop {
public:
    struct Box {
        std::string Text, Caption;
        TMsgIcon Icon;
    };
    int ScreenWidth() override { return Width; }
    int ScreenHeight() override { return Height; }
    void SetCursor(TCursor cursor) override { Cursors.push_back(cursor); }
    void ShowMessage(const std::string& text, const std::string& caption, TMsgIcon icon) override
    {
        Boxes.push_back({text, caption, icon});
    }
    bool AskYesNo(const std::string& text, const std::string& caption) override
    {
        Boxes.push_back({text, caption, TMsgIcon::None});
        return AnswerYes;
    }
    std::string ExePath() override { return Exe; }
    bool Arguments(std::vector<std::string>& args) override
    {
        args = Args;
        return ArgsFit;
    }
    std::string CommandLine() override { return Line; }
    void QuietSystemErrors() override { SystemErrorsQuiet = true; }

    int Width = 1024, Height = 768;
    std::string Exe = "C:\\SETUP\\Pellwick.exe";
    std::vector<std::string> Args;
    bool ArgsFit = true;
    std::string Line;  // the whole command line
    bool SystemErrorsQuiet = false;
    bool AnswerYes = true;  // the answer to every question
    std::vector<TCursor> Cursors;
    std::vector<Box> Boxes;
    TCursor Cursor() const { return Cursors.empty() ? TCursor::Default : Cursors.back(); }
};

class TFakeLocale : public ILocale, public IDateFormats {
public:
    std::string Lower(const std::string& text) override;
    bool SameText(const std::string& a, const std::string& b) override
    {
        return Lower(a) == Lower(b);
    }
    TLocaleFormats Formats() override { return Settings; }
    TCodePage CodePage() override { return Page; }
    // Makes the double's code page the one every text rule walks by.
    void UseCodePage(unsigned number)
    {
        Page = TCodePage(number);
        UseAnsiCodePage(Page);
    }
    TCodePage Page;
    // The system's default locale.
    TLocaleFormats Settings = UnitedStates();
    // Short date M/d/yyyy, 12-hour clock, no leading zero, as Wine's default.
    static TLocaleFormats UnitedStates();
};

class TFakeShell : public IShell {
public:
    void Open(void* owner, const std::string& file) override
    {
        (void)owner;
        Opened.push_back(file);
    }
    std::vector<std::string> Opened;
};

class TFakeProgramManager : public IProgramManager {
public:
    void Open() override
    {
        ++Opens;
        if (Answers) open_ = true;
    }
    bool IsOpen() const override { return open_; }
    bool Execute(const std::string& command) override;
    void Close() override
    {
        if (open_) ++Closes;
        open_ = false;
    }

    bool Answers = true;            // a program manager is there
    int RefuseNext = 0;             // refuse this many executes from now
    std::vector<std::string> Sent;  // accepted commands, in order
    std::vector<std::string> Refused;
    int Opens = 0, Closes = 0;

private:
    bool open_ = false;
};

// The machine lock: held by this process, by another, or free.
class TFakeMachineLock : public IMachineLock {
public:
    bool Take() override
    {
        ++Takes;
        if (HeldElsewhere) return false;
        held_ = true;
        return true;
    }
    void Release() override { held_ = false; }
    bool Held() const { return held_; }

    bool HeldElsewhere = false;  // another run holds it
    int Takes = 0;

private:
    bool held_ = false;
};

// The uninstaller's copy of itself: folders made on the fake disk, and
// each program started, with its line, handed to Run.
class TFakePrivateCopy : public IPrivateCopy {
public:
    explicit TFakePrivateCopy(TFakeDisk& disk) : disk_(disk) {}
    std::string MakeFolder() override;
    unsigned long RunAndWait(const std::string& program, const std::string& commandLine,
                             const std::string& currentDir, unsigned long& exitCode) override;
    void RemoveFolder(const std::string& folder) override;

    bool Folders = true;             // a folder can be made
    unsigned long StartError = 0;    // the program cannot be started
    // What the started program does; its exit code. By default it ends with 0.
    std::function<int(const std::string& commandLine)> Run;
    struct Started {
        std::string Program, Line, CurrentDir;
    };
    std::vector<Started> Runs;

private:
    TFakeDisk& disk_;
    int made_ = 0;
};

// All doubles, installed into Sys() for the object's lifetime.
class TFakePlatform {
public:
    TFakePlatform();
    ~TFakePlatform();
    TFakePlatform(const TFakePlatform&) = delete;
    TFakePlatform& operator=(const TFakePlatform&) = delete;

    TFakeDisk Disk;
    TFakeProfileFiles Profiles{Disk};
    TFakeRegistry Registry;
    TFakeFileSystem Files{Disk};
    TFakeClock Clock;
    TFakeDesktop Desktop;
    TFakeLocale Locale;
    TFakeShell Shell;
    TFakeProgramManager ProgramManager;
    TFakeCleanup Cleanup{Disk, Registry};
    TFakeStartMenu StartMenu{Disk};
    TFakeMachineLock MachineLock;
    TFakePrivateCopy PrivateCopy{Disk};

private:
    TPlatform saved_;
    TCodePage savedPage_;
};
