// The installation run: one object that does the steps in their fixed
// order and reaches the wizard only through IInstallView, with the pure
// rules it follows.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/InstallList.h"
#include "engine/Records.h"
#include "engine/Shared.h"
#include "core/ShownText.h"
#include "core/Text.h"
#include "platform/Platform.h"

// The longest path the copy operation takes (MAX_PATH less its NUL).
constexpr std::size_t MaxPathLength = 259;
constexpr unsigned FilePauseMilliseconds = 500;
constexpr unsigned EndPauseMilliseconds = 1000;

// What the run shows the user; the wizard implements it.
class IInstallView : public IRecordNote {
public:
    virtual ~IInstallView() = default;
    // The progress page in front, with its text.
    virtual void ShowProgressPage(const std::string& text) = 0;
    // The file being copied and its destination, as the labels show them.
    virtual void ShowSource(const std::string& shown) = 0;
    virtual void ShowDestination(const std::string& shown) = 0;
    virtual int ProgressPosition() const = 0;
    virtual void SetProgressPosition(int position) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    // The run got through its steps: the closing notices come next.
    virtual void RunCompleted() = 0;
    // Every run's end, however it ends: the wizard back in front.
    virtual void RunEnded() = 0;
    virtual void ShowWarning(const std::string& text) = 0;
    // The window the shell's "open" is done for.
    virtual void* OwnerWindow() = 0;
    // One line for each step the run does and how it went, in order.
    void Note(const std::string& line) override { (void)line; }
    // The pauses that let the user follow the run; a run nobody watches
    // may leave them out.
    virtual void Pause(unsigned milliseconds) { Sys().Clock->Sleep(milliseconds); }
    // Whether the add-ons are opened; a run nobody watches may have no one
    // to close a document or program window it opens.
    virtual bool OpensAddOns() { return true; }
    // Whether the items go through the program manager, which opens a
    // window on the group; otherwise they are written as shortcut files,
    // with no shell needed.
    virtual bool AsksProgramManager() { return true; }
    // The destination was accepted (InstallTo) and the run starts next.
    virtual void DestinationAccepted() {}
};

// A shared file the run copied or left in place, waiting for its count.
struct TSharedFile {
    std::string Path, Counter;
    bool Copied = false;
    bool Counted = false;
};

class TInstallRun {
public:
    // Takes the description, the user's entries and the destination from
    // state, which must outlive the run.
    TInstallRun(const TInstallState& state, IInstallView& view);

    // The whole run. failures is emptied first and then holds what could
    // not be installed, also when an error stops the run and goes on up.
    void Perform(std::vector<TInstallFailure>& failures);
    // The records step alone: registry entries, uninstall entry, counters
    // and uninstall record, then its step of the progress bar.
    void UpdateRegistry();

private:
    void ForceDirectories(const std::string& path);
    void MakeDirectory(const std::string& path);
    void MakeDirectories();
    // Whether the file was copied: a file left in place is not the run's.
    // The copy's size and time go into facts.
    bool CopyOneFile(const std::string& source, const std::string& dest, const std::string& flag,
                     TFileFacts& facts);
    void NoteCopy(const char* kind, const std::string& source, const std::string& dest,
                  unsigned long error, bool keepExisting);
    void CopySystemFiles(const std::string& windowsDir);
    // Windows' machine-wide count of each shared file, beside the user's.
    void RaiseMachineCounts();
    void CopyProductFiles();
    void CopyRecordTemplate();
    void CreateProgramGroup(const std::string& windowsDir);
    // The group's folder in the Programs folder every user sees and the
    // items, the uninstall item last, as shortcut files in it.
    void MakeShortcuts(const std::string& windowsDir);
    // Lists the folder the shell made for the program group, and the
    // shortcuts of the titled items in it, where there is one.
    void ListGroupFolder(const std::vector<std::string>& titles);
    void StartAddOns();
    void AdvanceProgress(int step);
    void Fail(const std::string& what, const std::string& where, const std::string& reason,
              const std::string& label = "");
    void ReportFailures();
    // Writes what the run made into the destination's installation list,
    // merged with what an earlier installation there listed.
    void WriteList();

    const TInstallState& state_;
    const TInstallDescription& d_;
    IInstallView& view_;
    std::vector<TInstallFailure>* failures_ = nullptr;
    // The installation list's lines for what this run made.
    TListWriter list_;
    // The shared files copied or left in place, each with its counter:
    // listed once the records step has counted them.
    std::vector<TSharedFile> sharedFiles_;
    // The bytes of the files the run copied, for the uninstall entry's size.
    std::uint64_t copiedBytes_ = 0;
};

// What the wizard's Next on the destination page, the silent run and the
// dry run do alike: the typed destination loses the blanks and full stops
// at its end and is held to the destination page's rules. Refused, the
// reason is returned and nothing is made or recorded; accepted, it becomes
// state's destination (cut to 255), the view hears of it and the
// installation runs, and "" is returned. What the run raises goes on up.
// The run holds the machine lock from its start to its end: while another
// installation or removal holds it, MachineBusy is returned, nothing made.
std::string InstallTo(TInstallState& state, const std::string& typed, IInstallView& view);
extern const char* const MachineBusy;

// The parent of a directory for the creation rule: the text up to and
// including its last "\" or ":".
std::string ParentOf(const std::string& path);

// Element index of list, raising "List index out of bounds" past its end.
const std::string& ListItem(const TStrings& list, std::size_t index);

// The warning box text listing the failures, at most maxShown of them,
// each name shortened as the progress labels are so that the box fits
// the screen however long the names.
std::string FailureReport(const std::vector<TInstallFailure>& failures, std::size_t maxShown = 8);

// The program-manager command strings, each ended by CR LF and cut to 255.
std::string CreateGroupCommand(const std::string& group);
std::string AddItemCommand(const std::string& destDir, const std::string& file,
                           const std::string& caption);
// The uninstall item's caption, "Uninstall " and the application.
std::string UninstallItemCaption(const std::string& application);
std::string UninstallItemCommand(const std::string& windowsDir, const std::string& destDir,
                                 const std::string& application);
