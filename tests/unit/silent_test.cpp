// The unattended installation: its command line, and what a run with /S
// does, logs and ends with.
#include "engine/CommandLine.h"
#include "Fixtures.h"
#include "ui/Program.h"
#include "ui/SilentRun.h"

namespace {

struct ArgsCase {
    const char* Name;
    std::vector<std::string> Args;
    bool Silent, AddOns;
    const char* Dest;  // nullptr: not given
    const char* Name_;
    const char* Log;
    const char* Error;  // "" when the arguments can be followed
};

TEST(CommandLineTest, SwitchesValuesAndMistakes)
{
    const std::string longName(256, 'n');
    const ArgsCase cases[] = {
        {"none", {}, false, false, nullptr, nullptr, "", ""},
        {"any case", {"/s", "/addOns", "/d=C:\\App"}, true, true, "C:\\App", nullptr, "", ""},
        // The system took the quotes off; the value runs to the argument's end.
        {"blanks and equals", {"/S", "/D=C:\\My Apps", "/NAME=A = B"}, true, false, "C:\\My Apps",
         "A = B", "", ""},
        {"empty values", {"/S", "/D=", "/NAME="}, true, false, "", "", "", ""},
        {"log", {"/S", "/LOG=C:\\x.log"}, true, false, nullptr, nullptr, "C:\\x.log", ""},
        {"unknown switch", {"/S", "/QUIET"}, true, false, nullptr, nullptr, "",
         "unknown switch \"/QUIET\""},
        {"not a switch", {"/S", "C:\\App"}, true, false, nullptr, nullptr, "",
         "unknown argument \"C:\\App\""},
        {"flag with a value", {"/S=1"}, false, false, nullptr, nullptr, "",
         "/S takes no value: \"/S=1\""},
        {"value missing", {"/S", "/D"}, true, false, nullptr, nullptr, "", "/D needs a value: /D=..."},
        {"given twice", {"/S", "/D=C:\\A", "/D=C:\\B"}, true, false, "C:\\A", nullptr, "",
         "/D= is given twice"},
        {"empty log", {"/S", "/LOG="}, true, false, nullptr, nullptr, "", "/LOG= names no file"},
        {"name too long", {"/S", "/NAME=" + longName}, true, false, nullptr, longName.c_str(), "",
         "/NAME= is longer than 255 characters"},
        // The first mistake is told; a later /S still counts.
        {"first mistake", {"/X", "/Y", "/S"}, true, false, nullptr, nullptr, "",
         "unknown switch \"/X\""},
    };
    for (const ArgsCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TCommandLine line = ParseCommandLine(c.Args);
        EXPECT_EQ(c.Silent, line.Silent);
        EXPECT_EQ(c.AddOns, line.AddOns);
        EXPECT_EQ(c.Dest != nullptr, line.HasDest);
        if (c.Dest != nullptr) EXPECT_EQ(c.Dest, line.Dest);
        EXPECT_EQ(c.Name_ != nullptr, line.HasName);
        if (c.Name_ != nullptr) EXPECT_EQ(c.Name_, line.Name);
        EXPECT_EQ(c.Log, line.LogPath);
        EXPECT_EQ(c.Error, line.Error);
    }
    EXPECT_TRUE(ParseCommandLine({"/?"}).Help);
}

const char* const Log = "C:\\TEMP\\Pellwick.log";
const char* const Product =
    "[Settings]\r\nApplication=Tool\r\nVersion=2.0\r\nDirectory=C:\\Tool\r\nProgGroup=Tools\r\n"
    "[FilesIn]\r\na.txt=\r\n[FilesOut]\r\na.txt=0\r\n[Items]\r\na.txt=Tool A\r\n"
    "[Keys]\r\nBase=\\Software\\Maker\\Tool\r\nReg=Main\r\n[Reg]\r\nName=$NAME\r\n";

class SilentTest : public ProgramTest {
protected:
    SilentTest()
    {
        Fake.Disk.MakeDirs("C:\\TEMP");
        Fake.Disk.MakeDirs(Fake.StartMenu.CommonPrograms);
        Fake.Disk.Put("C:\\SETUP\\a.txt", "A");
        Fake.Disk.Put("C:\\SETUP\\Pellwick.up_", "; record\r\n");
    }
    int Run(std::vector<std::string> args)
    {
        Fake.Desktop.Args = args;
        return RunProgram();
    }
    bool Logged(const std::string& line) const
    {
        return Fake.Disk.Get(Log).find(line + "\r\n") != std::string::npos;
    }
};

struct OutcomeCase {
    const char* Name;
    bool Described;       // the control file is there
    const char* Extra;    // sections after the product's
    std::vector<std::string> Args;
    bool SourceThere;     // a.txt is in the installer folder
    int Exit;
    const char* Logged;   // a text of the log
    bool FileMade, EntryMade;
    bool Busy = false;    // another installation or removal holds the machine
};

TEST_F(SilentTest, EachOutcomeEndsWithItsExitCodeAndNeverABox)
{
    const OutcomeCase cases[] = {
        {"installed", true, "", {"/S"}, true, 0, "file copied C:\\SETUP\\a.txt -> C:\\Tool\\a.txt",
         true, true},
        {"a file missing", true, "", {"/S"}, false, 1,
         "not installed: C:\\SETUP\\a.txt -> C:\\Tool\\a.txt: the file was not found", false, true},
        {"no control file", false, "", {"/S"}, true, 2, "No IPI, exiting instalation.", false, false},
        {"bad argument", true, "", {"/S", "/QUIET"}, true, 2, "unknown switch \"/QUIET\"", false,
         false},
        {"usage", true, "", {"/S", "/?"}, true, 2, UsageText, false, false},
        {"refused destination", true, "", {"/S", "/D=C:\\a|b"}, true, 2, "C:\\a|b", false, false},
        {"add-on code not a number", true, "[AddOns]\r\nA=a.txt\r\n", {"/S"}, true, 3,
         "stopped: 'A' is not a valid integer value.", true, true},
        {"another run changes the machine", true, "", {"/S"}, true, 1618,
         "Another installation or removal is changing this computer", false, false, true},
    };
    for (const OutcomeCase& c : cases) {
        SCOPED_TRACE(c.Name);
        ResetSharedState();
        Fake.Disk.Remove(Log);
        Fake.Disk.Remove("C:\\Tool\\a.txt");
        Fake.Registry.DeleteKey(RegRoot::LocalMachine, "SOFTWARE");
        Fake.Disk.Remove("C:\\SETUP\\Pellwick.ipi");
        if (c.Described) WriteDescription(std::string(Product) + c.Extra);
        Fake.Disk.Remove("C:\\SETUP\\a.txt");
        if (c.SourceThere) Fake.Disk.Put("C:\\SETUP\\a.txt", "A");
        Fake.MachineLock.HeldElsewhere = c.Busy;

        EXPECT_EQ(c.Exit, Run(c.Args));
        EXPECT_TRUE(Boxes().empty());
        std::string log = Fake.Disk.Get(Log);
        EXPECT_NE(std::string::npos, log.find(c.Logged)) << log;
        // The exit code is the last line.
        std::string last = "exit code " + std::to_string(c.Exit) + " (";
        EXPECT_EQ(log.rfind("\r\n", log.size() - 3) + 2, log.rfind(last)) << log;
        EXPECT_EQ(c.FileMade, Fake.Disk.FileExists("C:\\Tool\\a.txt"));
        EXPECT_EQ(c.EntryMade, Fake.Registry.KeyExists(
                                   RegRoot::LocalMachine,
                                   "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool"));
    }
}

TEST_F(SilentTest, RunHasNoPausesAndLogsEachStepInOrder)
{
    WriteDescription(Product);
    Fake.Registry.SetString(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                            "RegisteredOwner", "Owen");
    EXPECT_EQ(0, Run({"/S", "/D=C:\\Other  ", "/ORG=Acme"}));
    EXPECT_TRUE(Fake.Clock.Sleeps.empty());
    EXPECT_TRUE(Fake.ProgramManager.Sent.empty()) << "the program manager was asked";
    const std::string Group = Fake.StartMenu.CommonPrograms + "\\Tools";
    // Blanks at the end dropped, as the destination page drops them; the
    // owner's name where none was given.
    std::vector<std::string> order = {
        "destination C:\\Other, name \"Owen\", organisation \"Acme\"",
        "directory made C:\\Other",
        "file copied C:\\SETUP\\a.txt -> C:\\Other\\a.txt",
        "record template copied C:\\SETUP\\Pellwick.up_ -> C:\\Other\\Pellwick.upi",
        // Shortcut files in every user's Programs folder, the uninstall item last.
        "program group " + Group,
        "program item made " + Group + "\\Tool A.lnk -> C:\\Other\\a.txt",
        "program item made " + Group + "\\Uninstall Tool.lnk -> C:\\WINDOWS\\Skorvel.exe C:\\Other",
        "registry HKEY_CURRENT_USER\\Software\\Maker\\Tool\\Main  Name = \"Owen\"",
        "record C:\\Other\\pellwick.upi  [Main] Name = \"Owen\"",
        "registry HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool"
        "  DisplayName = \"Tool 2.0\"",
        "exit code 0 (installed)",
    };
    std::string log = Fake.Disk.Get(Log);
    std::string::size_type at = 0;
    for (const std::string& line : order) {
        std::string::size_type found = log.find(line + "\r\n", at);
        EXPECT_NE(std::string::npos, found) << line << "\n" << log;
        if (found != std::string::npos) at = found;
    }
}

TEST_F(SilentTest, AddOnsAreOpenedOnlyWithTheirSwitch)
{
    WriteDescription(std::string(Product) + "[AddOns]\r\n0=a.txt\r\n");
    EXPECT_EQ(0, Run({"/S", "/LOG=C:\\TEMP\\one.log"}));
    EXPECT_TRUE(Fake.Shell.Opened.empty());
    EXPECT_NE(std::string::npos, Fake.Disk.Get("C:\\TEMP\\one.log")
                                     .find("add-on skipped C:\\SETUP\\a.txt (add-ons are opened "
                                           "only with /ADDONS)"));
    ResetSharedState();
    EXPECT_EQ(0, Run({"/S", "/LOG=C:\\TEMP\\one.log", "/ADDONS"}));
    EXPECT_EQ((std::vector<std::string>{"C:\\SETUP\\a.txt"}), Fake.Shell.Opened);
    // Both runs stay in the file.
    std::string log = Fake.Disk.Get("C:\\TEMP\\one.log");
    EXPECT_NE(log.find("exit code 0"), log.rfind("exit code 0"));
}

TEST_F(SilentTest, StandardUserEndsWithNothingDone)
{
    WriteDescription(Product);
    Fake.Registry.DenyWrite(RegRoot::LocalMachine, "SOFTWARE");
    EXPECT_EQ(2, Run({"/S"}));
    EXPECT_TRUE(Logged("Installing Tool 2.0 needs an administrator's rights on this computer. "
                       "Please have it installed by an administrator, or log on as one and start "
                       "the installation again."));
    EXPECT_FALSE(Fake.Disk.DirExists("C:\\Tool"));
    EXPECT_FALSE(Fake.Registry.KeyExists(RegRoot::CurrentUser, "Software\\Maker"));
}

// The wizard shows an error box for an owner that is no text; the silent
// run ends as an error stops it, and is not ended by it.
TEST_F(SilentTest, ErrorBeforeTheRunEndsAsStoppedWithItsText)
{
    WriteDescription(Product);
    Fake.Registry.SetDWord(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                           "RegisteredOwner", 7);
    EXPECT_EQ(3, Run({"/S"}));
    EXPECT_TRUE(Logged("stopped: Invalid data type for 'RegisteredOwner'."));
    EXPECT_TRUE(Logged("exit code 3 (stopped by an error)"));
    EXPECT_FALSE(Fake.Disk.DirExists("C:\\Tool"));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SilentTest, LogThatCannotBeWrittenEndsWithNothingDone)
{
    WriteDescription(Product);
    EXPECT_EQ(2, Run({"/S", "/LOG=C:\\NoSuchFolder\\x.log"}));
    EXPECT_FALSE(Fake.Disk.DirExists("C:\\Tool"));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SilentTest, WithoutSilentTheUsageIsABoxAndOtherSwitchesAreLeftAlone)
{
    WriteDescription(Product);
    EXPECT_EQ(0, Run({"/?"}));
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ(UsageText, Boxes()[0].Text);
    EXPECT_FALSE(Fake.Disk.FileExists(Log));
}

}  // namespace
