#include "platform/Profile.h"

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
