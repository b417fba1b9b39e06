#include "platform/doubles/FakeProfileFiles.h"

#include <vector>

namespace {

struct Line {
    enum Kind { Section, Entry, Other } kind = Other;
    std::string name;   // section name, or key name (trimmed)
    std::string value;  // entry value (trimmed, quotes kept)
    std::string text;   // the line as it stood, trimmed
    // A comment line: found when asked for by name, left out of listings.
    bool comment = false;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& s)
{
    std::size_t begin = 0, end = s.size();
    while (begin < end && IsBlank(s[begin])) ++begin;
    while (end > begin && IsBlank(s[end - 1])) --end;
    return s.substr(begin, end - begin);
}

std::vector<std::string> SplitLines(const std::string& content)
{
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < content.size(); ++i) {
        char c = content[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
            if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
        } else {
            current += c;
        }
    }
    if (!current.empty()) lines.push_back(current);
    return lines;
}

std::vector<Line> Parse(const std::string& content)
{
    std::vector<Line> result;
    for (const std::string& raw : SplitLines(content)) {
        Line line;
        line.text = Trim(raw);
        if (line.text.empty()) continue;
        if (line.text[0] == '[') {
            std::string::size_type close = line.text.find(']');
            line.kind = Line::Section;
            line.name = Trim(line.text.substr(1, close == std::string::npos ? std::string::npos
                                                                            : close - 1));
        } else {
            std::string::size_type eq = line.text.find('=');
            if (eq != std::string::npos) {
                line.kind = Line::Entry;
                line.comment = line.text[0] == ';';
                line.name = Trim(line.text.substr(0, eq));
                line.value = Trim(line.text.substr(eq + 1));
            }
        }
        result.push_back(line);
    }
    return result;
}

bool Same(const std::string& a, const std::string& b) { return AsciiUpper(a) == AsciiUpper(b); }

// The entries of the first section named section, as [first, last) indexes;
// false when there is no such section.
bool FindSection(const std::vector<Line>& lines, const std::string& section, std::size_t& first,
                 std::size_t& last)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != Line::Section || !Same(lines[i].name, section)) continue;
        first = i + 1;
        last = first;
        while (last < lines.size() && lines[last].kind != Line::Section) ++last;
        return true;
    }
    return false;
}

std::string Unquote(const std::string& value)
{
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

std::string TFakeProfileFiles::KeyNameBuffer(const std::string& path, const std::string& section,
                                             std::size_t size)
{
    std::string names;
    std::vector<Line> lines = Parse(disk_.Get(path));
    std::size_t first, last;
    if (disk_.FileExists(path) && FindSection(lines, section, first, last))
        for (std::size_t i = first; i < last; ++i)
            if (lines[i].kind == Line::Entry && !lines[i].comment) names += lines[i].name + '\0';
    if (names.size() + 1 < size) return names + '\0';
    // Cut as the system cuts: n - 2 characters and one NUL.
    return size >= 2 ? names.substr(0, size - 2) + '\0' : std::string(size, '\0');
}

std::string TFakeProfileFiles::ReadValue(const std::string& path, const std::string& section,
                                         const std::string& key, const std::string& def,
                                         std::size_t size)
{
    std::string result = def;
    std::vector<Line> lines = Parse(disk_.Get(path));
    std::size_t first, last;
    if (disk_.FileExists(path) && FindSection(lines, section, first, last))
        for (std::size_t i = first; i < last; ++i)
            if (lines[i].kind == Line::Entry && Same(lines[i].name, key)) {
                result = Unquote(lines[i].value);
                break;
            }
    return size == 0 ? "" : result.substr(0, size - 1);
}

bool TFakeProfileFiles::WriteValue(const std::string& path, const std::string& section,
                                   const std::string& key, const std::string& value)
{
    std::vector<Line> lines = Parse(disk_.Get(path));
    std::size_t first, last;
    if (!FindSection(lines, section, first, last)) {
        Line header;
        header.kind = Line::Section;
        header.name = section;
        header.text = "[" + section + "]";
        lines.push_back(header);
        first = last = lines.size();
    }
    bool replaced = false;
    for (std::size_t i = first; i < last; ++i)
        if (lines[i].kind == Line::Entry && Same(lines[i].name, key)) {
            lines[i].value = value;
            lines[i].text.clear();
            replaced = true;
            break;
        }
    if (!replaced) {
        Line added;
        added.kind = Line::Entry;
        added.name = key;
        added.value = value;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(last), added);
    }
    std::string content;
    for (const Line& line : lines) {
        if (line.kind == Line::Entry)
            content += line.name + "=" + line.value;
        else if (line.kind == Line::Section)
            content += "[" + line.name + "]";
        else
            content += line.text;
        content += "\r\n";
    }
    return disk_.Write(path, content);
}
