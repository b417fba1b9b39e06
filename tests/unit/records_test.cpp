// The run's records step: the product keys, the uninstall entry, the shared-use
// counters and the uninstall record pellwick.upi, against the fake registry,
// profile files and clock.
#include <string>
#include <vector>

#include "engine/Description.h"
#include "engine/Records.h"
#include "Fixtures.h"
#include "ui/MainDlg.h"
#include "core/Error.h"

namespace {

const char* const Absent = "<absent>";
const char* const ProductPath = "Software\\Maker\\Product";
const char* const CountersPath = "Software\\Brenvolt\\Skorvel\\Counters";
const char* const UninstallPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool";
const char* const DefaultSettings = "[Settings]\r\nApplication=Tool\r\nVersion=2.0\r\n";
// [Keys] with the base \Software\Maker\Product and one product entry Reg -> Main.
const char* const MainEntry =
    "[Keys]\r\nBase=\\Software\\Maker\\Product\r\nReg=Main\r\n"
    "[Reg]\r\nName=$NAME\r\nOrganization=$org\r\nEdition=Pro\r\n";
// The fake clock's time (6 December 1997, 15:15:00) in the fake's US locale.
const char* const ClockText = "12/6/1997 3:15:00 PM";

// A clock that moves on by one second each time it is read.
class TSteppingClock : public TFakeClock {
public:
    TDateTime Now() override
    {
        TDateTime t = Time;
        t.Second += Readings++;
        return t;
    }
    int Readings = 0;
};

class RecordsTest : public ProgramTest {
protected:
    RecordsTest()
    {
        Shared.DestDir = "C:\\Tool";
        Fake.Disk.MakeDirs(Shared.DestDir);
        Shared.UserName = "Ann Smith";
        Shared.UserOrganization = "Acme Ltd";
        Dialog.ProgressBar.SetPosition(50);
    }

    void Describe(const std::string& body) { DescribeWith(DefaultSettings, body); }
    void DescribeWith(const std::string& settings, const std::string& body)
    {
        WriteDescription(settings + body);
        ASSERT_TRUE(LoadInstallDescription());
    }

    // Runs the records step; the error's message, or "" when it ran through.
    // Whichever way it ends, no key it opened may stay open.
    std::string Run()
    {
        std::string message;
        try {
            // The run's records step, the wizard as its view.
            TInstallRun(Shared, Dialog).UpdateRegistry();
        } catch (const EError& e) {
            message = e.Message();
        }
        EXPECT_EQ(0u, Fake.Registry.OpenHandles()) << "a registry key was left open";
        return message;
    }

    std::string Reg(RegRoot root, const std::string& path, const std::string& name) const
    {
        std::string text;
        return Fake.Registry.GetString(root, path, name, text) ? text : Absent;
    }
    std::string User(const std::string& path, const std::string& name) const
    {
        return Reg(RegRoot::CurrentUser, path, name);
    }
    std::string Machine(const std::string& name) const
    {
        return Reg(RegRoot::LocalMachine, UninstallPath, name);
    }
    std::string Counter(const std::string& name) const { return User(CountersPath, name); }

    std::string RecordPath() const { return Shared.DestDir + "\\pellwick.upi"; }
    std::string Record(const std::string& section, const std::string& key)
    {
        return Fake.Profiles.ReadValue(RecordPath(), section, key, Absent, 1024);
    }
    TStrings RecordKeys(const std::string& section)
    {
        return SplitNameBuffer(Fake.Profiles.KeyNameBuffer(RecordPath(), section, 8192));
    }
    int Progress() const { return Dialog.ProgressBar.Position(); }

    TMainDialog Dialog;
};

TEST_F(RecordsTest, OnlyBaseEntryCreatesBareKeysAndNoInstallValues)
{
    Describe("[Keys]\r\nBase=\\Software\\Maker\\Product\r\n[SysFilesOut]\r\nshared.dll=0\r\n");
    EXPECT_EQ("", Run());

    EXPECT_TRUE(Fake.Registry.KeyExists(RegRoot::CurrentUser, ProductPath));
    EXPECT_EQ(0u, Fake.Registry.ValueCount(RegRoot::CurrentUser, ProductPath));
    EXPECT_TRUE(Fake.Registry.KeyExists(RegRoot::CurrentUser, "Software\\Brenvolt\\Skorvel"));
    EXPECT_EQ(0u, Fake.Registry.ValueCount(RegRoot::CurrentUser, "Software\\Brenvolt\\Skorvel"));
    EXPECT_FALSE(Fake.Registry.KeyExists(RegRoot::CurrentUser, "Software\\Maker\\Product\\Install"));
    EXPECT_TRUE(RecordKeys("Install").empty());

    EXPECT_EQ("Tool 2.0", Machine("DisplayName"));
    EXPECT_EQ("C:\\WINDOWS\\Skorvel.exe C:\\Tool", Machine("UninstallString"));
    EXPECT_EQ("Tool 2.0", Record("Uninstall", "DisplayName"));
    EXPECT_EQ("C:\\WINDOWS\\Skorvel.exe C:\\Tool", Record("Uninstall", "UninstallString"));
    EXPECT_EQ("1", Counter("shared.dll"));
    EXPECT_EQ(Absent, Record("Uninstall", "shared.dll"));  // the record holds no counters
}

TEST_F(RecordsTest, ProgressAdvancesByOneNotByProgressStep)
{
    Describe("[Keys]\r\nBase=\\Software\\Maker\\Product\r\n");
    ASSERT_NE(1, Shared.ProgressStep);
    EXPECT_EQ("", Run());
    EXPECT_EQ(51, Progress());
}

TEST_F(RecordsTest, TokensGoToRegistryAndRecordOtherValuesToRegistryOnly)
{
    Describe(MainEntry);
    EXPECT_EQ("", Run());

    const std::string main = "Software\\Maker\\Product\\Main";
    EXPECT_EQ("Ann Smith", User(main, "Name"));
    EXPECT_EQ("Acme Ltd", User(main, "Organization"));
    EXPECT_EQ("Pro", User(main, "Edition"));
    EXPECT_EQ(3u, Fake.Registry.ValueCount(RegRoot::CurrentUser, main));
    EXPECT_EQ((TStrings{"Name", "Organization"}), RecordKeys("Main"));
    EXPECT_EQ("Ann Smith", Record("Main", "Name"));
    EXPECT_EQ("Acme Ltd", Record("Main", "Organization"));

    const std::string install = "Software\\Maker\\Product\\Install";
    EXPECT_EQ("C:\\Tool", User(install, "Path"));
    EXPECT_EQ(ClockText, User(install, "Date"));
    EXPECT_EQ(2u, Fake.Registry.ValueCount(RegRoot::CurrentUser, install));
    EXPECT_EQ((TStrings{"Path", "Date"}), RecordKeys("Install"));
    EXPECT_EQ("C:\\Tool", Record("Install", "Path"));
    EXPECT_EQ(ClockText, Record("Install", "Date"));
    // Values land only below the subkeys, never in the base key itself.
    EXPECT_EQ(0u, Fake.Registry.ValueCount(RegRoot::CurrentUser, ProductPath));
}

struct SubstitutionCase {
    const char* name;
    const char* value;
    const char* written;  // "" = the user's entry by the key name
    bool inRecord;
};

TEST_F(RecordsTest, SubstitutionNeedsMatchingNameAndWholeTokenInAnyCase)
{
    const SubstitutionCase cases[] = {
        {"Name", "$NAME", nullptr, true},
        {"name", "$name", nullptr, true},
        {"NAME", "$Name", nullptr, true},
        {"Organization", "$ORG", nullptr, true},
        {"ORGANIZATION", "$org", nullptr, true},
        {"Organization", "$NAME", "$NAME", false},  // tokens are not interchangeable
        {"Name", "$ORG", "$ORG", false},
        {"Label", "$NAME", "$NAME", false},
        {"Organisation", "$ORG", "$ORG", false},
        {"Name", "Smith", "Smith", false},
        {"Name", "$NAME Jr", "$NAME Jr", false},  // no substitution inside longer texts
        {"Name", "Dear $NAME", "Dear $NAME", false},
        {"Name", "$NAMES", "$NAMES", false},
        {"Names", "$NAME", "$NAME", false},
    };
    const std::size_t count = sizeof cases / sizeof cases[0];
    std::string keys = "[Keys]\r\nBase=\\Software\\Maker\\Product\r\n";
    std::string sections;
    for (std::size_t i = 0; i < count; ++i) {
        std::string n = std::to_string(i);
        keys += "S" + n + "=K" + n + "\r\n";
        sections += "[S" + n + "]\r\n" + cases[i].name + "=" + cases[i].value + "\r\n";
    }
    Describe(keys + sections);
    EXPECT_EQ("", Run());

    for (std::size_t i = 0; i < count; ++i) {
        const SubstitutionCase& c = cases[i];
        std::string subkey = "K" + std::to_string(i);
        std::string user = (c.name[0] == 'O' || c.name[0] == 'o') ? Shared.UserOrganization : Shared.UserName;
        std::string expected = c.written != nullptr ? c.written : user;
        SCOPED_TRACE(std::string(c.name) + "=" + c.value);
        EXPECT_EQ(expected, User(std::string(ProductPath) + "\\" + subkey, c.name));
        if (c.inRecord) {
            // The key is written as spelled in the description.
            EXPECT_EQ((TStrings{c.name}), RecordKeys(subkey));
            EXPECT_EQ(expected, Record(subkey, c.name));
        } else {
            EXPECT_TRUE(RecordKeys(subkey).empty());
        }
    }
}

TEST_F(RecordsTest, BaseWithoutLeadingBackslashNestsSubkeysBelowARepeatedBase)
{
    Describe("[Keys]\r\nBase=Software\\Maker\\Product\r\nReg=Main\r\n[Reg]\r\nEdition=Pro\r\n");
    EXPECT_EQ("", Run());

    const std::string nested = "Software\\Maker\\Product\\Software\\Maker\\Product";
    EXPECT_TRUE(Fake.Registry.KeyExists(RegRoot::CurrentUser, ProductPath));
    EXPECT_EQ("Pro", User(nested + "\\Main", "Edition"));
    EXPECT_EQ("C:\\Tool", User(nested + "\\Install", "Path"));
    EXPECT_EQ(ClockText, User(nested + "\\Install", "Date"));
    EXPECT_FALSE(Fake.Registry.KeyExists(RegRoot::CurrentUser, "Software\\Maker\\Product\\Main"));
    EXPECT_FALSE(
        Fake.Registry.KeyExists(RegRoot::CurrentUser, "Software\\Maker\\Product\\Install"));
    // The uninstall entry is still taken from the machine root, not below the base.
    EXPECT_EQ("Tool 2.0", Machine("DisplayName"));
}

TEST_F(RecordsTest, EmptyBaseValuePutsSubkeysDirectlyBelowCurrentUser)
{
    Describe("[Keys]\r\nBase=\r\nReg=Main\r\n[Reg]\r\nEdition=Pro\r\n");
    EXPECT_EQ("", Run());
    EXPECT_EQ("Pro", User("Main", "Edition"));
    EXPECT_EQ("C:\\Tool", User("Install", "Path"));
    EXPECT_EQ(ClockText, User("Install", "Date"));
    EXPECT_EQ(0u, Fake.Registry.ValueCount(RegRoot::CurrentUser, ""));
    EXPECT_EQ("Tool 2.0", Machine("DisplayName"));
}

TEST_F(RecordsTest, MissingOrEmptySectionStillWritesPathAndDate)
{
    const char* const bodies[] = {
        "[Keys]\r\nBase=\\Software\\Maker\\Product\r\nGhost=Main\r\n",
        "[Keys]\r\nBase=\\Software\\Maker\\Product\r\nBare=Main\r\n[Bare]\r\n",
    };
    for (const char* body : bodies) {
        SCOPED_TRACE(body);
        Fake.Disk.Remove(RecordPath());
        Fake.Registry.DeleteKey(RegRoot::CurrentUser, "Software");
        Describe(body);
        EXPECT_EQ("", Run());
        EXPECT_EQ(0u, Fake.Registry.ValueCount(RegRoot::CurrentUser, "Software\\Maker\\Product\\Main"));
        EXPECT_TRUE(RecordKeys("Main").empty());
        EXPECT_EQ("C:\\Tool", User("Software\\Maker\\Product\\Install", "Path"));
        EXPECT_EQ(ClockText, User("Software\\Maker\\Product\\Install", "Date"));
        EXPECT_EQ("C:\\Tool", Record("Install", "Path"));
        EXPECT_EQ(ClockText, Record("Install", "Date"));
    }
}

TEST_F(RecordsTest, EmptyUserNameWritesEmptyValueToRegistryAndRecord)
{
    Shared.UserName = "";
    Describe(MainEntry);
    EXPECT_EQ("", Run());
    EXPECT_EQ("", User("Software\\Maker\\Product\\Main", "Name"));
    EXPECT_EQ((TStrings{"Name", "Organization"}), RecordKeys("Main"));
    EXPECT_EQ("", Record("Main", "Name"));
}

TEST_F(RecordsTest, SectionValueLongerThan255IsCutTo255)
{
    std::string value = std::string(255, 'x') + std::string(45, 'y');
    Describe("[Keys]\r\nBase=\\Software\\Maker\\Product\r\nReg=Main\r\n[Reg]\r\nEdition=" + value +
             "\r\n");
    EXPECT_EQ("", Run());
    EXPECT_EQ(std::string(255, 'x'), User("Software\\Maker\\Product\\Main", "Edition"));
}

TEST_F(RecordsTest, UninstallKeyPathAndDisplayNameAreCutTo255)
{
    // The 52-character prefix leaves room for the first 203 characters of
    // Application; DisplayName keeps Application alone, without the blank.
    std::string application = std::string(200, 'a') + std::string(55, 'b');
    DescribeWith("[Settings]\r\nApplication=" + application + "\r\nVersion=2.0\r\n",
                 "[Keys]\r\nBase=\\Software\\Maker\\Product\r\n");
    EXPECT_EQ("", Run());
    std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" +
                      std::string(200, 'a') + "bbb";
    EXPECT_EQ(application, Reg(RegRoot::LocalMachine, key, "DisplayName"));
    EXPECT_EQ(application, Record("Uninstall", "DisplayName"));
}

TEST_F(RecordsTest, BaseKeyPathIsCutTo255BeforeTheSubkeyIsJoined)
{
    // A base of exactly 255 characters once cut: "\" after it no longer fits,
    // so the subkey name is glued to its last part and "\Install" is lost.
    std::string last(239, 'P');
    std::string base255 = "\\Software\\Maker\\" + last;
    ASSERT_EQ(255u, base255.size());
    Describe("[Keys]\r\nBase=" + base255 + "\\Extra\\Deeper\\Still\r\nReg=Main\r\n"
             "[Reg]\r\nEdition=Pro\r\n");
    EXPECT_EQ("", Run());
    std::string baseKey = "Software\\Maker\\" + last;
    EXPECT_FALSE(Fake.Registry.KeyExists(RegRoot::CurrentUser, baseKey + "\\Extra"));
    EXPECT_EQ("Pro", User(baseKey + "Main", "Edition"));
    EXPECT_EQ("C:\\Tool", User(baseKey, "Path"));
    EXPECT_EQ(ClockText, User(baseKey, "Date"));
}

struct CounterCase {
    const char* name;
    const char* stored;  // nullptr: no counter yet
    const char* expected;
};

TEST_F(RecordsTest, CountersCountUpFromTheirStoredText)
{
    const CounterCase cases[] = {
        {"new.dll", nullptr, "1"},
        {"empty.dll", "", "1"},
        {"seven.dll", "7", "8"},
        {"zero.dll", "0", "1"},
        {"hex.dll", "0x1F", "32"},
        {"hexupper.dll", "0X1f", "32"},
        {"hexshort.dll", "0x1", "2"},
        {"word.dll", "abc", "1"},
        {"prefix.dll", "0x", "1"},  // too short to be hexadecimal
        {"tail.dll", "7a", "1"},
    };
    std::string sysFiles = "[SysFilesOut]\r\n";
    for (const CounterCase& c : cases) {
        sysFiles += std::string(c.name) + "=0\r\n";
        if (c.stored != nullptr)
            Fake.Registry.SetString(RegRoot::CurrentUser, CountersPath, c.name, c.stored);
    }
    Describe("[Keys]\r\nBase=\\Software\\Maker\\Product\r\n" + sysFiles);
    EXPECT_EQ("", Run());
    for (const CounterCase& c : cases) EXPECT_EQ(c.expected, Counter(c.name)) << c.name;
    EXPECT_EQ(51, Progress());
}

TEST_F(RecordsTest, RepeatedSysFilesOutNameIsCountedEachTime)
{
    Fake.Registry.SetString(RegRoot::CurrentUser, CountersPath, "twice.dll", "3");
    Describe("[Keys]\r\nBase=\\Software\\Maker\\Product\r\n"
             "[SysFilesOut]\r\ntwice.dll=0\r\nonce.dll=0\r\ntwice.dll=1\r\n");
    ASSERT_EQ(3u, Shared.InstallDescription.SysFilesOutNames.size());
    EXPECT_EQ("", Run());
    EXPECT_EQ("5", Counter("twice.dll"));
    EXPECT_EQ("1", Counter("once.dll"));
}

TEST_F(RecordsTest, UnreadableCounterStopsLaterCountersAndProgress)
{
    struct Case {
        bool dword;
        const char* message;
    };
    const Case cases[] = {
        {true, "Invalid data type for 'bad.dll'"},
        {false, "Failed to get data for 'bad.dll'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Fake.Registry.DeleteKey(RegRoot::CurrentUser, "Software");
        Fake.Registry.DeleteKey(RegRoot::LocalMachine, "SOFTWARE");
        Fake.Disk.Remove(RecordPath());
        Dialog.ProgressBar.SetPosition(50);
        if (c.dword) {
            Fake.Registry.SetDWord(RegRoot::CurrentUser, CountersPath, "bad.dll", 4);
            Fake.Registry.FailDataRead("");
        } else {
            Fake.Registry.SetString(RegRoot::CurrentUser, CountersPath, "bad.dll", "4");
            Fake.Registry.FailDataRead("bad.dll");
        }
        Describe("[Keys]\r\nBase=\\Software\\Maker\\Product\r\n"
                 "[SysFilesOut]\r\nfirst.dll=0\r\nbad.dll=0\r\nlast.dll=0\r\n");
        EXPECT_EQ(c.message, Run());
        EXPECT_EQ("1", Counter("first.dll"));
        EXPECT_EQ(Absent, Counter("last.dll"));
        EXPECT_EQ(50, Progress());
        // Written before the counters, so they stay.
        EXPECT_EQ("Tool 2.0", Machine("DisplayName"));
        EXPECT_EQ("C:\\WINDOWS\\Skorvel.exe C:\\Tool", Record("Uninstall", "UninstallString"));
    }
}

TEST_F(RecordsTest, UninstallStringJoinsWindowsDirAndDestDirWithoutQuotes)
{
    Fake.Files.WindowsDir = "D:\\WIN95";
    Shared.DestDir = "C:\\Program Files\\Tool";
    Fake.Disk.MakeDirs(Shared.DestDir);
    Describe(MainEntry);
    EXPECT_EQ("", Run());
    const char* const expected = "D:\\WIN95\\Skorvel.exe C:\\Program Files\\Tool";
    EXPECT_EQ(expected, Machine("UninstallString"));
    EXPECT_EQ(expected, Fake.Profiles.ReadValue("C:\\Program Files\\Tool\\pellwick.upi",
                                                "Uninstall", "UninstallString", Absent, 1024));
    EXPECT_EQ("C:\\Program Files\\Tool", User("Software\\Maker\\Product\\Install", "Path"));
}

// The values the Apps list, winget and the management tools read; the
// settings' ones only when set, the numbers as REG_DWORD.
TEST_F(RecordsTest, UninstallEntryCarriesWhatTheToolsReadEachOnlyWhenSet)
{
    struct Case {
        const char* settings;
        const char *version, *publisher, *url, *contact, *icon;
    } cases[] = {
        {"[Settings]\r\nApplication=Tool\r\nVersion=2.0\r\nPublisher=Maker & Co\r\n"
         "WebAddress=www.maker.example\r\nEmailAddress=help@maker.example\r\n"
         "[Items]\r\nreadme.txt=Read Me\r\nbin\\tool.EXE=Tool\r\nother.exe=Other\r\n",
         "2.0", "Maker & Co", "www.maker.example", "help@maker.example", "C:\\Tool\\bin\\tool.EXE"},
        {"[Settings]\r\nApplication=Tool\r\nVersion=\r\n[Items]\r\nreadme.txt=Read Me\r\nexe.dir\\x.dat=X\r\n",
         Absent, Absent, Absent, Absent, Absent},
    };
    for (const Case& c : cases) {
        Fake.Registry.DeleteKey(RegRoot::LocalMachine, UninstallPath);
        DescribeWith(c.settings, "");
        EXPECT_EQ("", Run());
        EXPECT_EQ("C:\\WINDOWS\\Skorvel.exe /S C:\\Tool", Machine("QuietUninstallString"));
        EXPECT_EQ(c.version, Machine("DisplayVersion"));
        EXPECT_EQ(c.publisher, Machine("Publisher"));
        EXPECT_EQ(c.url, Machine("URLInfoAbout"));
        EXPECT_EQ(c.contact, Machine("Contact"));
        EXPECT_EQ(c.icon, Machine("DisplayIcon"));
        EXPECT_EQ("C:\\Tool", Machine("InstallLocation"));
        EXPECT_EQ("19971206", Machine("InstallDate"));
        for (const char* name : {"EstimatedSize", "NoModify", "NoRepair"}) {
            std::uint32_t value = 99;
            EXPECT_TRUE(Fake.Registry.GetDWord(RegRoot::LocalMachine, UninstallPath, name, value)) << name;
            EXPECT_EQ(name[0] == 'N' ? 1u : 0u, value) << name;
        }
        // The record keeps its two entries only.
        EXPECT_EQ((TStrings{"DisplayName", "UninstallString"}), RecordKeys("Uninstall"));
    }
}

TEST(UninstallEntryRules, DayIsEightDigitsAndSizeWholeKilobytesRoundedUp)
{
    EXPECT_EQ("19971206", InstallDateText({1997, 12, 6, 23, 59, 59}));
    EXPECT_EQ("20260101", InstallDateText({2026, 1, 1, 0, 0, 0}));
    EXPECT_EQ("00990309", InstallDateText({99, 3, 9, 0, 0, 0}));
    struct {
        std::uint64_t bytes;
        std::uint32_t kb;
    } sizes[] = {{0, 0}, {1, 1}, {1024, 1}, {1025, 2}, {209715200, 204800},
                 {0xFFFFFFFFull * 1024 + 1, 0xFFFFFFFFu}};
    for (const auto& s : sizes) EXPECT_EQ(s.kb, EstimatedSizeKB(s.bytes)) << s.bytes;
}

TEST_F(RecordsTest, EmptyVersionLeavesDisplayNameWithTrailingBlank)
{
    DescribeWith("[Settings]\r\nApplication=Tool\r\nVersion=\r\n",
                 "[Keys]\r\nBase=\\Software\\Maker\\Product\r\n");
    EXPECT_EQ("", Run());
    EXPECT_EQ("Tool ", Machine("DisplayName"));
}

TEST_F(RecordsTest, EachDateWriteReadsTheClockAndTheLastPassWins)
{
    TSteppingClock clock;
    Sys().Clock = &clock;
    Describe("[Keys]\r\nBase=\\Software\\Maker\\Product\r\nReg=Main\r\nMore=Extra\r\n"
             "[Reg]\r\nEdition=Pro\r\n[More]\r\nLevel=2\r\n");
    EXPECT_EQ("", Run());
    Sys().Clock = &Fake.Clock;

    EXPECT_EQ("Pro", User("Software\\Maker\\Product\\Main", "Edition"));
    EXPECT_EQ("2", User("Software\\Maker\\Product\\Extra", "Level"));
    // Two passes, each reading the clock for the registry and then for the
    // record, and once for the uninstall entry's day.
    EXPECT_EQ(5, clock.Readings);
    EXPECT_EQ("12/6/1997 3:15:02 PM", User("Software\\Maker\\Product\\Install", "Date"));
    EXPECT_EQ("12/6/1997 3:15:03 PM", Record("Install", "Date"));
    EXPECT_EQ("C:\\Tool", Record("Install", "Path"));
}

TEST_F(RecordsTest, RefusedMachineKeyKeepsUserEntriesAndSkipsUninstallAndCounters)
{
    Fake.Registry.DenyWrite(RegRoot::LocalMachine, "SOFTWARE");
    Describe(std::string(MainEntry) + "[SysFilesOut]\r\nshared.dll=0\r\n");
    EXPECT_EQ("Failed to create key SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool",
              Run());

    EXPECT_EQ("Ann Smith", User("Software\\Maker\\Product\\Main", "Name"));
    EXPECT_EQ("Pro", User("Software\\Maker\\Product\\Main", "Edition"));
    EXPECT_EQ("C:\\Tool", User("Software\\Maker\\Product\\Install", "Path"));
    EXPECT_EQ(ClockText, User("Software\\Maker\\Product\\Install", "Date"));
    EXPECT_EQ("Acme Ltd", Record("Main", "Organization"));
    EXPECT_EQ(ClockText, Record("Install", "Date"));

    EXPECT_FALSE(Fake.Registry.KeyExists(RegRoot::LocalMachine, UninstallPath));
    EXPECT_TRUE(RecordKeys("Uninstall").empty());
    EXPECT_EQ(Absent, Counter("shared.dll"));
    EXPECT_EQ(50, Progress());
}

TEST_F(RecordsTest, NoKeysEntryStillWritesUninstallEntryCountersAndRecord)
{
    const char* const bodies[] = {"[Keys]\r\n", ""};
    for (const char* body : bodies) {
        SCOPED_TRACE(*body ? "empty [Keys]" : "no [Keys]");
        Fake.Registry.DeleteKey(RegRoot::CurrentUser, "Software");
        Fake.Registry.DeleteKey(RegRoot::LocalMachine, "SOFTWARE");
        Fake.Disk.Remove(RecordPath());
        Dialog.ProgressBar.SetPosition(50);
        Describe(std::string(body) + "[SysFilesOut]\r\nshared.dll=0\r\n[Reg]\r\nName=$NAME\r\n");
        EXPECT_EQ("", Run());
        EXPECT_EQ("Tool 2.0", Machine("DisplayName"));
        EXPECT_EQ("C:\\WINDOWS\\Skorvel.exe C:\\Tool", Machine("UninstallString"));
        EXPECT_EQ((TStrings{"DisplayName", "UninstallString"}), RecordKeys("Uninstall"));
        EXPECT_EQ("1", Counter("shared.dll"));
        EXPECT_EQ(51, Progress());
        EXPECT_TRUE(RecordKeys("Install").empty());
        EXPECT_FALSE(Fake.Registry.KeyExists(RegRoot::CurrentUser, "Install"));
        EXPECT_EQ(0u, Fake.Registry.ValueCount(RegRoot::CurrentUser, ""));
    }
}

TEST_F(RecordsTest, RecordKeepsTemplateLinesAndReplacesOnlyWrittenKeys)
{
    // The template as copied, spelled as the copy names it.
    Fake.Disk.Put("C:\\Tool\\Pellwick.upi",
                  "[Files]\r\nFile1=C:\\Tool\\tool.exe\r\n"
                  "[Uninstall]\r\nDisplayName=Old 1.0\r\nGroup=Tools\r\n"
                  "[Main]\r\nSerial=123\r\n"
                  "[Install]\r\nPath=C:\\Old\r\n");
    Describe(MainEntry);
    EXPECT_EQ("", Run());
    EXPECT_EQ("C:\\Tool\\tool.exe", Record("Files", "File1"));
    EXPECT_EQ("Tools", Record("Uninstall", "Group"));
    EXPECT_EQ("Tool 2.0", Record("Uninstall", "DisplayName"));
    EXPECT_EQ("C:\\WINDOWS\\Skorvel.exe C:\\Tool", Record("Uninstall", "UninstallString"));
    EXPECT_EQ("123", Record("Main", "Serial"));
    EXPECT_EQ("Ann Smith", Record("Main", "Name"));
    EXPECT_EQ("C:\\Tool", Record("Install", "Path"));
    EXPECT_EQ(ClockText, Record("Install", "Date"));
}

TEST_F(RecordsTest, UnwritableRecordRaisesUnableToWriteWithItsPath)
{
    struct Case {
        const char* destDir;
        bool readOnlyFile;
    };
    const Case cases[] = {
        {"C:\\Tool", true},   // the template copy is read-only
        {"C:\\Gone", false},  // the destination was never made
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.destDir);
        Fake.Registry.DeleteKey(RegRoot::CurrentUser, "Software");
        Dialog.ProgressBar.SetPosition(50);
        Describe(MainEntry);
        Shared.DestDir = c.destDir;
        const std::string content = "[Files]\r\nFile1=C:\\Tool\\tool.exe\r\n";
        if (c.readOnlyFile) Fake.Disk.Put(RecordPath(), content, true);

        EXPECT_EQ("Unable to write to " + RecordPath(), Run());
        // The registry value goes first, then the record refuses the same pair.
        EXPECT_EQ("Ann Smith", User("Software\\Maker\\Product\\Main", "Name"));
        EXPECT_EQ(1u, Fake.Registry.ValueCount(RegRoot::CurrentUser, "Software\\Maker\\Product\\Main"));
        EXPECT_FALSE(
            Fake.Registry.KeyExists(RegRoot::CurrentUser, "Software\\Maker\\Product\\Install"));
        EXPECT_FALSE(Fake.Registry.KeyExists(RegRoot::LocalMachine, UninstallPath));
        EXPECT_EQ(50, Progress());
        if (c.readOnlyFile) EXPECT_EQ(content, Fake.Disk.Get(RecordPath()));
        else EXPECT_FALSE(Fake.Disk.FileExists(RecordPath()));
    }
}

TEST_F(RecordsTest, RefusedRecordStopsRightAfterTheRegistryWriteBeforeIt)
{
    struct Case {
        const char* body;
        const char* writtenPath;  // below HKEY_CURRENT_USER, or the uninstall key
        const char* written;
        const char* notWritten;
    };
    const Case cases[] = {
        {MainEntry, "Software\\Maker\\Product\\Main", "Name", "Organization"},
        {"[Keys]\r\nBase=\\Software\\Maker\\Product\r\nGhost=Main\r\n",
         "Software\\Maker\\Product\\Install", "Path", "Date"},
        {"[Keys]\r\nBase=\\Software\\Maker\\Product\r\n", UninstallPath, "DisplayName",
         "UninstallString"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        Fake.Registry.DeleteKey(RegRoot::CurrentUser, "Software");
        Fake.Registry.DeleteKey(RegRoot::LocalMachine, "SOFTWARE");
        Fake.Disk.Put(RecordPath(), "[Files]\r\n", true);
        Describe(c.body);
        EXPECT_EQ("Unable to write to C:\\Tool\\pellwick.upi", Run());
        RegRoot root = c.writtenPath == std::string(UninstallPath) ? RegRoot::LocalMachine
                                                                   : RegRoot::CurrentUser;
        EXPECT_NE(Absent, Reg(root, c.writtenPath, c.written));
        EXPECT_EQ(Absent, Reg(root, c.writtenPath, c.notWritten));
    }
}

TEST_F(RecordsTest, RefusedBaseKeyIsSilentUntilAProductValueIsWritten)
{
    Fake.Registry.DenyWrite(RegRoot::CurrentUser, "Software\\Maker");
    Describe("[Keys]\r\nBase=\\Software\\Maker\\Product\r\n");
    EXPECT_EQ("", Run());
    EXPECT_FALSE(Fake.Registry.KeyExists(RegRoot::CurrentUser, ProductPath));
    EXPECT_EQ("Tool 2.0", Machine("DisplayName"));
    EXPECT_EQ(51, Progress());

    Fake.Registry.DeleteKey(RegRoot::LocalMachine, "SOFTWARE");
    Describe(MainEntry);
    // The key path as the method passes it, leading backslash included.
    EXPECT_EQ("Failed to create key \\Software\\Maker\\Product\\Main", Run());
    EXPECT_FALSE(Fake.Registry.KeyExists(RegRoot::LocalMachine, UninstallPath));
    EXPECT_EQ(51, Progress());
}

TEST_F(RecordsTest, RefusedUninstallerKeySendsCountersBelowCurrentUserRoot)
{
    Fake.Registry.DenyWrite(RegRoot::CurrentUser, "Software\\Brenvolt");
    Describe("[Keys]\r\nBase=\\Software\\Maker\\Product\r\n[SysFilesOut]\r\nshared.dll=0\r\n");
    EXPECT_EQ("", Run());
    EXPECT_FALSE(Fake.Registry.KeyExists(RegRoot::CurrentUser, "Software\\Brenvolt\\Skorvel"));
    EXPECT_EQ("1", User("Counters", "shared.dll"));
    EXPECT_EQ("Tool 2.0", Machine("DisplayName"));
    EXPECT_EQ(51, Progress());
}

}  // namespace
