#include "platform/doubles/FakeProfileFiles.h"

#include <vector>

#include "core/CharText.h"
#include "core/SystemErrors.h"
#include "platform/doubles/ProfileText.h"

namespace {

using Line = TProfileLine;
using Lines = std::vector<TProfileLine>;

bool Same(const std::string& a, const std::string& b) { return AsciiUpper(a) == AsciiUpper(b); }

// The entries of the first section named section, as [first, last) indexes;
// false when there is no such section.
bool FindSection(const Lines& lines, const std::string& section, std::size_t& first,
                 std::size_t& last)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].Kind != Line::Section || !Same(lines[i].Name, section)) continue;
        first = i + 1;
        last = first;
        while (last < lines.size() && lines[last].Kind != Line::Section) ++last;
        return true;
    }
    return false;
}

bool Readable(const TFakeDisk& disk, const std::string& path)
{
    const TFakeDisk::File* file = disk.Find(path);
    return file != nullptr && !file->Locked;
}

}  // namespace

std::string TFakeProfileFiles::KeyNameBuffer(const std::string& path, const std::string& section,
                                             std::size_t size)
{
    std::string names;
    Lines lines = ParseProfileText(disk_.Get(path));
    std::size_t first, last;
    if (Readable(disk_, path) && FindSection(lines, section, first, last))
        for (std::size_t i = first; i < last; ++i)
            if (lines[i].Kind == Line::Entry && !lines[i].Comment) names += lines[i].Name + '\0';
    // The listing's length is that of its first name: a nameless first
    // entry makes the whole listing read as empty.
    if (!names.empty() && names[0] == '\0') names.clear();
    if (names.size() + 1 < size) return names + '\0';
    // Cut as the system cuts: n - 2 characters and one NUL.
    return size >= 2 ? names.substr(0, size - 2) + '\0' : std::string(size, '\0');
}

std::string TFakeProfileFiles::ReadValue(const std::string& path, const std::string& section,
                                         const std::string& key, const std::string& def,
                                         std::size_t size)
{
    std::string result = def;
    Lines lines = ParseProfileText(disk_.Get(path));
    std::size_t first, last;
    if (Readable(disk_, path) && FindSection(lines, section, first, last))
        for (std::size_t i = first; i < last; ++i)
            if (lines[i].Kind == Line::Entry && Same(lines[i].Name, key)) {
                result = UnquoteProfileValue(lines[i].Value);
                break;
            }
    // The system cuts to n - 1 bytes without splitting a character.
    return size == 0 ? "" : CutBytes(result, size - 1);
}

bool TFakeProfileFiles::WriteValue(const std::string& path, const std::string& section,
                                   const std::string& key, const std::string& value)
{
    Lines lines = ParseProfileText(disk_.Get(path));
    std::size_t first, last;
    if (!FindSection(lines, section, first, last)) {
        Line header;
        header.Kind = Line::Section;
        header.Name = section;
        header.Text = "[" + section + "]";
        lines.push_back(header);
        first = last = lines.size();
    }
    bool replaced = false;
    for (std::size_t i = first; i < last; ++i)
        if (lines[i].Kind == Line::Entry && Same(lines[i].Name, key)) {
            lines[i].Value = value;
            lines[i].Text.clear();
            replaced = true;
            break;
        }
    if (!replaced) {
        Line added;
        added.Kind = Line::Entry;
        added.Name = key;
        added.Value = value;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(last), added);
    }
    std::string content;
    for (const Line& line : lines) {
        if (line.Kind == Line::Entry)
            content += line.Name + "=" + line.Value;
        else if (line.Kind == Line::Section)
            content += "[" + line.Name + "]";
        else
            content += line.Text;
        content += "\r\n";
    }
    return disk_.Write(path, content);
}

std::string TFakeProfileFiles::SectionBuffer(const std::string& path, const std::string& section)
{
    std::string buffer;
    Lines lines = ParseProfileText(disk_.Get(path));
    std::size_t first, last;
    if (Readable(disk_, path) && FindSection(lines, section, first, last))
        for (std::size_t i = first; i < last; ++i) {
            if (lines[i].Kind == Line::Entry && !lines[i].Comment)
                buffer += lines[i].Name + "=" + lines[i].Value + '\0';
            else if (lines[i].Kind == Line::Other)
                buffer += lines[i].Text + '\0';
        }
    return buffer + '\0';
}

unsigned long TFakeProfileFiles::ReadError(const std::string& path)
{
    const TFakeDisk::File* file = disk_.Find(path);
    return file != nullptr && file->Locked ? ErrorSharingViolation : 0;
}
