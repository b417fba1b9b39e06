// Reading the text of a profile (INI) file line by line, by the rules the
// system's profile functions follow: lines end at CR, LF or CR LF; blanks
// and tabs around a line, a name or a value are dropped; "[" starts a
// section header whose name runs to the first "]"; a line holding "=" is
// an entry (one starting with ";" a comment entry: found by its full name,
// left out of listings); any other line is kept but means nothing.
#pragma once
#include <string>
#include <vector>

struct TProfileLine {
    enum Kind { Section, Entry, Other } Kind = Other;
    int Number = 0;     // 1 for the file's first line
    std::string Name;   // section or entry name
    std::string Value;  // entry value, quotes kept
    std::string Text;   // the whole line, trimmed
    bool Comment = false;
};

// The lines that are not blank, in file order.
std::vector<TProfileLine> ParseProfileText(const std::string& content);
// A value as a read returns it: a pair of matching outer quotes dropped.
std::string UnquoteProfileValue(const std::string& value);
