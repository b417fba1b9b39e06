// The sections and entries of a profile file with their line numbers,
// which the profile services do not hand out; read by the same rules as the
// profile double (ParseProfileText). tests/lines_test.cpp holds its
// listings and values against the loader's for every test folder.
#pragma once
#include <string>
#include <vector>

struct TProfileEntry {
    int Line = 0;
    std::string Name;
    std::string Value;  // as a read by name returns it: outer quotes dropped
    bool Quoted = false;  // the value was written in quotes
    bool Comment = false;
};

struct TProfileSection {
    int Line = 0;
    std::string Name;
    std::vector<TProfileEntry> Entries;
};

class TProfileLines {
public:
    explicit TProfileLines(const std::string& content);

    // Every section header in file order, repeated names included.
    const std::vector<TProfileSection>& Sections() const { return sections_; }
    // The first section of that name, the only one that is read; nullptr
    // when the file has none.
    const TProfileSection* Find(const std::string& section) const;
    // The entries a listing of the section's names gives, in file order:
    // comment entries left out, entries without a name kept. Not cut to any
    // buffer size.
    std::vector<const TProfileEntry*> Listed(const std::string& section) const;
    // The entry a read by name finds: the first of that name, comment
    // entries included; nullptr when there is none.
    const TProfileEntry* Entry(const std::string& section, const std::string& name) const;
    // Line of the section's header; 0 when the file has no such section.
    int HeaderLine(const std::string& section) const;

private:
    std::vector<TProfileSection> sections_;
};

// Names as the profile services compare them.
bool SameName(const std::string& a, const std::string& b);
