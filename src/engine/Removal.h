// The uninstaller's work: reads the installation list and the uninstall
// record of a destination and removes what the list names, the last made
// first, through the platform services alone.
#pragma once
#include <string>
#include <vector>

#include <memory>

#include "engine/InstallList.h"
#include "engine/RemovalPlaces.h"
#include "engine/RunLog.h"

// Something the removal could not take away, and why, in words.
struct TLeftBehind {
    std::string What;
    std::string Reason;
    // Set to go when Windows restarts: nothing is left of it after that.
    bool AtRestart = false;
};

// The texts the uninstaller shows.
namespace RemovalText {
extern const char* const Caption;        // "Skorvel"
extern const char* const Question;       // "Remove %s and all of its components?"
extern const char* const NoDestination;  // no folder on the command line
extern const char* const NothingLeft;    // "There is nothing left to remove in %s."
extern const char* const NoList;         // a record but no list: an older installation
extern const char* const BadList;        // a list that cannot be read
extern const char* const ListChanged;    // a list that does not match its stored digest
extern const char* const NoRights;        // this account may not remove the uninstall entry
extern const char* const NoFolderRights;  // nor write the Windows folder, where a shared file goes
extern const char* const Busy;            // another run holds the machine lock
}  // namespace RemovalText

class TRemoval {
public:
    // programsFolder: the user's Programs folder, where the shell keeps
    // each program group as a folder of shortcuts; "" when unknown.
    TRemoval(std::string destDir, std::string programsFolder);

    // Reads the list, holds it against its digest, and reads the record
    // where there is one. Raises EError with the user's text when there is
    // nothing this may remove; nothing is touched then.
    void Load();
    // Raises EError (NoRights) when this account could not finish the
    // removal: the uninstall entry and the list's digest are an
    // administrator's to remove, and so is a shared file whose last count
    // goes, in the Windows folder. Nothing is touched.
    void CheckRights();
    // The uninstaller's own exe, when it is not the running one (the
    // running one is its private copy); a shared file too, which goes
    // with its last count.
    void UninstallerAt(const std::string& path) { uninstaller_ = path; }
    const std::string& DisplayName() const { return displayName_; }

    // Removes what the list names: program items and groups, product
    // files, registry values and keys, the uninstall entry, one count of
    // each shared file (the file with the last), then the list and the
    // record (or a list of what is left to try again), then the folders.
    void Perform();
    const std::vector<TLeftBehind>& Left() const { return left_; }
    // The running uninstaller's own file, its last count gone, waits for
    // the restart: not the user's concern, so not in Left(), but a
    // restart is still due.
    bool SelfAtRestart() const { return selfAtRestart_; }
    // One line per thing removed or left, in order; each also goes to
    // the run's log as it comes, when one is given.
    const std::vector<std::string>& Log() const { return log_; }
    void WriteTo(TRunLog* log) { runLog_ = log; }

private:
    void RemoveProgramGroups();
    void RemoveGroupFolders();
    void RemoveFiles();
    void RemoveRegistry(int keyGroup);
    void CountDownSharedFiles();
    void RemoveListAndRecord();
    void RemoveFolders();
    // Deletes one file, its read-only, hidden and system attributes
    // cleared first; false when it is left (and said so).
    bool DeleteOne(const std::string& path);
    // DeleteFile with those attributes cleared first; 0 or the error.
    unsigned long TryDelete(const std::string& path);
    // Deletes the uninstaller's exe, or, while it runs, renames it and
    // sets the new name to go at the restart; false when it is left.
    bool RemoveUninstaller(const std::string& path);
    // Gives a file a new name of its own in its folder; "" when it could not.
    std::string MoveAside(const std::string& path);
    // Whether everything in folder is set to go at the restart.
    bool EmptiesAtRestart(const std::string& folder);
    // Whether a shared file's last count goes in this removal.
    bool SharedFileGoes();
    // Whether a listed file's size or last-write time is no longer the
    // one recorded when it was copied.
    bool ChangedSinceCopied(const TListEntry& file);
    // Whether base, or a folder between it and path, is a link (junction,
    // symbolic link, mount point) that would lead somewhere else.
    bool BehindLink(const std::string& path, const std::string& base);
    bool IsLink(const std::string& path);
    // Writes the list as it stands with the shared files counted down so
    // far left out, and its digest: a run killed later counts none twice.
    void SaveProgress();
    void Leave(const std::string& what, const std::string& reason, bool atRestart = false);
    void Leave(const std::string& what, const char* reason, bool atRestart = false);
    void Done(const std::string& what);
    void Note(const std::string& line);
    std::string Reason(unsigned long error);

    std::string destDir_, programsFolder_;
    std::string listPath_, recordPath_;
    std::string displayName_;
    std::string windowsDir_;
    TInstallList list_;
    std::unique_ptr<TRegistryPlaces> places_;
    // The shared files counted down, by their place in list_.
    std::vector<char> counted_;
    // What failed in a way a second try may mend, kept as the list.
    TInstallList remaining_;
    std::vector<TLeftBehind> left_;
    // Files and folders set to go at the restart, in that order.
    std::vector<std::string> atRestart_;
    std::string uninstaller_;
    std::vector<std::string> log_;
    TRunLog* runLog_ = nullptr;
    bool selfAtRestart_ = false;
};

// The end box: done, or done but for what is listed (at most maxShown).
std::string RemovalReport(const std::string& displayName, const std::vector<TLeftBehind>& left,
                          std::size_t maxShown = 10);
