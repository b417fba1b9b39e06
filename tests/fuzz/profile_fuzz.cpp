// The profile double's reader and writer. Each input gives a file, a
// section, a key and a value; after WriteValue the value reads back (as the
// profile rules normalise it), every other entry keeps its value, every
// other section lists the same names, and every line that is neither a
// header nor an entry is kept in order. Reads and listings cut to odd
// buffer sizes are checked against the full ones.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "FuzzSupport.h"
#include "platform/doubles/FakeDisk.h"
#include "platform/doubles/FakeProfileFiles.h"

namespace {

const char* const Path = "C:\\SETUP\\test.ini";
const char* const Absent = "\x01<absent>\x01";
constexpr std::size_t Unlimited = 1u << 24;

struct Layout {
    // (section, key) of every entry line under a header, in file order,
    // with the number of the header it stands under.
    std::vector<std::pair<std::string, std::string>> entries;
    std::vector<std::size_t> headerOf;
    std::vector<std::string> sections;
    // Lines that are neither headers nor entries, trimmed, blanks left out.
    std::vector<std::string> others;
    // Headers that do not read back as written: without a closing bracket
    // of their own, or with a name ending in a lead byte that the "]" put
    // after it would pair with.
    int unclosed = 0;
};

// Splits a file into lines at CR, LF or CR LF, and sorts them the way the
// profile functions do: "[" starts a header, a line with "=" is an entry.
Layout Scan(const std::string& content, const TCodePage& page)
{
    Layout layout;
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
    lines.push_back(current);

    bool inSection = false;
    std::string section;
    for (const std::string& raw : lines) {
        std::string text = fuzz::TrimBlanks(raw);
        if (text.empty()) continue;
        if (text[0] == '[') {
            std::string::size_type close = fuzz::FindChar(text, ']', page);
            section = fuzz::TrimBlanks(
                text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            layout.unclosed += close == std::string::npos || fuzz::WholeName(section, page) != section;
            layout.sections.push_back(section);
            inSection = true;
        } else if (text.find('=') != std::string::npos) {
            if (inSection) {
                layout.entries.emplace_back(section,
                                            fuzz::TrimBlanks(text.substr(0, text.find('='))));
                layout.headerOf.push_back(layout.sections.size() - 1);
            }
        } else {
            layout.others.push_back(text);
        }
    }
    return layout;
}

// Whether the first entry that is no comment, under the first header named
// section, has a name that reads as empty: none, or one starting with NUL.
bool FirstNameEmpty(const Layout& layout, const std::string& section, const TCodePage& page)
{
    std::size_t header = 0;
    while (header < layout.sections.size() && !fuzz::SameNoCase(layout.sections[header], section, page))
        ++header;
    for (std::size_t i = 0; i < layout.entries.size(); ++i)
        if (layout.headerOf[i] == header && layout.entries[i].second.compare(0, 1, ";") != 0)
            return layout.entries[i].second.empty() || layout.entries[i].second[0] == '\0';
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::LeakProbe();
    FuzzedDataProvider in(data, size);

    // Names with "=", "[", "]", ";" or line breaks, and values with line
    // breaks, cannot be written into an INI file and read back: they would
    // make other lines or start a comment. The program passes names without
    // surrounding blanks, so those are trimmed too. NULs end a name or value
    // for the system's functions, so none are written.
    static const char nameStops[] = "=[];\r\n\0";
    static const char valueStops[] = "\r\n\0";
    // Names end in a whole character of the code page.
    const TCodePage page = fuzz::PickCodePage(in.ConsumeIntegral<std::uint8_t>());
    UseAnsiCodePage(page);
    const bool fileExists = in.ConsumeBool();
    const std::string section = fuzz::WholeName(
        fuzz::Without(in.ConsumeRandomLengthString(48), nameStops, sizeof nameStops - 1), page);
    const std::string key = fuzz::WholeName(
        fuzz::Without(in.ConsumeRandomLengthString(48), nameStops, sizeof nameStops - 1), page);
    const std::string value =
        fuzz::Without(in.ConsumeRandomLengthString(1200), valueStops, sizeof valueStops - 1);
    const std::size_t readSize = in.ConsumeIntegralInRange<std::size_t>(0, 1100);
    const std::size_t listSize = in.ConsumeIntegralInRange<std::size_t>(0, 600);
    const std::string content = in.ConsumeRemainingBytesAsString();

    TFakeDisk disk;
    disk.MakeDirs("C:\\SETUP");
    if (fileExists) disk.Put(Path, content);
    TFakeProfileFiles files(disk);
    const Layout before = Scan(fileExists ? content : std::string(), page);

    // Reading: cut reads and listings agree with the full ones.
    const std::string full = files.ReadValue(Path, section, key, Absent, Unlimited);
    const std::string cut = files.ReadValue(Path, section, key, Absent, readSize);
    // n - 1 bytes, one less where that would split a two-byte character.
    const std::size_t room = readSize == 0 ? 0 : std::min(full.size(), readSize - 1);
    fuzz::Check(full.compare(0, cut.size(), cut) == 0 &&
                    (cut.size() == room ||
                     (cut.size() + 1 == room && fuzz::CharLength(full, cut.size(), page) == 2)),
                "a cut read is not the start of the full value",
                "size " + std::to_string(readSize) + ": " + fuzz::Show(cut));
    const std::string listing = files.KeyNameBuffer(Path, section, Unlimited);
    fuzz::Check(!listing.empty() && listing.back() == '\0' &&
                    (listing.size() < 2 || listing[listing.size() - 2] == '\0'),
                "a full listing does not end in two NULs", fuzz::Show(listing));
    const std::string cutListing = files.KeyNameBuffer(Path, section, listSize);
    fuzz::Check(cutListing.size() <= listSize, "a listing overruns its buffer",
                std::to_string(cutListing.size()) + " > " + std::to_string(listSize));
    if (listSize >= 2)
        fuzz::Check(cutListing.compare(0, cutListing.size() - 1, listing, 0,
                                       cutListing.size() - 1) == 0 &&
                        cutListing.back() == '\0',
                    "a cut listing is not the start of the full one", fuzz::Show(cutListing));

    // A header that does not read back as written is written anew by every
    // write: what a write keeps is held for files whose headers do.
    if (page.Number() != 1252 && before.unclosed > 0) return 0;

    std::vector<std::string> valuesBefore;
    for (const auto& entry : before.entries)
        valuesBefore.push_back(files.ReadValue(Path, entry.first, entry.second, Absent, Unlimited));
    std::vector<std::string> listingsBefore;
    for (const std::string& s : before.sections)
        listingsBefore.push_back(files.KeyNameBuffer(Path, s, Unlimited));

    // Writing.
    fuzz::Check(files.WriteValue(Path, section, key, value), "the write was refused");
    const std::string written = disk.Get(Path);
    const Layout after = Scan(written, page);

    const std::string readBack = files.ReadValue(Path, section, key, Absent, Unlimited);
    fuzz::Check(readBack == fuzz::AsRead(value), "the written value does not read back",
                "wrote " + fuzz::Show(value) + " into [" + section + "] " + fuzz::Show(key) +
                    ", read " + fuzz::Show(readBack) + "; file " + fuzz::Show(written));

    for (std::size_t i = 0; i < before.entries.size(); ++i) {
        const auto& entry = before.entries[i];
        if (fuzz::SameNoCase(entry.first, section, page) && fuzz::SameNoCase(entry.second, key, page))
            continue;
        const std::string now = files.ReadValue(Path, entry.first, entry.second, Absent, Unlimited);
        fuzz::Check(now == valuesBefore[i], "another entry changed its value",
                    "[" + entry.first + "] " + fuzz::Show(entry.second) + ": " +
                        fuzz::Show(valuesBefore[i]) + " became " + fuzz::Show(now) +
                        "; file " + fuzz::Show(written) + " was " + fuzz::Show(content) +
                        " in code page " + std::to_string(page.Number()));
    }

    for (std::size_t i = 0; i < before.sections.size(); ++i) {
        if (fuzz::SameNoCase(before.sections[i], section, page)) continue;
        fuzz::Check(files.KeyNameBuffer(Path, before.sections[i], Unlimited) == listingsBefore[i],
                    "another section lists other names", "[" + before.sections[i] + "]");
    }

    // The written section lists what it listed, and the key at its end
    // when it was not there before; a listing whose first name is empty
    // reads as empty.
    std::string expected = listing;
    if (full == Absent) {
        expected.pop_back();
        expected += key + '\0' + '\0';
    }
    if (FirstNameEmpty(after, section, page)) expected = std::string(1, '\0');
    const std::string listingAfter = files.KeyNameBuffer(Path, section, Unlimited);
    fuzz::Check(listingAfter == expected, "the written section lists the wrong names",
                fuzz::Show(listingAfter) + " instead of " + fuzz::Show(expected) + " in [" +
                    fuzz::Show(section) + "] " + fuzz::Show(key) + " of " + fuzz::Show(written));

    fuzz::Check(after.others == before.others, "lines that are not entries were lost or changed",
                "file " + fuzz::Show(written));

    // Writing the same value again changes nothing.
    fuzz::Check(files.WriteValue(Path, section, key, value), "the second write was refused");
    fuzz::Check(disk.Get(Path) == written, "writing the same value twice changed the file",
                fuzz::Show(written) + " became " + fuzz::Show(disk.Get(Path)));
    return 0;
}
