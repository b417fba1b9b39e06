// Profile files through TProfile: the rules the program relies on, checked
// on the double and on the system's own profile functions alike.
#include <gtest/gtest.h>

#include "TestEnv.h"
#include "core/Error.h"

namespace {

class ProfileGroup : public ::testing::Test {
protected:
    void SetUp() override { path_ = TestEnv().ScratchFile("group.ini"); }
    void TearDown() override { TestEnv().RemoveFile(path_); }
    TProfile Write(const std::string& text)
    {
        TestEnv().PutFile(path_, text);
        return TProfile(TestEnv().Profiles(), path_);
    }
    std::string path_;
};

const char* const Sample =
    "; comment=ignored\r\n"
    "[Settings]\r\n"
    "Plain=hello world\r\n"
    "  Spaced   =   value with blanks   \r\n"
    "Double=\"quoted\"\r\n"
    "Single='single'\r\n"
    "Half=\"open\r\n"
    "Empty=\r\n"
    "#Hash=kept\r\n"
    ";Semi=gone\r\n"
    "Dup=first\r\n"
    "Dup=second\r\n"
    "NoEquals\r\n"
    "[settings]\r\n"
    "Later=only in the second copy\r\n";

TEST_F(ProfileGroup, ValuesFollowTheSystemRules)
{
    TProfile p = Write(Sample);
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"Settings", "Plain", "hello world"},
        {"Settings", "Spaced", "value with blanks"},
        {"Settings", "Double", "quoted"},
        {"Settings", "Single", "single"},
        {"Settings", "Half", "\"open"},
        {"Settings", "Empty", ""},  // present and empty: not the default
        {"Settings", "#Hash", "kept"},
        {"Settings", ";Semi", "gone"},  // a comment is still found by its full name
        {"Settings", "Dup", "first"},
        {"Settings", "NoEquals", "<def>"},
        {"SETTINGS", "plain", "hello world"},  // names match without case
        {"Settings", "Later", "<def>"},        // a repeated section is not read
        {"Missing", "Plain", "<def>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, p.ReadString(c.section, c.key, "<def>")) << c.section << "/" << c.key;
}

// Text is read as bytes of the ANSI code page, UTF-8 included. Windows
// takes UTF-8's byte-order mark for three characters of the first line,
// so that a header there is no header, and the double does the same;
// Wine, whose functions are the real ones here, knows the mark and reads
// the file as UTF-8 into the code page (1252 in the bench's prefix).
TEST_F(ProfileGroup, Utf8IsReadAsCodePageBytesAndItsMarkOnlyByWine)
{
    const bool wineReadsUtf8Mark = TestEnv().IsReal();
    TProfile plain = Write("[A]\r\nx=Caf\xC3\xA9\r\n");
    EXPECT_EQ("Caf\xC3\xA9", plain.ReadString("A", "x", "<def>"));
    TProfile marked = Write("\xEF\xBB\xBF[A]\r\nx=Caf\xC3\xA9\r\n[B]\r\ny=1\r\n");
    EXPECT_EQ(wineReadsUtf8Mark ? "Caf\xE9" : "<def>", marked.ReadString("A", "x", "<def>"));
    EXPECT_EQ("1", marked.ReadString("B", "y", "<def>"));
}

TEST_F(ProfileGroup, MissingFileGivesDefaultsAndNoNames)
{
    TProfile p(TestEnv().Profiles(), TestEnv().ScratchFile("absent.ini"));
    EXPECT_EQ("c:\\tmp", p.ReadString("Settings", "Directory", "c:\\tmp"));
    TStrings names{"stale"};
    p.ReadSection("Settings", names);
    EXPECT_TRUE(names.empty());
}

TEST_F(ProfileGroup, ValuesAreCutTo1023Characters)
{
    std::string longValue(1500, 'v');
    TProfile p = Write("[S]\r\nLong=" + longValue + "\r\n");
    EXPECT_EQ(std::string(1023, 'v'), p.ReadString("S", "Long", ""));
}

// The system's profile functions, counting the keys read one at a time.
class TCountingProfiles : public IProfileFiles {
public:
    explicit TCountingProfiles(IProfileFiles& real) : real_(real) {}
    int KeysRead = 0;
    std::string KeyNameBuffer(const std::string& path, const std::string& section, std::size_t size) override
    {
        return real_.KeyNameBuffer(path, section, size);
    }
    std::string ReadValue(const std::string& path, const std::string& section, const std::string& key,
                          const std::string& def, std::size_t size) override
    {
        ++KeysRead;
        return real_.ReadValue(path, section, key, def, size);
    }
    bool WriteValue(const std::string&, const std::string&, const std::string&, const std::string&) override
    {
        return false;
    }
    std::string SectionBuffer(const std::string& path, const std::string& section) override
    {
        return real_.SectionBuffer(path, section);
    }
    unsigned long ReadError(const std::string& path) override { return real_.ReadError(path); }

private:
    IProfileFiles& real_;
};

// The text of Sample between the ends of FROM and the start of TO.
std::string Lines(const std::string& text, const std::string& from, const std::string& to)
{
    std::size_t first = text.find(from) + from.size();
    return text.substr(first, text.find(to) - first);
}

// A section's values read in one go are what reading each key gives,
// whatever its lines hold; only lines that leave no doubt are taken from
// the section, the rest are read key by key.
TEST_F(ProfileGroup, ValuesOfASectionInOneReadAreThoseOfEachKey)
{
    const std::string tail = "Last=the last line\r\n[Next]\r\nPlain=next section\r\n";
    struct Case {
        const char* what;
        std::string lines;
        int keysRead;  // -1: as the system hands over the lines
    } cases[] = {
        {"the system's rules", Lines(Sample, "[Settings]\r\n", "[settings]"), -1},
        {"plain lines", "a=1\r\nB=two words\r\nc=x=y\r\nd=\r\nPath=C:\\Tern\\a b.txt\r\n", 1},
        {"blanks and quotes", "  Spaced   =   v   \r\nq=\"x\"\r\nh='open\r\nplain=1\r\n", -1},
        {"the same name twice", "Dup=first\r\nx=1\r\n DUP = second\r\n", 3},
        {"a long value", "Long=" + std::string(1100, 'v') + "\r\nshort=" + std::string(1022, 's') +
                             "\r\n", 2},
        {"names of other characters", "Caf\xE9=1\r\ncaf\xC9=2\r\nplain=3\r\n", 4},
        {"double-byte names", "\x95\x5C=1\r\n\x83\x5C\x83\x74\x83\x67=2\r\n", 3},
    };
    for (const Case& c : cases) {
        Write("[Settings]\r\n" + c.lines + tail);
        TCountingProfiles counting(TestEnv().Profiles());
        TProfile p(counting, path_);
        TStrings names;
        p.ReadSection("Settings", names);
        names.insert(names.end(), {"missing", "PLAIN", "dup", ";Semi", ""});
        TStrings expected;
        for (const std::string& name : names) expected.push_back(p.ReadString("Settings", name, "<def>"));
        counting.KeysRead = 0;
        TStrings values{"stale"};
        p.ReadValues("Settings", names, "<def>", values);
        EXPECT_EQ(expected, values) << c.what;
        // The last line, and the five names added above, are read key by key.
        if (c.keysRead >= 0) EXPECT_EQ(c.keysRead + 5, counting.KeysRead) << c.what;
    }
}

TEST_F(ProfileGroup, SectionNamesKeepFileOrderAndDuplicates)
{
    TProfile p = Write(
        "[Files]\r\nzeta.exe=1\r\nalpha.dll\r\nAlpha.txt = x\r\nzeta.exe=2\r\n;c=3\r\n#d=4\r\n[Next]\r\nq=1\r\n");
    TStrings names{"stale"};
    p.ReadSection("Files", names);
    EXPECT_EQ((TStrings{"zeta.exe", "Alpha.txt", "zeta.exe", "#d"}), names);
    p.ReadSection("Nowhere", names);
    EXPECT_TRUE(names.empty());
}

TEST_F(ProfileGroup, AnEmptyNameIsListedAndHidesNothingAfterIt)
{
    TProfile p = Write("[S]\r\na=1\r\n=2\r\nb=3\r\n");
    TStrings names;
    p.ReadSection("S", names);
    EXPECT_EQ((TStrings{"a", "", "b"}), names);
    EXPECT_EQ("3", p.ReadString("S", "b", ""));
}

TEST_F(ProfileGroup, ANamelessFirstEntryIsListedAndHidesNothingAfterIt)
{
    TProfile p = Write("[Keys]\r\n=\\Software\\Maker\\Product\r\n; note=x\r\nloose line\r\n"
                       "Registration = Owner\r\n=second\r\n[Next]\r\nq=1\r\n");
    TStrings names;
    p.ReadSection("Keys", names);
    EXPECT_EQ((TStrings{"", "Registration", ""}), names);
    EXPECT_EQ("\\Software\\Maker\\Product", p.ReadString("Keys", "", "<def>"));
    EXPECT_EQ("Owner", p.ReadString("Keys", "Registration", "<def>"));
    // An empty section and a missing one still list nothing.
    Write("[Keys]\r\n; only a comment\r\n[Next]\r\nq=1\r\n");
    p.ReadSection("Keys", names);
    EXPECT_TRUE(names.empty());
    p.ReadSection("Absent", names);
    EXPECT_TRUE(names.empty());
}

TEST_F(ProfileGroup, AFileHeldOpenWithoutSharingReadsAsEmptyAndSaysSo)
{
    TProfile p = Write("[S]\r\na=1\r\n");
    EXPECT_EQ(0u, TestEnv().Profiles().ReadError(path_));
    TestEnv().Lock(path_);
    EXPECT_EQ(32u, TestEnv().Profiles().ReadError(path_));  // ERROR_SHARING_VIOLATION
    EXPECT_EQ("<def>", p.ReadString("S", "a", "<def>"));
    TStrings names{"stale"};
    p.ReadSection("S", names);
    EXPECT_TRUE(names.empty());
    TestEnv().Unlock(path_);
    EXPECT_EQ(0u, TestEnv().Profiles().ReadError(path_));
    EXPECT_EQ(0u, TestEnv().Profiles().ReadError(TestEnv().ScratchFile("absent.ini")));
}

TEST_F(ProfileGroup, NamesPastTheListingBufferAreDropped)
{
    // 1000 names of 10 characters need 11,001 bytes; 8,192 hold 744 whole
    // names and the first 6 characters of one more.
    std::string text = "[Big]\r\n";
    for (int i = 0; i < 1000; ++i) {
        char name[16];
        snprintf(name, sizeof name, "entry%05d", i);
        text += std::string(name) + "=x\r\n";
    }
    TProfile p = Write(text);
    TStrings names;
    p.ReadSection("Big", names);
    ASSERT_EQ(745u, names.size());
    EXPECT_EQ("entry00743", names[743]);
    EXPECT_EQ("entry0", names[744]);
}

TEST_F(ProfileGroup, IntegersAndTruthValues)
{
    TProfile p = Write(
        "[S]\r\none=1\r\nminus=-1\r\nhex=0x10\r\nupper=0X1f\r\ndollar=$1F\r\nzero=0\r\nzerohex=0x0\r\n"
        "word=yes\r\nempty=\r\nblank= 12\r\ntrail=12abc\r\nbig=99999999999\r\nsign=+7\r\n");
    struct Case {
        const char* key;
        std::int32_t asInteger;  // default -99
        bool asTruth;            // default false
    } cases[] = {
        {"one", 1, true},        {"minus", -1, true},     {"hex", 16, true},
        {"upper", 31, true},       {"dollar", 31, true},    {"zero", 0, false},
        {"zerohex", 0, false},   {"word", -99, false},    {"empty", -99, false},
        {"blank", 12, true},     {"trail", -99, false},   {"big", -99, false},
        {"sign", 7, true},       {"missing", -99, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.asInteger, p.ReadInteger("S", c.key, -99)) << c.key;
        EXPECT_EQ(c.asTruth, p.ReadBool("S", c.key, false)) << c.key;
    }
    EXPECT_TRUE(p.ReadBool("S", "missing", true));
    EXPECT_TRUE(p.ReadBool("S", "word", true));
}

TEST_F(ProfileGroup, WritingKeepsEveryOtherLine)
{
    TProfile p = Write(
        "; record template\r\n[Uninstall]\r\nDisplayName = old\r\nNote line\r\n\r\n"
        "[Files]\r\na=1\r\n");
    p.WriteString("Uninstall", "DisplayName", "Tool 1.0");
    p.WriteString("Uninstall", "UninstallString", "C:\\WINDOWS\\Skorvel.exe C:\\Tool");
    p.WriteString("Install", "Path", "C:\\Tool");
    EXPECT_EQ(
        "; record template\r\n[Uninstall]\r\nDisplayName=Tool 1.0\r\nNote line\r\n"
        "UninstallString=C:\\WINDOWS\\Skorvel.exe C:\\Tool\r\n[Files]\r\na=1\r\n"
        "[Install]\r\nPath=C:\\Tool\r\n",
        TestEnv().GetFile(path_));
    EXPECT_EQ("Tool 1.0", p.ReadString("Uninstall", "DisplayName", ""));
}

TEST_F(ProfileGroup, WritingCreatesTheFile)
{
    TestEnv().RemoveFile(path_);
    TProfile p(TestEnv().Profiles(), path_);
    p.WriteString("Install", "Date", "12/6/97 3:15:00 PM");
    EXPECT_EQ("12/6/97 3:15:00 PM", p.ReadString("Install", "Date", ""));
}

TEST_F(ProfileGroup, WritingIntoAMissingDirectoryRaisesUnableToWrite)
{
    std::string path = TestEnv().MissingDirFile();
    TProfile p(TestEnv().Profiles(), path);
    try {
        p.WriteString("Install", "Path", "x");
        FAIL() << "no error raised";
    } catch (const EError& e) {
        EXPECT_EQ("Unable to write to " + path, e.Message());
    }
}

}  // namespace
