#include "toolkit/DirControls.h"

#include <algorithm>

#include "core/Error.h"
#include "platform/Platform.h"

namespace {

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

[[noreturn]] void RaiseIoError(unsigned long error)
{
    throw EError("I/O error " + IntToStr(static_cast<std::int64_t>(error)));
}

}  // namespace

char DriveLetterOf(const std::string& path)
{
    if (path.size() < 2 || path[1] != ':') return 0;
    return Lower(path.substr(0, 1))[0];
}

TDirectoryListBox::TDirectoryListBox(TControl* parent)
    : TControl(TControlKind::DirectoryListBox, parent)
{
    color_ = clWindow;
}

void TDirectoryListBox::StartFromCurrentDirectory()
{
    directory_ = Sys().Files->CurrentDirectory();
    Build();
    if (DriveBox != nullptr) DriveBox->Follow(DriveLetterOf(directory_));
}

void TDirectoryListBox::SetDirectory(const std::string& path)
{
    unsigned long error = Sys().Files->ChangeDirectory(path);
    if (error != 0) RaiseIoError(error);
    std::string now = Sys().Files->CurrentDirectory();
    if (now == directory_) return;
    directory_ = now;
    Build();
    if (DriveBox != nullptr) DriveBox->Follow(DriveLetterOf(directory_));
    if (OnChange) OnChange(*this);
}

void TDirectoryListBox::Build()
{
    entries_.clear();
    // The path from the root down, one entry a level.
    std::string root = directory_.substr(0, std::min<std::size_t>(3, directory_.size()));
    entries_.push_back({root, 0, true});
    std::string rest = directory_.size() > 3 ? directory_.substr(3) : "";
    int level = 0;
    std::string::size_type at = 0;
    while (at < rest.size()) {
        std::string::size_type end = FindCharOf(rest, "\\", at);
        if (end == std::string::npos) end = rest.size();
        if (end > at) entries_.push_back({rest.substr(at, end - at), ++level, true});
        at = end + 1;
    }
    itemIndex_ = static_cast<int>(entries_.size()) - 1;
    // Then the subdirectories, alphabetically without regard to case.
    std::vector<std::string> subdirs = Sys().Folders->Subdirectories(directory_);
    std::sort(subdirs.begin(), subdirs.end(), [](const std::string& a, const std::string& b) {
        return AsciiUpper(a) < AsciiUpper(b);
    });
    for (const std::string& name : subdirs) entries_.push_back({name, level + 1, false});
    Changed(TProp::Items);
}

namespace {

bool EndsInBackslash(const std::string& path)
{
    return !path.empty() && FindLastCharOf(path, "\\") == path.size() - 1;
}

}  // namespace

std::string TDirectoryListBox::PathOf(int index) const
{
    if (index < 0 || index >= static_cast<int>(entries_.size())) return directory_;
    const Entry& entry = entries_[static_cast<std::size_t>(index)];
    if (!entry.Open) {
        std::string base = directory_;
        if (!EndsInBackslash(base)) base += '\\';
        return base + entry.Text;
    }
    std::string path = entries_[0].Text;
    for (int i = 1; i <= index; ++i) {
        if (!EndsInBackslash(path)) path += '\\';
        path += entries_[static_cast<std::size_t>(i)].Text;
    }
    return path;
}

void TDirectoryListBox::OpenEntry(int index) { SetDirectory(PathOf(index)); }

void TDirectoryListBox::UserOpened(int index)
{
    Fire([this, index](TControl&) { OpenEntry(index); });
}

TDriveComboBox::TDriveComboBox(TControl* parent) : TControl(TControlKind::DriveComboBox, parent)
{
    color_ = clWindow;
}

void TDriveComboBox::Refresh()
{
    drives_ = Sys().Folders->Drives();
    Changed(TProp::Items);
}

std::string TDriveComboBox::TextOf(const TDrive& drive)
{
    std::string text = std::string(1, drive.Letter) + ":";
    if (!drive.Label.empty()) text += " [" + drive.Label + "]";
    return text;
}

int TDriveComboBox::ItemIndex() const
{
    for (std::size_t i = 0; i < drives_.size(); ++i)
        if (drives_[i].Letter == drive_) return static_cast<int>(i);
    return -1;
}

void TDriveComboBox::Follow(char letter)
{
    if (letter == 0 || letter == drive_) return;
    drive_ = letter;
    Changed(TProp::Position);
}

void TDriveComboBox::SetDrive(char letter)
{
    letter = DriveLetterOf(std::string(1, letter) + ":");
    if (letter == 0 || letter == drive_) return;
    drive_ = letter;
    Changed(TProp::Position);
    if (DirList != nullptr) DirList->SetDirectory(Sys().Folders->DriveDirectory(letter));
}

void TDriveComboBox::UserSelected(int index)
{
    if (index < 0 || index >= static_cast<int>(drives_.size())) return;
    char letter = drives_[static_cast<std::size_t>(index)].Letter;
    Fire([this, letter](TControl&) { SetDrive(letter); });
}
