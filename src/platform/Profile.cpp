#include "platform/Profile.h"

#include <algorithm>
#include <vector>

#include "core/Error.h"

TStrings SplitNameBuffer(const std::string& buffer)
{
    // The names are all but the final NUL. An entry without a name shows
    // as an early double NUL; read to the end, it is listed like any other
    // rather than silently hiding every entry after it.
    std::size_t length = buffer.empty() ? 0 : buffer.size() - 1;
    TStrings names;
    std::size_t at = 0;
    while (at < length) {
        std::size_t end = buffer.find('\0', at);
        if (end == std::string::npos || end > length) end = length;
        names.push_back(buffer.substr(at, end - at));
        at = end + 1;
    }
    return names;
}

TStrings NamesOfSectionBuffer(const std::string& buffer, std::size_t size)
{
    std::string listing;
    for (const std::string& line : SplitNameBuffer(buffer)) {
        std::string::size_type equals = line.find('=');
        if (equals == std::string::npos || (!line.empty() && line[0] == ';')) continue;
        listing += line.substr(0, equals) + '\0';
    }
    // Cut as the key listing cuts: n - 2 characters and one NUL.
    if (listing.size() + 1 > size) listing = size >= 2 ? listing.substr(0, size - 2) : "";
    return SplitNameBuffer(listing + '\0');
}

void TProfile::ReadSection(const std::string& section, TStrings& names) const
{
    names.clear();
    names = SplitNameBuffer(files_.KeyNameBuffer(path_, section, NameBufferSize));
    // A section whose first entry has no name is listed as empty (the
    // listing's early double NUL is taken for its end): its names are
    // read from its lines instead.
    if (names.empty())
        names = NamesOfSectionBuffer(files_.SectionBuffer(path_, section), NameBufferSize);
}

std::string TProfile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& def) const
{
    return files_.ReadValue(path_, section, key, def, ValueBufferSize);
}

namespace {
bool Blank(unsigned char c) { return c == ' ' || c == '\t'; }

// A name as the system matches it: without the blanks at its ends, and
// without case (ASCII letters only: false for a name of other characters,
// which the system's own rules might match to another).
bool MatchedName(const std::string& name, std::string& matched)
{
    std::size_t first = 0, last = name.size();
    while (first < last && Blank(name[first])) ++first;
    while (last > first && Blank(name[last - 1])) --last;
    matched = AsciiUpper(name.substr(first, last - first));
    for (unsigned char c : name)
        if ((c < 0x20 && !Blank(c)) || c >= 0x7f) return false;
    return true;
}

// A value read one key at a time loses blanks and a pair of quotes at its
// ends; one with neither, and short enough, is read as it stands. (The
// second byte of a double-byte character is never a blank or a quote.)
bool PlainValue(const std::string& value, std::size_t bufferSize)
{
    auto unclear = [](unsigned char c) { return c <= ' ' || c == '"' || c == '\'' || c == 0x7f; };
    if (value.size() + 1 >= bufferSize) return false;
    return value.empty() || (!unclear(value.front()) && !unclear(value.back()));
}
}  // namespace

void TProfile::ReadValues(const std::string& section, const TStrings& names,
                          const std::string& def, TStrings& values) const
{
    // Each key read on its own is a search of the section's lines by the
    // system: for thousands of keys, most of the time a large control file
    // takes to read. The section is read once instead, and a key's value
    // taken from its line where the line leaves no doubt: the only line of
    // its name (the system takes the first of two), the name as it stands
    // and the value plain. Every other key is read on its own, and so is
    // the last line's: a system that limits a section's size cuts it.
    TStrings lines = SplitNameBuffer(files_.SectionBuffer(path_, section));
    if (!lines.empty()) lines.pop_back();
    struct TLine {
        std::string Matched, Name, Value;
        std::size_t Order;
        bool Plain;
        bool operator<(const TLine& other) const
        {
            int c = Matched.compare(other.Matched);
            return c < 0 || (c == 0 && Order < other.Order);
        }
    };
    std::vector<TLine> byName;
    bool asciiNames = true;
    for (const std::string& line : lines) {
        std::string::size_type equals = line.find('=');
        if (line.empty() || line[0] == ';' || equals == std::string::npos) continue;
        TLine l{"", line.substr(0, equals), line.substr(equals + 1), byName.size(), false};
        asciiNames = MatchedName(l.Name, l.Matched) && asciiNames;
        l.Plain = !l.Matched.empty() && l.Matched.size() == l.Name.size() && PlainValue(l.Value, ValueBufferSize);
        byName.push_back(std::move(l));
    }
    // Sorted by name, the first of a name stays first; a name on two
    // lines is read on its own.
    std::sort(byName.begin(), byName.end());
    for (std::size_t i = 1; i < byName.size(); ++i)
        if (byName[i].Matched == byName[i - 1].Matched) byName[i].Plain = byName[i - 1].Plain = false;
    values.clear();
    for (const std::string& name : names) {
        auto found = std::lower_bound(byName.begin(), byName.end(), TLine{AsciiUpper(name), "", "", 0, false});
        if (asciiNames && found != byName.end() && found->Plain && found->Name == name)
            values.push_back(found->Value);
        else
            values.push_back(ReadString(section, name, def));
    }
}

std::int32_t TProfile::ReadInteger(const std::string& section, const std::string& key,
                                   std::int32_t def) const
{
    return ReadIntegerText(ReadString(section, key, ""), def);
}

bool TProfile::ReadBool(const std::string& section, const std::string& key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TProfile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) const
{
    if (!files_.WriteValue(path_, section, key, value))
        throw EError(FormatMessage1("Unable to write to %s", path_));
}
