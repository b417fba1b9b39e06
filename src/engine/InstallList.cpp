#include "engine/InstallList.h"

#include "core/CharText.h"
#include "platform/Locale.h"

const char* const ListName = "Pellwick.lst";

namespace {

// What makes a file an installation list: a comment line first, and this
// phrase; line ends of either kind (an editor or a checkout may have
// made them LF alone).
const char* const HeadingPhrase = "Pellwick installation list";
const char* const Heading =
    "; Pellwick installation list: what the installation made, in order.\r\n"
    "; Skorvel.exe removes it, the last first.\r\n";

// The line tags, in the order of TListKind.
const char* const Tags[] = {"Folder", "File", "SystemFile", "CountedFile", "Group",
                            "Item",   "Key",  "Value",      "GroupFolder", "Shortcut"};
const int TagCount = sizeof(Tags) / sizeof(Tags[0]);
const char* const CounterTag = "Counter";
const char* const StampTag = "Stamp";

bool IsSharedFile(TListKind kind)
{
    return kind == TListKind::SystemFile || kind == TListKind::CountedFile;
}

}  // namespace

std::string FileStamp(std::uint64_t size, std::uint64_t lastWrite)
{
    char text[37];
    char* start = text + 20;
    do {
        *--start = static_cast<char>('0' + size % 10);
        size /= 10;
    } while (size != 0);
    text[20] = ' ';
    for (int i = 0; i < 16; ++i) text[21 + i] = "0123456789ABCDEF"[(lastWrite >> (60 - 4 * i)) & 15];
    return std::string(start, text + 37);
}

bool ReadFileStamp(const std::string& stamp, std::uint64_t& size, std::uint64_t& lastWrite)
{
    std::string::size_type blank = stamp.find(' ');
    if (blank == 0 || blank == std::string::npos || blank > 20 || stamp.size() != blank + 17) return false;
    size = lastWrite = 0;
    for (std::string::size_type i = 0; i < blank; ++i) {
        if (stamp[i] < '0' || stamp[i] > '9') return false;
        size = size * 10 + static_cast<std::uint64_t>(stamp[i] - '0');
    }
    for (std::string::size_type i = blank + 1; i < stamp.size(); ++i) {
        char c = stamp[i];
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                           : -1;
        if (digit < 0) return false;
        lastWrite = lastWrite << 4 | static_cast<std::uint64_t>(digit);
    }
    return true;
}

TListEntry& TInstallList::Add(TListKind kind, const std::string& name, const std::string& of)
{
    // A shared file stands once for each count an installation made.
    for (TListEntry& e : Entries) {
        if (IsSharedFile(kind) || e.Kind != kind || e.Name != name || e.Of != of) continue;
        e.Stamp.clear();
        return e;
    }
    Entries.push_back({kind, name, of, ""});
    return Entries.back();
}

bool IsInstallList(const std::string& text)
{
    return text.compare(0, 1, ";") == 0 && text.find(HeadingPhrase) != std::string::npos;
}

std::string ListAppended(const std::string& earlier, const std::string& lines)
{
    if (!IsInstallList(earlier)) return Heading + lines;
    // A last line without its line end (an editor's) stays a line of its own.
    bool ended = earlier.back() == '\n';
    return earlier + (ended ? "" : "\r\n") + lines;
}

void TListWriter::AddStamp(const std::string& stamp)
{
    Lines += StampTag;
    Lines += '=';
    Lines += stamp;
    Lines += "\r\n";
}

void TListWriter::Add(TListKind kind, const std::string& name, const std::string& of)
{
    auto line = [this](const char* tag, const std::string& value) {
        Lines += tag;
        Lines += '=';
        Lines += value;
        Lines += "\r\n";
    };
    // A value stands below the last "Key=" line, an item below the last
    // "Group=" line; each of those is written when it changes.
    const std::string& key = kind == TListKind::Key ? name : of;
    if ((kind == TListKind::Key || kind == TListKind::Value) && key != key_) {
        line(Tags[static_cast<int>(TListKind::Key)], key);
        key_ = key;
    }
    const std::string& group = kind == TListKind::Group ? name : of;
    if ((kind == TListKind::Group || kind == TListKind::Item) && group != group_) {
        line(Tags[static_cast<int>(TListKind::Group)], group);
        group_ = group;
    }
    if (kind == TListKind::Key || kind == TListKind::Group) return;
    line(Tags[static_cast<int>(kind)], name);
    if (IsSharedFile(kind)) line(CounterTag, of);
}

std::string TInstallList::Text() const
{
    TListWriter writer;
    for (const TListEntry& e : Entries) {
        writer.Add(e.Kind, e.Name, e.Of);
        if (e.Kind == TListKind::File && !e.Stamp.empty()) writer.AddStamp(e.Stamp);
    }
    return Heading + writer.Lines;
}

bool TInstallList::Read(const std::string& text)
{
    Entries.clear();
    if (!IsInstallList(text)) return false;
    std::string key, group;
    bool counterDue = false, bad = false;
    // The file a "Stamp=" line may follow, by its place in Entries.
    std::size_t stampable = std::string::npos;
    std::string::size_type at = 0;
    while (at < text.size()) {
        std::string::size_type end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        // The tag is ASCII and "=" is below every second byte of a
        // two-byte character, so the first "=" ends the tag.
        std::string::size_type eq = line.find('=');
        bad = true;
        if (eq == std::string::npos) break;
        std::string tag = line.substr(0, eq), name = line.substr(eq + 1);
        if (counterDue != (tag == CounterTag)) break;
        if (counterDue) {
            Entries.back().Of = name;
            counterDue = bad = false;
            continue;
        }
        if (tag == StampTag) {
            if (stampable == std::string::npos || name.empty()) break;
            Entries[stampable].Stamp = name;
            stampable = std::string::npos;
            bad = false;
            continue;
        }
        stampable = std::string::npos;
        int kind = 0;
        while (kind < TagCount && tag != Tags[kind]) ++kind;
        if (kind == TagCount || name.empty()) break;
        TListKind k = static_cast<TListKind>(kind);
        std::string of;
        if (k == TListKind::Key) key = name;
        if (k == TListKind::Group) group = name;
        if (k == TListKind::Value) of = key;
        if (k == TListKind::Item) of = group;
        if (of.empty() && (k == TListKind::Value || k == TListKind::Item)) break;
        if (IsSharedFile(k)) {
            Entries.push_back({k, name, "", ""});
            counterDue = true;
        } else {
            // A file listed again without a stamp was copied by an older
            // installation: its earlier stamp no longer holds.
            TListEntry& added = Add(k, name, of);
            if (k == TListKind::File) stampable = static_cast<std::size_t>(&added - Entries.data());
        }
        bad = false;
    }
    if (bad || counterDue) {
        Entries.clear();
        return false;
    }
    return true;
}

std::vector<std::string> PathParts(const std::string& path)
{
    std::vector<std::string> parts;
    std::string part;
    for (std::size_t i = 0, next; i < path.size(); i = next) {
        next = NextChar(path, i);
        if (path[i] != '\\') {
            part.append(path, i, next - i);
            continue;
        }
        if (!part.empty()) parts.push_back(part);
        part.clear();
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

std::string JoinKeyPath(const std::string& parent, const std::string& sub)
{
    std::string path = parent;
    bool partStarts = true;
    for (std::size_t i = 0, next; i < sub.size(); i = next) {
        next = NextChar(sub, i);
        if (sub[i] == '\\') {
            partStarts = true;
            continue;
        }
        if (partStarts) path += '\\';
        partStarts = false;
        path.append(sub, i, next - i);
    }
    return path;
}

bool IsBelow(const std::string& path, const std::string& folder, ILocale& locale)
{
    std::vector<std::string> inner = PathParts(path);
    std::vector<std::string> outer = PathParts(folder);
    if (inner.size() <= outer.size()) return false;
    for (std::size_t i = 0; i < inner.size(); ++i) {
        // The system reads a part of dots alone as "." or "..".
        if (inner[i].find_first_not_of('.') == std::string::npos) return false;
        if (i < outer.size() && !locale.SameText(inner[i], outer[i])) return false;
    }
    return true;
}
