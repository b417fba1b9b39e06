// The installation list: what one installation made, in the order it made
// it, kept beside the uninstall record so that the uninstaller removes
// exactly that. Written by the installation run, read by Skorvel.exe.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class ILocale;

// "Pellwick.lst", in the destination.
extern const char* const ListName;

enum class TListKind {
    Folder,       // a folder the run created
    File,         // a product file the run copied
    SystemFile,   // a shared file the run copied, or one another product counts
    CountedFile,  // a shared file that was there before any count: never deleted
    Group,        // the program group
    Item,         // a program item, in the group named by Of
    Key,          // a registry key written to, "HKCU\..." or "HKLM\..."
    Value,        // a registry value, in the key named by Of
    GroupFolder,  // the folder of a program group, by its full path
    Shortcut,     // a shortcut file the run made, by its full path
};

struct TListEntry {
    TListKind Kind;
    std::string Name;
    // The group of an item, the key of a value, the counter of a shared file.
    std::string Of;
    // A copied file's size and last-write time as it was copied (FileStamp);
    // "" where an earlier installation did not record them.
    std::string Stamp;
};

// A file's size in decimal and its last-write time as 16 hex digits of
// the FILETIME: "1024 01D9A2B3C4D5E6F7".
std::string FileStamp(std::uint64_t size, std::uint64_t lastWrite);
// Reads a stamp back; false when it is not one.
bool ReadFileStamp(const std::string& stamp, std::uint64_t& size, std::uint64_t& lastWrite);

class TInstallList {
public:
    std::vector<TListEntry> Entries;

    // Adds an entry at the end, unless the same one is listed already; a
    // shared file is listed once per count, so each count is taken back.
    // A file listed again loses its stamp, which the caller sets anew on
    // the entry returned: the later copy is the one there.
    TListEntry& Add(TListKind kind, const std::string& name, const std::string& of = "");
    // The file's text: a comment, then each entry's lines.
    std::string Text() const;
    // Reads a list's text into Entries; false, leaving them empty, when
    // the text is no installation list.
    bool Read(const std::string& text);
};

// Writes entries as the list's lines, "Kind=name" each ended by CR LF: a
// value below a "Key=" line of its key, an item below a "Group=" line of
// its group (each written when it changes), a shared file followed by a
// "Counter=" line of its counter, a file with its stamp by a "Stamp=" line.
class TListWriter {
public:
    void Add(TListKind kind, const std::string& name, const std::string& of = "");
    // The stamp of the file added last.
    void AddStamp(const std::string& stamp);
    std::string Lines;

private:
    std::string key_, group_;
};

// Whether text is an installation list, whatever its line ends: the one
// test of both the reading and the appending.
bool IsInstallList(const std::string& text);

// The list that an installation over an earlier one leaves: the earlier
// list with the later run's lines after it (reading takes each thing
// once), or the later lines alone where the earlier text is no list.
std::string ListAppended(const std::string& earlier, const std::string& lines);

// Registry key paths as the list names them: "HKCU" or "HKLM", then the
// key's parts, one backslash between them. parent + "\" + sub, with
// empty parts of sub (doubled or trailing backslashes) dropped, walked by
// character.
std::string JoinKeyPath(const std::string& parent, const std::string& sub);

// The parts of a path between its backslashes, walked by character in the
// system's code page (a two-byte character may end in the byte of a
// backslash).
std::vector<std::string> PathParts(const std::string& path);

// Whether path lies below folder (not folder itself), part by part,
// without a "." or ".." part that could lead out of it.
bool IsBelow(const std::string& path, const std::string& folder, ILocale& locale);
