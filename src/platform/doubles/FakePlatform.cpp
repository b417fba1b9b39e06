#include "platform/doubles/FakePlatform.h"

#include "core/Paths.h"
#include "core/SystemErrors.h"
#include "core/Text.h"

bool TFakeFileSystem::MakeDirectory(const std::string& path)
{
    std::string dir = TFakeDisk::DirOf(path);
    if (disk_.DirExists(path) || disk_.FileExists(path)) return false;
    if (!dir.empty() && (!disk_.DirExists(dir) || dir.back() == ' ')) return false;
    disk_.MakeDir(path);
    return true;
}

unsigned long TFakeFileSystem::Copy(const std::string& source, const std::string& dest,
                                        bool failIfExists)
{
    const TFakeDisk::File* from = disk_.Find(source);
    if (from == nullptr) return ErrorFileNotFound;
    if (failIfExists && disk_.FileExists(dest)) return ErrorFileExists;
    if (SameFile(source, dest)) return ErrorSharingViolation;  // it is open as the source
    // A name kept for a device takes the bytes, and no file is made.
    if (!DeviceNamePart(dest).empty()) return 0;
    if (FindCharOf(dest, "<>\"|?*") != std::string::npos) return ErrorInvalidName;
    std::string dir = TFakeDisk::DirOf(dest);
    // The system drops blanks at the end of a path's last part only: a
    // folder part ending in one names a folder that cannot exist.
    if (!dir.empty() && (!disk_.DirExists(dir) || dir.back() == ' ')) return ErrorPathNotFound;
    if (dest.size() >= 260 || source.size() >= 260) return ErrorFilenameTooLong;
    std::string content = from->Content;
    std::uint64_t written = from->WriteTime;
    if (!disk_.Write(dest, content)) return ErrorAccessDenied;
    // A copy keeps the time its source was last written, as CopyFile does.
    disk_.Find(dest)->WriteTime = written;
    return 0;
}

std::string TFakeFileSystem::ErrorText(unsigned long error)
{
    // The words Wine gives, for the codes the doubles produce.
    switch (error) {
    case 6: return "Invalid handle.\r\n";
    case 32: return "Sharing violation.\r\n";
    case 123: return "Invalid name.\r\n";
    default: return "";
    }
}

bool TFakeFileSystem::ReadWholeFile(const std::string& path, std::string& content)
{
    const TFakeDisk::File* file = disk_.Find(path);
    if (file == nullptr) return false;
    content = file->Content;
    return true;
}

unsigned long TFakeFileSystem::ChangeDirectory(const std::string& path)
{
    for (const auto& unready : Unready)
        if (!path.empty() && AsciiUpper(path.substr(0, 1)) == AsciiUpper(std::string(1, unready.first)))
            return unready.second;
    if (!disk_.DirExists(path)) return ErrorPathNotFound;
    std::string full = path;
    if (full.size() == 2 && full[1] == ':') full += '\\';
    while (full.size() > 3 && DropTrailing(full, "\\").size() < full.size()) full.pop_back();
    if (full.size() >= 1) full[0] = AsciiUpper(full.substr(0, 1))[0];
    // The system remembers the directory left behind on the other drive.
    if (!Current.empty()) DriveDirs[AsciiUpper(Current.substr(0, 1))[0]] = Current;
    Current = full;
    return 0;
}

std::string TFakeFileSystem::FullPath(const std::string& path)
{
    if (path.empty()) return path;
    bool drive = path.size() >= 2 && path[1] == ':';
    if ((drive && path.size() >= 3 && path[2] == '\\') || path.compare(0, 2, "\\\\") == 0) return path;
    if (drive) return DriveDirectory(path[0]) + (DriveDirectory(path[0]).back() == '\\' ? "" : "\\") + path.substr(2);
    if (path[0] == '\\') return Current.substr(0, 2) + path;
    return Current + (!Current.empty() && Current.back() == '\\' ? "" : "\\") + path;
}

std::string TFakeFileSystem::DriveDirectory(char letter)
{
    std::string drive = AsciiUpper(std::string(1, letter));
    if (!Current.empty() && AsciiUpper(Current.substr(0, 1)) == drive) return Current;
    auto it = DriveDirs.find(drive[0]);
    return it != DriveDirs.end() ? it->second : drive + ":\\";
}

std::vector<std::string> TFakeFileSystem::Subdirectories(const std::string& path)
{
    std::vector<std::string> names;
    for (const std::string& dir : disk_.Dirs()) {
        if (!AsciiUpper(TFakeDisk::DirOf(dir)).empty() &&
            TFakeDisk::Key(TFakeDisk::DirOf(dir)) == TFakeDisk::Key(path) && dir != TFakeDisk::Key(path)) {
            bool hidden = false;
            for (const std::string& h : HiddenDirs) hidden |= TFakeDisk::Key(h) == TFakeDisk::Key(dir);
            if (!hidden) names.push_back(disk_.Spelling(dir));
        }
    }
    return names;
}

unsigned long TFakeFileSystem::WriteWholeFile(const std::string& path, const std::string& content)
{
    const TFakeDisk::File* file = disk_.Find(path);
    if (file != nullptr && file->Locked) return ErrorSharingViolation;
    std::string dir = TFakeDisk::DirOf(path);
    if (!dir.empty() && !disk_.DirExists(dir)) return ErrorPathNotFound;
    return disk_.Write(path, content) ? 0 : ErrorAccessDenied;
}

std::uint32_t TFakeCleanup::Attributes(const std::string& path)
{
    std::uint32_t link = 0;
    for (const std::string& l : Links)
        if (TFakeDisk::Key(l) == TFakeDisk::Key(path)) link = AttrReparsePoint;
    if (disk_.DirExists(path)) return AttrDirectory | link;
    const TFakeDisk::File* file = disk_.Find(path);
    if (file == nullptr) return link != 0 ? link : AttrNone;
    return (file->ReadOnly ? AttrReadOnly : 0) | link;
}

unsigned long TFakeCleanup::ClearAttributes(const std::string& path)
{
    TFakeDisk::File* file = disk_.Find(path);
    if (file == nullptr) return disk_.DirExists(path) ? 0 : 2;
    file->ReadOnly = false;
    return 0;
}

unsigned long TFakeCleanup::RemoveFile(const std::string& path)
{
    const TFakeDisk::File* file = disk_.Find(path);
    if (file == nullptr) return ErrorFileNotFound;
    if (file->Locked) return ErrorSharingViolation;
    if (file->ReadOnly || file->Running) return ErrorAccessDenied;
    disk_.Remove(path);
    return 0;
}

unsigned long TFakeCleanup::RemoveFolder(const std::string& path)
{
    if (!disk_.DirExists(path)) return ErrorFileNotFound;
    if (!Entries(path).empty()) return ErrorDirNotEmpty;
    disk_.RemoveDir(path);
    return 0;
}

std::string TFakeCleanup::ShortPath(const std::string& path)
{
    for (const auto& name : ShortNames)
        if (TFakeDisk::Key(name.first) == TFakeDisk::Key(path)) return name.second;
    return disk_.FileExists(path) || disk_.DirExists(path) ? path : "";
}

unsigned long TFakeCleanup::Rename(const std::string& from, const std::string& to)
{
    const TFakeDisk::File* file = disk_.Find(from);
    if (file == nullptr) return ErrorFileNotFound;
    if (file->Locked) return ErrorSharingViolation;
    if (disk_.FileExists(to) || disk_.DirExists(to)) return ErrorAlreadyExists;
    TFakeDisk::File moved = *file;
    disk_.Remove(from);
    disk_.Put(to, moved.Content, moved.ReadOnly);
    disk_.Find(to)->Running = moved.Running;
    return 0;
}

unsigned long TFakeCleanup::TryWrite(const std::string& folder)
{
    for (const std::string& denied : Unwritable)
        if (TFakeDisk::Key(denied) == TFakeDisk::Key(folder)) return ErrorAccessDenied;
    return disk_.DirExists(folder) ? 0 : ErrorPathNotFound;
}

std::string TFakePrivateCopy::MakeFolder()
{
    if (!Folders) return "";
    std::string folder = Sys().Files->TempDirectory() + "sk" + std::to_string(++made_);
    disk_.MakeDirs(folder);
    return folder;
}

unsigned long TFakePrivateCopy::RunAndWait(const std::string& program, const std::string& commandLine,
                                           const std::string& currentDir, unsigned long& exitCode)
{
    if (StartError != 0) return StartError;
    if (!disk_.FileExists(program)) return ErrorFileNotFound;
    Runs.push_back({program, commandLine, currentDir});
    exitCode = static_cast<unsigned long>(Run ? Run(commandLine) : 0);
    return 0;
}

void TFakePrivateCopy::RemoveFolder(const std::string& folder)
{
    std::string key = TFakeDisk::Key(folder);
    std::vector<std::string> files, dirs;
    for (const auto& file : disk_.Files())
        if (file.first.compare(0, key.size() + 1, key + "\\") == 0) files.push_back(file.first);
    for (const std::string& dir : disk_.Dirs())
        if (dir == key || dir.compare(0, key.size() + 1, key + "\\") == 0) dirs.push_back(dir);
    for (const std::string& f : files) disk_.Remove(f);
    for (const std::string& d : dirs) disk_.RemoveDir(d);
}

std::vector<std::string> TFakeCleanup::Entries(const std::string& path)
{
    std::vector<std::string> names;
    std::string key = TFakeDisk::Key(path);
    for (const auto& file : disk_.Files())
        if (TFakeDisk::DirOf(file.first) == key) names.push_back(file.second.Name);
    for (const std::string& dir : disk_.Dirs())
        if (dir != key && TFakeDisk::DirOf(dir) == key) names.push_back(disk_.Spelling(dir));
    return names;
}

std::string TFakeLocale::Lower(const std::string& text)
{
    std::string lower = text;
    bool latin = Page.Number() == 1252;
    for (std::size_t at = 0; at < lower.size(); at = NextChar(lower, at, Page)) {
        if (NextChar(lower, at, Page) != at + 1) continue;  // the second byte is no letter
        unsigned char u = static_cast<unsigned char>(lower[at]);
        // ASCII, and the Latin-1 capitals as code page 1252 lowers them.
        if ((u >= 'A' && u <= 'Z') || (latin && u >= 0xC0 && u <= 0xDE && u != 0xD7))
            lower[at] = static_cast<char>(u + 32);
    }
    return lower;
}

TLocaleFormats TFakeLocale::UnitedStates()
{
    TLocaleFormats f;
    f.ShortDate = "M/d/yyyy";
    static const char* const months[] = {"January", "February", "March",     "April",
                                         "May",     "June",     "July",      "August",
                                         "September", "October", "November", "December"};
    static const char* const days[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                       "Thursday", "Friday", "Saturday"};
    for (int i = 0; i < 12; ++i) {
        f.LongMonthNames[i] = months[i];
        f.ShortMonthNames[i] = std::string(months[i]).substr(0, 3);
    }
    for (int i = 0; i < 7; ++i) {
        f.LongDayNames[i] = days[i];
        f.ShortDayNames[i] = std::string(days[i]).substr(0, 3);
    }
    return f;
}

bool TFakeProgramManager::Execute(const std::string& command)
{
    if (!open_ || RefuseNext > 0) {
        if (RefuseNext > 0) --RefuseNext;
        Refused.push_back(command);
        return false;
    }
    Sent.push_back(command);
    return true;
}

TFakePlatform::TFakePlatform() : saved_(Sys()), savedPage_(AnsiCodePage())
{
    UseAnsiCodePage(Locale.Page);
    TPlatform& p = Sys();
    p.Locale = &Locale;
    p.DateFormats = &Locale;
    p.Shell = &Shell;
    p.ProgramManager = &ProgramManager;
    p.Profiles = &Profiles;
    p.Registry = &Registry;
    p.Files = &Files;
    p.Folders = &Files;
    p.Clock = &Clock;
    p.Desktop = &Desktop;
    p.Cleanup = &Cleanup;
    p.StartMenu = &StartMenu;
    p.Shortcuts = &StartMenu;
    p.MachineLock = &MachineLock;
    p.PrivateCopy = &PrivateCopy;
}

TFakePlatform::~TFakePlatform()
{
    Sys() = saved_;
    UseAnsiCodePage(savedPage_);
}

unsigned long TFakeFileSystem::AppendText(const std::string& path, const std::string& text)
{
    const TFakeDisk::File* file = disk_.Find(path);
    if (!disk_.DirExists(TFakeDisk::DirOf(path))) return ErrorPathNotFound;
    if (file != nullptr && file->Locked) return ErrorSharingViolation;
    if (disk_.DirExists(path) || (file != nullptr && file->ReadOnly)) return ErrorAccessDenied;
    disk_.Write(path, disk_.Get(path) + text);
    return 0;
}
