// The drive drop-down and the directory list of the destination page.
// Both keep their state here; the backend shows it in a ComboBox and a
// ListBox, drawing the pictures itself.
#pragma once
#include <string>
#include <vector>

#include "platform/Folders.h"
#include "toolkit/Controls.h"

class TDriveComboBox;

class TDirectoryListBox : public TControl {
public:
    struct Entry {
        std::string Text;
        int Indent;  // levels below the drive root
        bool Open;   // a level of the current path, not a subdirectory
    };
    static constexpr int ItemHeight = 16;

    explicit TDirectoryListBox(TControl* parent);

    // A full path as the system reports it: "C:\" for a root, no trailing
    // backslash otherwise.
    const std::string& Directory() const { return directory_; }
    // Moves the list to path, which becomes the process's current
    // directory; raises "I/O error %d" when it cannot be entered. Fires
    // OnChange when the directory changed.
    void SetDirectory(const std::string& path);
    // Starts the list on the process's current directory, without an event.
    void StartFromCurrentDirectory();
    const std::vector<Entry>& Entries() const { return entries_; }
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index) { itemIndex_ = index; }
    // The full path that entry index stands for.
    std::string PathOf(int index) const;
    // Double-click or Enter on an entry.
    void OpenEntry(int index);
    // Called by the backend: the user opened an entry.
    void UserOpened(int index);

    TNotifyEvent OnChange;
    TDriveComboBox* DriveBox = nullptr;

private:
    void Build();

    std::string directory_;
    std::vector<Entry> entries_;
    int itemIndex_ = -1;
};

class TDriveComboBox : public TControl {
public:
    explicit TDriveComboBox(TControl* parent);

    // Reads the drives present; the backend lists them.
    void Refresh();
    const std::vector<TDrive>& Drives() const { return drives_; }
    // "c: [LABEL]": the letter and the label or network name.
    static std::string TextOf(const TDrive& drive);
    char Drive() const { return drive_; }
    int ItemIndex() const;
    // Chooses a drive: the linked list moves to that drive's current
    // directory. Raises "I/O error %d" when the drive cannot be entered; the
    // box still shows the chosen drive.
    void SetDrive(char letter);
    // Shows the drive of the linked list's new directory, moving nothing.
    void Follow(char letter);
    // Called by the backend: the user picked entry index.
    void UserSelected(int index);

    TDirectoryListBox* DirList = nullptr;

private:
    std::vector<TDrive> drives_;
    char drive_ = 0;
};

// Lower-case drive letter of a path, or 0.
char DriveLetterOf(const std::string& path);
