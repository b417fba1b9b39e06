// Names on Japanese and Chinese Windows: two-byte characters whose second
// byte is "\", "|", "[" or "]" are ordinary characters to every rule that
// walks a name, and no cut leaves half of one behind.
#include <functional>

#include "engine/Engine.h"
#include "Fixtures.h"
#include "core/Paths.h"
#include "core/Text.h"
#include "toolkit/DirControls.h"

namespace {

// Code page 932: 予算表, ポイント, ソ, ー ("[" second), ‐ ("]" second), ア ("A" second).
const std::string Yosan = "\x97\x5C\x8E\x5A\x95\x5C";
const std::string Point = "\x83\x7C\x83\x43\x83\x93\x83\x67";
const std::string So = "\x83\x5C";
const std::string Bar = "\x81\x5B";
const std::string Dash = "\x81\x5D";
const std::string A932 = "\x83\x41";
// Code page 950: 許功蓋, each ending in "\"; 弋 ends in "|".
const std::string Kyo = "\xB3\x5C\xA5\x5C\xBB\x5C";
const std::string Yi = "\xA4\x7C";

using TRule = std::function<std::string(const std::string&)>;

struct NamedRule {
    const char* name;
    TRule rule;
};

const NamedRule Rules[] = {
    {"DirectoryToMake", DirectoryToMake},
    {"TypedDestination", TypedDestination},
    {"FolderRefusal", [](const std::string& p) { return FolderRefusal(p, false); }},
    {"DeviceNamePart", DeviceNamePart},
    {"ParentOf", ParentOf},
    {"ShortenCaption", ShortenCaption},
    {"CommandArgument", CommandArgument},
    {"Cut255", [](const std::string& t) { return Cut(t); }},
    // The caption's first byte is the command's 255th.
    {"AddItemCommand",
     [](const std::string& caption) { return AddItemCommand("C:\\" + std::string(235, 'd'), "a.exe", caption); }},
    {"AsciiUpper", AsciiUpper},
    {"Lower", [](const std::string& t) { return Sys().Locale->Lower(t); }},
    {"DiskKey", TFakeDisk::Key},
    {"DirOf", TFakeDisk::DirOf},
    {"DestinationFor", [](const std::string& setting) { return DestinationFor("D:\\", setting); }},
};

TRule RuleNamed(const std::string& name)
{
    for (const NamedRule& r : Rules)
        if (name == r.name) return r.rule;
    ADD_FAILURE() << "no rule " << name;
    return [](const std::string&) { return std::string(); };
}

std::string Refusal(const std::string& path, const std::string& reason)
{
    return path + " cannot be a folder: " + reason + ". Please choose another directory.";
}

class CodePageTest : public ProgramTest {};

TEST_F(CodePageTest, EveryRuleWalksNamesByCharacter)
{
    const std::string a254(254, 'a');
    const std::string x36(36, 'x');
    const std::string command = "[AddItem(C:\\" + std::string(235, 'd') + "\\a.exe,";
    struct Case {
        unsigned codePage;
        const char* rule;
        std::string in, out;
    } cases[] = {
        // A name ending in 0x5C keeps its last character.
        {932, "DirectoryToMake", "c:\\" + Yosan, "c:\\" + Yosan},
        {932, "DirectoryToMake", "c:\\" + Yosan + "\\\\", "c:\\" + Yosan},
        {950, "DirectoryToMake", "c:\\" + Kyo + "\\", "c:\\" + Kyo},
        {932, "TypedDestination", "c:\\" + Yosan + " .", "c:\\" + Yosan},
        {932, "ParentOf", "c:\\" + Yosan, "c:\\"},
        {950, "ParentOf", "c:\\" + Kyo + "\\" + Kyo, "c:\\" + Kyo + "\\"},
        {1252, "ParentOf", "c:\\" + Kyo, "c:\\\xB3\\\xA5\\\xBB\\"},
        {932, "DiskKey", "c:\\" + Yosan + "\\", "C:\\" + Yosan},
        {932, "DiskKey", "c:\\" + So + ".\\x", "C:\\" + So + ".\\X"},
        {932, "DirOf", "c:\\" + Yosan + "\\" + So, "c:\\" + Yosan},
        // The drive root's three bytes, or two before a whole character.
        {932, "DestinationFor", "c:\\" + Yosan, "D:\\" + Yosan},
        {932, "DestinationFor", "cc" + Yosan, "D:\\" + Yosan},
        {1252, "DestinationFor", "cc" + Yosan, "D:\\" + Yosan.substr(1)},
        // A trail byte 0x7C is no "|"; a real one still is.
        {932, "FolderRefusal", "c:\\" + Point, ""},
        {950, "FolderRefusal", "c:\\" + Yi + "\\" + Kyo, ""},
        {1252, "FolderRefusal", "c:\\" + Point,
         Refusal("c:\\" + Point, "a folder name may not hold the character |")},
        {932, "FolderRefusal", "c:\\" + Point + "|x",
         Refusal("c:\\" + Point + "|x", "a folder name may not hold the character |")},
        {932, "FolderRefusal", "c:\\\x81?", Refusal("c:\\\x81?", "a folder name may not hold the character ?")},
        {932, "FolderRefusal", "c:\\" + So + " \\x",
         Refusal("c:\\" + So + " \\x", "\"" + So + " \" ends in a blank or a full stop, which Windows drops")},
        {932, "DeviceNamePart", "c:\\" + Yosan + "\\con.txt", "con.txt"},
        {932, "DeviceNamePart", Yosan + "\\" + So + "\\x", ""},
        // "[" and "]" as second bytes need no quotes; real ones do.
        {932, "CommandArgument", Bar + Dash, Bar + Dash},
        {932, "CommandArgument", Bar + "[1]", "\"" + Bar + "[1]\""},
        {1252, "CommandArgument", Bar, "\"" + Bar + "\""},
        // Cuts move back off a second byte; ASCII and single-byte pages keep
        // the byte count.
        {932, "Cut255", a254 + Yosan, a254},
        {950, "Cut255", a254 + Kyo, a254},
        {932, "Cut255", "a" + a254 + Yosan, "a" + a254},
        {1252, "Cut255", a254 + Yosan, a254 + "\x97"},
        {932, "AddItemCommand", Yosan, command},
        {1252, "AddItemCommand", Yosan, command + "\x97"},
        // "..." and the last 37 bytes, starting on a whole character.
        {932, "ShortenCaption", "xxx" + Yosan.substr(4) + x36, "..." + x36},
        {950, "ShortenCaption", "xxx" + Kyo.substr(4) + x36, "..." + x36},
        {1252, "ShortenCaption", "xxx" + Kyo.substr(4) + x36, "...\\" + x36},
        {932, "ShortenCaption", "xxxx" + Yosan.substr(4) + x36.substr(1), "..." + Yosan.substr(4) + x36.substr(1)},
        // A second byte that looks like a letter is left as it is.
        {932, "AsciiUpper", A932 + "a", A932 + "A"},
        {932, "Lower", A932 + "A", A932 + "a"},
        {1252, "Lower", A932 + "\xC0", "\x83\x61\xE0"},
    };
    for (const Case& c : cases) {
        Fake.Locale.UseCodePage(c.codePage);
        EXPECT_EQ(c.out, RuleNamed(c.rule)(c.in)) << c.rule << " in code page " << c.codePage;
    }
}

TEST_F(CodePageTest, DirectoryListSplitsThePathAtSeparatorsOnly)
{
    Fake.Locale.UseCodePage(932);
    Fake.Disk.MakeDirs("C:\\" + Yosan + "\\" + So);
    ASSERT_EQ(0u, Fake.Files.ChangeDirectory("C:\\" + Yosan));
    TDirectoryListBox list(nullptr);
    list.StartFromCurrentDirectory();
    ASSERT_EQ(3u, list.Entries().size());
    EXPECT_EQ(Yosan, list.Entries()[1].Text);
    EXPECT_EQ(So, list.Entries()[2].Text);
    EXPECT_EQ("C:\\" + Yosan, list.PathOf(1));
    EXPECT_EQ("C:\\" + Yosan + "\\" + So, list.PathOf(2));
}

}  // namespace
