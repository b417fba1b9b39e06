// The checker's text rules (UTF-8 told from ANSI, what it shows as, file
// names walked by character) and the pairing rule on control files made in
// memory, for the cases the test folders do not show one by one.
#include <gtest/gtest.h>

#include "Checks.h"
#include "Encoding.h"

namespace {

const TDateTime Now{1998, 3, 14, 9, 5, 0};

TEST(CheckEncoding, Utf8IsToldFromAnsiText)
{
    struct Case {
        const char* why;
        std::string content;
        bool mark;
        int line;
        const char* text;
    } cases[] = {
        {"ASCII reads the same either way", "[A]\r\nx=1\r\n", false, 0, ""},
        {"code page 1252 text is no UTF-8", "[A]\r\nx=Caf\xE9\r\n", false, 0, ""},
        {"a lone lead byte", "x=\xC3", false, 0, ""},
        {"an over-long form", "x=\xC0\xAF", false, 0, ""},
        {"a surrogate", "x=\xED\xA0\x80", false, 0, ""},
        {"two-byte characters", "[A]\r\nx=Caf\xC3\xA9 \r\n", false, 2, "x=Caf\xC3\xA9"},
        {"lone CR and LF count as line ends", "a\rb\nc\r\n\xE2\x82\xAC", false, 4, "\xE2\x82\xAC"},
        {"the mark alone", "\xEF\xBB\xBF[A]\r\nx=1\r\n", true, 0, ""},
        {"the mark is no character of the line", "\xEF\xBB\xBF\xC2\xA9 x", true, 1, "\xC2\xA9 x"},
        {"a mark before ANSI text still tells", "\xEF\xBB\xBFx=Caf\xE9", true, 0, ""},
    };
    for (const Case& c : cases) {
        TUtf8Text found = FindUtf8(c.content);
        EXPECT_EQ(c.mark, found.Mark) << c.why;
        EXPECT_EQ(c.line, found.Line) << c.why;
        EXPECT_EQ(c.text, found.Text) << c.why;
    }
}

TEST(CheckEncoding, ShownAsTheCodePageReadsTheBytes)
{
    struct Case {
        std::string bytes;
        int codePage;
        const char* shown;  // UTF-8
    } cases[] = {
        {"Caf\xC3\xA9", 1252, "Caf\xC3\x83\xC2\xA9"},         // CafÃ©
        {"\xEF\xBB\xBF", 1252, "\xC3\xAF\xC2\xBB\xC2\xBF"},   // ï»¿
        {"\xE2\x82\xAC", 1252, "\xC3\xA2\xE2\x80\x9A\xC2\xAC"},  // â‚¬: 0x82 is a low quote
        {"\x80", 1252, "\xE2\x82\xAC"},                           // the euro sign
        {"\x81", 1252, "\xC2\x81"},                           // unassigned: the control character
        {"Caf\xC3\xA9", 932, "Caf\xEF\xBE\x83\xEF\xBD\xA9"},  // half-width katakana
    };
    for (const Case& c : cases) EXPECT_EQ(c.shown, ShownInCodePage(c.bytes, c.codePage)) << c.bytes;
}

TEST(CheckEncoding, FileNamesAreWalkedByCharacter)
{
    // 0x95 0x5C is one Shift-JIS character whose second byte is "\".
    EXPECT_EQ("\x95\x5C.txt", FileNamePart("docs\\\x95\x5C.txt", 932));
    EXPECT_EQ(".txt", FileNamePart("docs\\\x95\x5C.txt", 1252));
    EXPECT_EQ("x.dll", FileNamePart("a/b\\x.dll", 1252));
    EXPECT_EQ("x.dll", FileNamePart("x.dll", 936));
    EXPECT_EQ("", FileNamePart("bin\\", 1252));
}

// The lines that install the uninstaller, which every control file here
// ends with unless the case is about them; at the end they move no line.
const std::string ShipsUninstaller = "[SysFilesIn]\r\nSkorvel.exe=\r\n[SysFilesOut]\r\nSkorvel.exe=\r\n";

// The findings for one control file, in a folder holding every file it
// names.
TFindings CheckAsIs(const std::string& ipi, bool strict = false, int codePage = WesternCodePage)
{
    std::vector<TFolderFile> files = {{"Pellwick.ipi", ipi}, {"Pellwick.up_", ""}};
    for (const char* name : {"a.exe", "b.dll", "c.txt", "d.dat", "x\\c.txt", "y\\c.txt", "Skorvel.exe"})
        files.push_back({name, name});
    TDryRun run(TInstallerFolder("C:\\SETUP\\", files), "C:\\WINDOWS", Now);
    EXPECT_TRUE(run.Load());
    TInstallDescription description = Shared.InstallDescription;
    TProfileLines lines(ipi);
    run.Install({"c:\\P", "", ""});
    return CheckDescription({description, lines, run, "c:\\P", "C:\\WINDOWS", codePage, strict});
}

TFindings Check(const std::string& ipi, bool strict = false) { return CheckAsIs(ipi + ShipsUninstaller, strict); }

std::string Texts(const TFindings& findings)
{
    std::string text;
    for (const TFinding& f : findings)
        text += std::to_string(f.Line) + (f.Severity == TSeverity::Error ? " error: " : " warning: ") + f.Text + "\n";
    return text;
}

TEST(CheckPairing, ShiftsAreErrorsAndRenamesStrictWarnings)
{
    const std::string head = "[Settings]\r\nDirectory=c:\\P\r\nPublisher=P\r\n[Dirs]\r\nx=\r\ny=\r\n";
    struct Case {
        const char* why;
        std::string files;  // [FilesIn] and [FilesOut], from line 7
        bool strict;
        const char* expected;  // the findings' start, "" for none
    } cases[] = {
        {"names kept, folders changed", "[FilesIn]\r\na.exe=\r\nx\\c.txt=\r\n[FilesOut]\r\nx\\a.exe=0\r\nc.txt=0\r\n",
         true, ""},
        {"one file name in two folders is no shift",
         "[FilesIn]\r\nx\\c.txt=\r\ny\\c.txt=\r\n[FilesOut]\r\nx\\c.txt=0\r\nd.txt=0\r\n", false, ""},
        {"the same, named with --strict",
         "[FilesIn]\r\nx\\c.txt=\r\ny\\c.txt=\r\n[FilesOut]\r\nx\\c.txt=0\r\nd.txt=0\r\n", true,
         "12 warning: \"y\\c.txt\" ([FilesIn] line 9) is installed under another name, \"d.txt\""},
        {"case does not matter", "[FilesIn]\r\na.exe=\r\n[FilesOut]\r\nA.EXE=0\r\n", true, ""},
        {"a line missing at the end only stops the run",
         "[FilesIn]\r\na.exe=\r\nb.dll=\r\n[FilesOut]\r\na.exe=0\r\n", false,
         "9 error: [FilesIn] has 2 entries but [FilesOut] only 1"},
        {"a line missing in the middle shifts the rest too",
         "[FilesIn]\r\na.exe=\r\nb.dll=\r\nc.txt=\r\n[FilesOut]\r\na.exe=0\r\nc.txt=0\r\n", false,
         "10 error: [FilesIn] has 3 entries but [FilesOut] only 2: the run stops at \"c.txt\" with \"List index "
         "out of bounds\"\n"
         "13 error: [FilesIn] and [FilesOut] pair by position and are out of step here: \"b.dll\" (line 9) pairs "
         "with this line and is written as \"c.txt\", the name meant for \"c.txt\" (line 10); 1 of 3 copies"},
        {"an Out line added in the middle",
         "[FilesIn]\r\na.exe=\r\nb.dll=\r\n[FilesOut]\r\nd.dat=0\r\na.exe=0\r\nb.dll=0\r\n", false,
         "11 error: [FilesIn] and [FilesOut] pair by position and are out of step here: \"a.exe\" (line 8) pairs "
         "with this line and is written as \"d.dat\", while its own name stands on line 12; 2 of 2 copies"},
    };
    for (const Case& c : cases) {
        std::string found = Texts(Check(head + c.files, c.strict));
        EXPECT_EQ(0u, found.find(c.expected)) << c.why << "\n" << found;
        if (*c.expected == '\0') EXPECT_EQ("", found) << c.why;
    }
}

TEST(CheckComments, ASemicolonAfterAValueIsTold)
{
    struct Case {
        const char* line;  // in [Settings], line 2
        const char* expected;  // "" for no finding
    } cases[] = {
        {"Version=2.0 ; beta", "2 warning: a \";\" after a value starts no comment: \"Version\" in [Settings] is read "
                               "as \"2.0 ; beta\""},
        {"Version=\t;beta", "2 warning: a \";\" after a value starts no comment: \"Version\" in [Settings] is read "
                            "as \";beta\""},
        {"Version=\"2.0 ; beta\"", ""},  // quoted: meant whole
        {"Version=2.0;beta", ""},        // a separator, as in lists of paths
        {"; Version=2.0 ; beta", ""},    // a comment line
    };
    for (const Case& c : cases) {
        std::string found = Texts(Check(std::string("[Settings]\r\n") + c.line + "\r\nDirectory=c:\\P\r\n"));
        EXPECT_EQ(0u, found.find(c.expected)) << c.line << "\n" << found;
        if (*c.expected == '\0') EXPECT_EQ("", found) << c.line;
    }
}

TEST(CheckUninstaller, OnlyASystemFileNamedSkorvelInstallsIt)
{
    const std::string head = "[Settings]\r\nDirectory=c:\\P\r\n";
    const char* const told = "warning: no system file installs Skorvel.exe: the uninstall entry would point at nothing";
    struct Case {
        const char* why;
        std::string rest;
        int codePage;
        const char* expected;  // the finding's start, "" for none
    } cases[] = {
        {"case does not matter", "[SysFilesIn]\r\nSkorvel.exe=\r\n[SysFilesOut]\r\nSKORVEL.exe=\r\n",
         WesternCodePage, ""},
        {"no system files at all", "", WesternCodePage, "0 "},
        {"a product file is no system file",
         "[Dirs]\r\nx=\r\n[FilesIn]\r\nSkorvel.exe=\r\n[FilesOut]\r\nSkorvel.exe=0\r\n", WesternCodePage, "0 "},
        {"an Out-name past the In-names copies nothing",
         "[SysFilesIn]\r\nb.dll=\r\n[SysFilesOut]\r\nb.dll=\r\nSkorvel.exe=\r\n", WesternCodePage, "5 "},
        // 0x95 0x5C is one Shift-JIS character: the name does not end in
        // "\Skorvel.exe" there, as it does in code page 1252.
        {"a name walked by character", "[SysFilesIn]\r\nb.dll=\r\n[SysFilesOut]\r\n\x95\\Skorvel.exe=\r\n", 932,
         "5 "},
        {"the same name in code page 1252", "[SysFilesIn]\r\nb.dll=\r\n[SysFilesOut]\r\n\x95\\Skorvel.exe=\r\n",
         WesternCodePage, ""},
    };
    for (const Case& c : cases) {
        std::string found = Texts(CheckAsIs(head + c.rest, false, c.codePage));
        bool warned = found.find(told) != std::string::npos;
        EXPECT_EQ(*c.expected != '\0', warned) << c.why << "\n" << found;
        if (warned) EXPECT_NE(std::string::npos, found.find(c.expected + std::string(told))) << c.why << "\n" << found;
    }
    // Expand copies nothing and writes no uninstall entry: the warning about
    // Expand is the one finding.
    std::string expand = Texts(CheckAsIs("[Settings]\r\nDirectory=c:\\P\r\nExpand=1\r\n"));
    EXPECT_EQ(std::string::npos, expand.find(told)) << expand;
    EXPECT_NE(std::string::npos, expand.find("Expand is set")) << expand;
}

}  // namespace
