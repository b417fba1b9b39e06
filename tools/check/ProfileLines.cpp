#include "ProfileLines.h"

#include "core/Text.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& s)
{
    std::size_t begin = 0, end = s.size();
    while (begin < end && IsBlank(s[begin])) ++begin;
    while (end > begin && IsBlank(s[end - 1])) --end;
    return s.substr(begin, end - begin);
}

std::string Unquote(const std::string& value)
{
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

bool SameName(const std::string& a, const std::string& b) { return AsciiUpper(a) == AsciiUpper(b); }

TProfileLines::TProfileLines(const std::string& content)
{
    int number = 1;
    std::size_t at = 0;
    while (at < content.size()) {
        std::size_t end = content.find_first_of("\r\n", at);
        if (end == std::string::npos) end = content.size();
        std::string text = Trim(content.substr(at, end - at));
        if (!text.empty() && text[0] == '[') {
            std::string::size_type close = text.find(']');
            TProfileSection section;
            section.Line = number;
            section.Name = Trim(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            sections_.push_back(section);
        } else if (!sections_.empty() && text.find('=') != std::string::npos) {
            // Entries above the first header belong to no section.
            std::string::size_type eq = text.find('=');
            TProfileEntry entry;
            entry.Line = number;
            entry.Comment = text[0] == ';';
            entry.Name = Trim(text.substr(0, eq));
            entry.Value = Unquote(Trim(text.substr(eq + 1)));
            sections_.back().Entries.push_back(entry);
        }
        if (end < content.size() && content[end] == '\r' && end + 1 < content.size() &&
            content[end + 1] == '\n')
            ++end;
        at = end + 1;
        ++number;
    }
}

const TProfileSection* TProfileLines::Find(const std::string& section) const
{
    for (const TProfileSection& s : sections_)
        if (SameName(s.Name, section)) return &s;
    return nullptr;
}

std::vector<const TProfileEntry*> TProfileLines::Listed(const std::string& section) const
{
    std::vector<const TProfileEntry*> listed;
    const TProfileSection* s = Find(section);
    if (s == nullptr) return listed;
    for (const TProfileEntry& e : s->Entries) {
        if (e.Comment) continue;
        // A name list is a run of NUL-ended names: an empty one ends it.
        if (e.Name.empty()) break;
        listed.push_back(&e);
    }
    return listed;
}

const TProfileEntry* TProfileLines::Entry(const std::string& section, const std::string& name) const
{
    const TProfileSection* s = Find(section);
    if (s == nullptr) return nullptr;
    for (const TProfileEntry& e : s->Entries)
        if (SameName(e.Name, name)) return &e;
    return nullptr;
}

int TProfileLines::HeaderLine(const std::string& section) const
{
    const TProfileSection* s = Find(section);
    return s == nullptr ? 0 : s->Line;
}
