#include "ProfileLines.h"

#include "core/Text.h"
#include "platform/doubles/ProfileText.h"

bool SameName(const std::string& a, const std::string& b) { return AsciiUpper(a) == AsciiUpper(b); }

TProfileLines::TProfileLines(const std::string& content)
{
    for (const TProfileLine& line : ParseProfileText(content)) {
        if (line.Kind == TProfileLine::Section) {
            TProfileSection section;
            section.Line = line.Number;
            section.Name = line.Name;
            sections_.push_back(section);
        } else if (line.Kind == TProfileLine::Entry && !sections_.empty()) {
            // Entries above the first header belong to no section.
            TProfileEntry entry;
            entry.Line = line.Number;
            entry.Comment = line.Comment;
            entry.Name = line.Name;
            entry.Value = UnquoteProfileValue(line.Value);
            entry.Quoted = entry.Value.size() != line.Value.size();
            sections_.back().Entries.push_back(entry);
        }
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
