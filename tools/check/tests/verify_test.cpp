// --verify: the steps a run leaves on the machine, and each kind of step
// held against a machine made of doubles.
#include <gtest/gtest.h>

#include <functional>

#include "CheckTool.h"
#include "DryRun.h"
#include "PlanSteps.h"
#include "TestFolders.h"
#include "engine/ListSeal.h"
#include "engine/Removal.h"
#include "Verify.h"
#include "core/ShownText.h"
#include "platform/doubles/FakePlatform.h"
#include "platform/doubles/FakeStartMenu.h"

namespace {

const TDateTime Now{1998, 3, 14, 9, 5, 0};
const char* const Dest = "c:\\Quillon";

// ---- the steps the run leaves

// The clean folder's run as the golden plan shows it, from C:\SETUP.
TEST(VerifyPlanSteps, GoldenRunLeavesItsSteps)
{
    TInstallerFolder real = TInstallerFolder::Read(FolderPath("clean"));
    TDryRun run(TInstallerFolder("C:\\SETUP\\", real.Files()), "C:\\WINDOWS", Now);
    ASSERT_TRUE(run.Load());
    ASSERT_TRUE(run.Install({Dest, "Ann Example", "Example Ltd"}));
    TPlan plan = PlanOf(run.Steps());
    EXPECT_EQ((std::vector<std::string>{"c:\\Quillon", "c:\\Quillon\\bin"}), plan.Dirs);
    ASSERT_EQ(5u, plan.Copies.size());
    EXPECT_EQ("C:\\SETUP\\qnshared.dll", plan.Copies[0].Source);
    EXPECT_EQ("C:\\WINDOWS\\qnshared.dll", plan.Copies[0].Dest);
    EXPECT_TRUE(plan.Copies[0].Keep);
    EXPECT_EQ("C:\\WINDOWS\\Skorvel.exe", plan.Copies[1].Dest);
    EXPECT_TRUE(plan.Copies[1].Keep);
    EXPECT_FALSE(plan.Copies[2].Keep);
    ASSERT_EQ(16u, plan.Values.size());
    const TValueStep& uninstall = plan.Values[5];
    EXPECT_EQ(RegRoot::LocalMachine, uninstall.Root);
    EXPECT_EQ("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillon Notes", uninstall.Key);
    EXPECT_EQ("DisplayName", uninstall.Name);
    EXPECT_EQ("Quillon Notes 2.0", uninstall.Data);
    const TValueStep& size = plan.Values[13];
    EXPECT_EQ("EstimatedSize", size.Name);
    EXPECT_TRUE(size.DWord);
    ASSERT_EQ(2u, plan.Counters.size());
    const TCounterStep& counter = plan.Counters[0];
    EXPECT_EQ(RegRoot::CurrentUser, counter.Root);
    EXPECT_EQ("Software\\Brenvolt\\Skorvel\\Counters", counter.Key);
    EXPECT_EQ("qnshared.dll", counter.Name);
    EXPECT_EQ("1", counter.Data);
    EXPECT_EQ("Skorvel.exe", plan.Counters[1].Name);
    ASSERT_EQ(6u, plan.Entries.size());
    EXPECT_EQ("c:\\Quillon\\pellwick.upi", plan.Entries[0].Path);
    EXPECT_EQ("Registration", plan.Entries[0].Section);
    EXPECT_EQ("Name", plan.Entries[0].Name);
    EXPECT_EQ("Ann Example", plan.Entries[0].Value);
    EXPECT_EQ("Ann Example", plan.Entries[0].Reads);
    ASSERT_EQ(2u, plan.Items.size());
    EXPECT_EQ("Quillon", plan.Items[0].Group);
    EXPECT_EQ("c:\\Quillon\\bin\\notes.exe", plan.Items[0].File);
    EXPECT_EQ("Quillon Notes", plan.Items[0].Caption);
    EXPECT_EQ("[AddItem(c:\\Quillon\\bin\\notes.exe,Quillon Notes)]\r\n", plan.Items[0].Command);
    EXPECT_EQ("C:\\WINDOWS\\Skorvel.exe c:\\Quillon", plan.Items[1].File);
    EXPECT_TRUE(plan.Messages.empty());
}

// Steps that failed, were refused or were repeated, as the recorders keep
// them.
TEST(VerifyPlanSteps, FailedRefusedAndRepeatedSteps)
{
    auto value = [](const char* key, const char* name, const char* data, bool written = true) {
        TValueStep v;
        v.Key = key;
        v.Name = name;
        v.Data = data;
        v.Written = written;
        return v;
    };
    TValueStep unplaced = value("", "Lost", "1");
    unplaced.Placed = false;
    TPlan plan = PlanOf({
        TDirectoryStep{"c:\\a", false},
        TCopyStep{"C:\\S\\x", "c:\\a\\x", false, 3, "the path was not found"},
        TCopyStep{"C:\\S\\x", "c:\\b\\x", false, 0, ""},
        TCopyStep{"C:\\S\\y", "C:\\B\\X", true, 80, "the file exists"},
        TCopyStep{"C:\\S\\z", "c:\\b\\z", true, 80, "the file exists"},
        value("K", "V", "1"),
        value("k", "v", "2"),
        value("K", "W", "x", false),
        value("K", "", "default"),
        unplaced,
        TCounterStep{value("Software\\Brenvolt\\Skorvel\\Counters", "a.dll", "1")},
        TCounterStep{value("Software\\Brenvolt\\Skorvel\\Counters", "A.DLL", "2")},
        TEntryStep{"c:\\b\\r.upi", "S", "N", "one", "one", true},
        TEntryStep{"c:\\b\\r.upi", "s", "n", "\"two\"", "two", true},
        TEntryStep{"c:\\b\\r.upi", "S", "M", "three", "", false},
        TCommandStep{"[CreateGroup(G)]\r\n", true},
        TCommandStep{"[AddItem(c:\\b\\x,Refused)]\r\n", false},
        TCommandStep{"[AddItem(\"c:\\b, c\\x\",\"Cap, tion\")]\r\n", true},
        TAddOnStep{"c:\\b\\x"},
        TBoxStep{TMsgIcon::Stop, "List index out of bounds."},
    });
    EXPECT_TRUE(plan.Dirs.empty());
    ASSERT_EQ(2u, plan.Copies.size());
    EXPECT_EQ("C:\\S\\x", plan.Copies[0].Source);  // the first copy made the file
    EXPECT_EQ("c:\\b\\z", plan.Copies[1].Dest);    // already there before the run
    EXPECT_TRUE(plan.Copies[1].Keep);
    ASSERT_EQ(2u, plan.Values.size());
    EXPECT_EQ("2", plan.Values[0].Data);
    EXPECT_EQ("", plan.Values[1].Name);
    EXPECT_EQ("default", plan.Values[1].Data);
    ASSERT_EQ(1u, plan.Counters.size());
    EXPECT_EQ("2", plan.Counters[0].Data);
    ASSERT_EQ(1u, plan.Entries.size());
    EXPECT_EQ("\"two\"", plan.Entries[0].Value);
    EXPECT_EQ("two", plan.Entries[0].Reads);
    ASSERT_EQ(1u, plan.Items.size());
    EXPECT_EQ("G", plan.Items[0].Group);
    EXPECT_EQ("c:\\b, c\\x", plan.Items[0].File);
    EXPECT_EQ("Cap, tion", plan.Items[0].Caption);
    EXPECT_EQ((std::vector<std::string>{"List index out of bounds."}), plan.Messages);
}

TEST(VerifyPlanSteps, CommandsAreSplitAsTheProgramManagerSplitsThem)
{
    struct Case {
        const char* command;
        bool valid;
        const char* name;
        std::vector<std::string> args;
    } cases[] = {
        {"[CreateGroup(Quillon)]\r\n", true, "CreateGroup", {"Quillon"}},
        {"[AddItem( c:\\x.exe , Cap )]", true, "AddItem", {"c:\\x.exe", "Cap"}},
        {"[AddItem(\"c:\\a, b\\x.exe\",\"Cap (1)\")]\r\n", true, "AddItem", {"c:\\a, b\\x.exe", "Cap (1)"}},
        {"[AddItem(c:\\x.exe,)]", true, "AddItem", {"c:\\x.exe", ""}},
        {"AddItem(c:\\x.exe,Cap)", false, "", {}},
        {"[AddItem(c:\\x.exe,Ca", false, "", {}},  // cut at 255 characters
        {"[AddItem(\"c:\\x.exe,Cap)]", false, "", {}},
    };
    for (const Case& c : cases) {
        std::string name;
        std::vector<std::string> args;
        EXPECT_EQ(c.valid, ReadCommand(c.command, name, args)) << c.command;
        if (!c.valid) continue;
        EXPECT_EQ(c.name, name) << c.command;
        EXPECT_EQ(c.args, args) << c.command;
    }
}

TEST(VerifyRules, DateTextIsToldByItsShape)
{
    TLocaleFormats us = TFakeLocale::UnitedStates();
    TLocaleFormats european = us;
    european.ShortDate = "dd.MM.yyyy";
    european.DateSeparator = ".";
    european.Clock24 = true;
    european.HourLeadingZero = true;
    TLocaleFormats named = us;
    named.ShortDate = "dd-MMM-yy";
    struct Case {
        const TLocaleFormats* formats;
        const char* text;
        bool date;
    } cases[] = {
        {&us, "3/14/1998 9:05:00 AM", true},
        {&us, "12/7/2026 6:24:34 PM", true},
        {&us, "3/14/1998", true},  // midnight: no time
        {&us, "", false},
        {&us, "yesterday", false},
        {&us, "3/14/1998 9:05:00", false},
        {&us, "14.03.1998 21:05:00", false},
        {&european, "14.03.1998 21:05:00", true},
        {&european, "3/14/1998 9:05:00 AM", false},
        {&named, "14-Mar-98 9:05:00 AM", true},
        {&named, "14-Xyz-98 9:05:00 AM", false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.date, LooksLikeDateText(c.text, *c.formats)) << c.text;
}

TEST(VerifyRules, ShellFileNamesLoseWhatNoFileNameHolds)
{
    EXPECT_EQ("Read Me", ShellFileName("Read Me"));
    EXPECT_EQ("A_B_ C_ _x_ _y_ _q_", ShellFileName("A/B: C? *x| <y> \"q\\"));
}

// The shell names a group's folder and an item's shortcut by one rule,
// group and caption alike (<>:/\|?* become "_"; an item without a caption
// takes its file's name less the extension). The checker looks for what
// the shell made by it, and the uninstaller removes that by it.
TEST(ShellNames, TheCheckerFindsAndTheUninstallerRemovesWhatTheShellMade)
{
    TFakePlatform fake;
    TFakeStartMenu startMenu{fake.Disk};
    const std::string group = "Tools: A/B?";
    const std::string folder = startMenu.Programs + "\\Tools_ A_B_";
    fake.Disk.Put("C:\\Tools\\bin\\tool.exe", "tool");
    fake.Disk.Put("C:\\Tools\\readme.txt", "read");
    startMenu.AddShortcut(folder + "\\tool.lnk", "C:\\Tools\\bin\\tool.exe");
    startMenu.AddShortcut(folder + "\\Read _Me_.lnk", "C:\\Tools\\readme.txt");

    TPlan plan;
    plan.Items.push_back({group, "C:\\Tools\\bin\\tool.exe", "", ""});
    plan.Items.push_back({group, "C:\\Tools\\readme.txt", "Read <Me>", ""});
    TMachine machine{fake.Files, fake.Registry, fake.Profiles, startMenu, startMenu, fake.Locale, fake.Locale};
    TVerifyResult result = VerifyPlan(plan, machine, "C:\\WINDOWS");
    for (const TStepFinding& f : result.Findings) ADD_FAILURE() << f.Where << ": " << f.Text;
    EXPECT_EQ(2, result.Steps);

    // The items as the run lists them: each by its title.
    TInstallList list;
    list.Add(TListKind::Group, group);
    list.Add(TListKind::Item, ItemTitle("", "bin\\tool.exe"), group);
    list.Add(TListKind::Item, "Read <Me>", group);
    fake.Disk.Put("C:\\App\\Pellwick.lst", list.Text());
    StoreListSeal("C:\\App", list.Text());
    fake.Disk.Put("C:\\App\\Pellwick.upi", "[Uninstall]\r\nDisplayName=App\r\n");
    TRemoval removal("C:\\App", startMenu.Programs);
    removal.Load();
    removal.Perform();
    for (const TLeftBehind& l : removal.Left()) ADD_FAILURE() << l.What << ": " << l.Reason;
    EXPECT_FALSE(fake.Disk.FileExists(folder + "\\tool.lnk"));
    EXPECT_FALSE(fake.Disk.FileExists(folder + "\\Read _Me_.lnk"));
    EXPECT_FALSE(fake.Disk.DirExists(folder));
    EXPECT_TRUE(fake.ProgramManager.Sent.empty());
}

// ---- a machine of doubles

struct TDoubleMachine {
    TFakeDisk Disk;
    TFakeFileSystem Files{Disk};
    TFakeRegistry Registry;
    TFakeProfileFiles Profiles{Disk};
    TFakeStartMenu StartMenu{Disk};
    TFakeLocale Locale;
    TMachine Machine{Files, Registry, Profiles, StartMenu, StartMenu, Locale, Locale};
};

// The clean folder from where it lies, as pellwick-check reads it.
TInstallerFolder CleanFolder() { return TInstallerFolder::Read(FolderPath("clean")); }

TPlan CleanPlan()
{
    TDryRun run(CleanFolder(), "C:\\WINDOWS", Now);
    EXPECT_TRUE(run.Load());
    EXPECT_TRUE(run.Install({Dest, "Ann Example", "Example Ltd"}));
    return PlanOf(run.Steps());
}

std::string ValueWhere(const TValueStep& v)
{
    return std::string(v.Root == RegRoot::CurrentUser ? "HKEY_CURRENT_USER\\" : "HKEY_LOCAL_MACHINE\\") +
           v.Key + "  " + v.Name;
}

// Does to the machine what the plan says, as an installation under Wine
// did (no link for the uninstall item), but for the step named by leaveOut.
void Install(const TPlan& plan, TDoubleMachine& m, const std::string& leaveOut = "")
{
    CleanFolder().PutOn(m.Disk);
    for (const std::string& dir : plan.Dirs)
        if (dir != leaveOut) m.Disk.MakeDirs(dir);
    for (const TCopyStep& c : plan.Copies)
        if (c.Dest != leaveOut) m.Disk.Put(c.Dest, m.Disk.Get(c.Source));
    for (const TValueStep& v : plan.Values)
        if (ValueWhere(v) != leaveOut && v.DWord)
            m.Registry.SetDWord(v.Root, v.Key, v.Name, v.Name == "EstimatedSize" ? 7 : std::stoul(v.Data));
        else if (ValueWhere(v) != leaveOut)
            m.Registry.SetString(v.Root, v.Key, v.Name, v.Name == "Date"          ? "12/7/2026 6:24:34 PM"
                                                        : v.Name == "InstallDate" ? "20261207"
                                                                                  : v.Data);
    for (const TCounterStep& v : plan.Counters)
        if (ValueWhere(v) != leaveOut) m.Registry.SetString(v.Root, v.Key, v.Name, v.Data);
    for (const TEntryStep& e : plan.Entries)
        if (e.Path + "  [" + e.Section + "] " + e.Name != leaveOut)
            m.Profiles.WriteValue(e.Path, e.Section, e.Name, e.Name == "Date" ? "12/7/2026 6:24:34 PM" : e.Value);
    for (const TPlannedItem& i : plan.Items) {
        std::string link = m.StartMenu.Programs + "\\" + i.Group + "\\" + i.Caption + ".lnk";
        if (i.Caption.rfind("Uninstall ", 0) != 0 && link != leaveOut) m.StartMenu.AddShortcut(link, i.File);
    }
}

const std::string Link = "C:\\WINDOWS\\Profiles\\User\\Start Menu\\Programs\\Quillon\\Quillon Notes.lnk";
const std::string NameValue = "HKEY_CURRENT_USER\\Software\\Quillon\\Notes\\Registration  Name";
const std::string DateValue = "HKEY_CURRENT_USER\\Software\\Quillon\\Notes\\Install  Date";
const std::string CounterValue = "HKEY_CURRENT_USER\\Software\\Brenvolt\\Skorvel\\Counters  qnshared.dll";
const std::string OrgEntry = "c:\\Quillon\\pellwick.upi  [Registration] Organization";
const std::string DateEntry = "c:\\Quillon\\pellwick.upi  [Install] Date";
const char* const EntryKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillon Notes";
std::string EntryValue(const char* name) { return std::string("HKEY_LOCAL_MACHINE\\") + EntryKey + "  " + name; }

TEST(VerifyMachine, ACompleteInstallationHoldsStepByStep)
{
    TPlan plan = CleanPlan();
    TDoubleMachine m;
    Install(plan, m);
    TVerifyResult result = VerifyPlan(plan, m.Machine, "C:\\WINDOWS");
    for (const TStepFinding& f : result.Findings) ADD_FAILURE() << f.Where << ": " << f.Text;
    // 2 directories, 4 copies, 17 values, 6 record entries, 1 item.
    EXPECT_EQ(32, result.Steps);
    EXPECT_TRUE(result.Holds());
}

// One fault planted after (or instead of) a step of the clean
// installation; exactly that step is reported.
TEST(VerifyMachine, ItemsInEveryUsersProgramsFolderHoldAsTheSilentRunMakesThem)
{
    TPlan plan = CleanPlan();
    TDoubleMachine m;
    Install(plan, m, Link);
    std::string common = m.StartMenu.CommonPrograms + "\\Quillon\\Quillon Notes.lnk";
    m.StartMenu.AddShortcut(common, "c:\\Quillon\\bin\\notes.exe");
    TVerifyResult result = VerifyPlan(plan, m.Machine, "C:\\WINDOWS");
    for (const TStepFinding& f : result.Findings) ADD_FAILURE() << f.Where << ": " << f.Text;
    m.StartMenu.AddShortcut(common, "c:\\Quillon\\other.exe");
    result = VerifyPlan(plan, m.Machine, "C:\\WINDOWS");
    ASSERT_EQ(1u, result.Findings.size());
    EXPECT_EQ(common, result.Findings[0].Where);
}

TEST(VerifyMachine, EachKindOfStepReportsItsOwnFault)
{
    const TPlan plan = CleanPlan();
    using TPlant = std::function<void(TDoubleMachine&)>;
    struct Case {
        const char* fault;
        std::string leaveOut;
        TPlant plant;
        std::string where;
        TStepState state;
        const char* textHas;
    } cases[] = {
        {"product file deleted", "", [](TDoubleMachine& m) { m.Disk.Remove("c:\\Quillon\\bin\\notes.exe"); },
         "c:\\Quillon\\bin\\notes.exe", TStepState::Missing, "copy of Z:"},
        {"product file changed", "", [](TDoubleMachine& m) { m.Disk.Put("c:\\Quillon\\readme.txt", "other"); },
         "c:\\Quillon\\readme.txt", TStepState::Differs, "not the bytes of"},
        {"kept system file older", "", [](TDoubleMachine& m) { m.Disk.Put("C:\\WINDOWS\\qnshared.dll", "v1"); },
         "C:\\WINDOWS\\qnshared.dll", TStepState::KeptOlder, "there before or changed since"},
        {"registry value never written", NameValue, nullptr, NameValue, TStepState::Missing,
         "planned \"Ann Example\""},
        {"registry value changed", "",
         [](TDoubleMachine& m) {
             m.Registry.SetString(RegRoot::CurrentUser, "Software\\Quillon\\Notes\\Registration", "Name", "Bob");
         },
         NameValue, TStepState::Differs, "\"Bob\", planned \"Ann Example\""},
        {"registry value of another type", "",
         [](TDoubleMachine& m) {
             m.Registry.SetDWord(RegRoot::CurrentUser, "Software\\Quillon\\Notes\\Registration", "Name", 7);
         },
         NameValue, TStepState::Differs, "no text value"},
        {"date value no date", "",
         [](TDoubleMachine& m) {
             m.Registry.SetString(RegRoot::CurrentUser, "Software\\Quillon\\Notes\\Install", "Date", "soon");
         },
         DateValue, TStepState::Differs, "is no date"},
        {"counter down to 0", "",
         [](TDoubleMachine& m) {
             m.Registry.SetString(RegRoot::CurrentUser, "Software\\Brenvolt\\Skorvel\\Counters", "qnshared.dll", "0");
         },
         CounterValue, TStepState::Differs, "at least 1"},
        {"uninstall entry for another folder", "",
         [](TDoubleMachine& m) {
             m.Registry.SetString(RegRoot::LocalMachine,
                                  "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillon Notes",
                                  "UninstallString", "C:\\WINDOWS\\Skorvel.exe c:\\Elsewhere");
         },
         "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillon Notes  UninstallString",
         TStepState::Differs, "planned \"C:\\WINDOWS\\Skorvel.exe c:\\Quillon\""},
        {"size written as text", "",
         [](TDoubleMachine& m) { m.Registry.SetString(RegRoot::LocalMachine, EntryKey, "EstimatedSize", "7"); },
         EntryValue("EstimatedSize"), TStepState::Differs, "no REG_DWORD, planned"},
        {"NoRepair cleared", "",
         [](TDoubleMachine& m) { m.Registry.SetDWord(RegRoot::LocalMachine, EntryKey, "NoRepair", 0); },
         EntryValue("NoRepair"), TStepState::Differs, "0, planned 1"},
        {"quiet command never written", EntryValue("QuietUninstallString"), nullptr,
         EntryValue("QuietUninstallString"), TStepState::Missing, "planned \"C:\\WINDOWS\\Skorvel.exe /S c:\\Quillon\""},
        {"install day no day", "",
         [](TDoubleMachine& m) { m.Registry.SetString(RegRoot::LocalMachine, EntryKey, "InstallDate", "2026-12-07"); },
         EntryValue("InstallDate"), TStepState::Differs, "no day as YYYYMMDD"},
        {"record entry never written", OrgEntry, nullptr, OrgEntry, TStepState::Missing, "Example Ltd"},
        {"record entry changed", "",
         [](TDoubleMachine& m) {
             m.Profiles.WriteValue("c:\\Quillon\\Pellwick.upi", "Registration", "Organization", "Nobody");
         },
         OrgEntry, TStepState::Differs, "\"Nobody\", planned \"Example Ltd\""},
        {"record date no date", "",
         [](TDoubleMachine& m) { m.Profiles.WriteValue("c:\\Quillon\\Pellwick.upi", "Install", "Date", "x"); },
         DateEntry, TStepState::Differs, "is no date"},
        {"record deleted: its copy, not each entry", "",
         [](TDoubleMachine& m) { m.Disk.Remove("c:\\Quillon\\Pellwick.upi"); }, "c:\\Quillon\\Pellwick.upi",
         TStepState::Missing, "Pellwick.up_"},
        {"program item removed", "", [](TDoubleMachine& m) { m.Disk.Remove(Link); }, Link, TStepState::Missing,
         "program item \"Quillon Notes\" for c:\\Quillon\\bin\\notes.exe"},
        {"program item pointing elsewhere", "",
         [](TDoubleMachine& m) { m.StartMenu.AddShortcut(Link, "c:\\Other\\notes.exe"); }, Link,
         TStepState::Differs, "points at c:\\Other\\notes.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        TDoubleMachine m;
        Install(plan, m, c.leaveOut);
        if (c.plant) c.plant(m);
        TVerifyResult result = VerifyPlan(plan, m.Machine, "C:\\WINDOWS");
        ASSERT_EQ(1u, result.Findings.size());
        const TStepFinding& f = result.Findings[0];
        EXPECT_EQ(c.where, f.Where);
        EXPECT_EQ(c.state, f.State);
        EXPECT_NE(std::string::npos, f.Text.find(c.textHas)) << f.Text;
        EXPECT_EQ(c.state == TStepState::KeptOlder, result.Holds());
    }
}

TEST(VerifyMachine, WhatOtherInstallationsChangeStillHolds)
{
    const TPlan plan = CleanPlan();
    TDoubleMachine m;
    Install(plan, m);
    // Another product shares the file; the user's locale writes no AM.
    m.Registry.SetString(RegRoot::CurrentUser, "Software\\Brenvolt\\Skorvel\\Counters", "qnshared.dll", "3");
    m.Registry.SetString(RegRoot::CurrentUser, "Software\\Quillon\\Notes\\Install", "Date", "3/14/1998");
    // The shell spells the target its own way.
    m.StartMenu.AddShortcut(Link, "C:\\QUILLON\\BIN\\NOTES.EXE");
    TVerifyResult result = VerifyPlan(plan, m.Machine, "C:\\WINDOWS");
    for (const TStepFinding& f : result.Findings) ADD_FAILURE() << f.Where << ": " << f.Text;
}

// The dry run's own doubles are a machine as the installer leaves it:
// what the user typed reaches the registry as it stands and the record as
// a profile file reads it back, and the plan must say so for both.
TEST(VerifyMachine, TextsTheRunWritesAsTheyStandHold)
{
    struct Case {
        const char* what;
        const char* user;
        const char* org;
    } cases[] = {
        {"quotes inside", "Ann \"Q\" Example", "O'Neil & Co"},
        {"quotes around", "\"Ann Example\"", "'Example Ltd'"},
        {"backslashes", "Ann\\r\\n", "Example\\"},
        {"line breaks", "Ann\r\nExample", "Example\nLtd"},
        {"blanks at the ends", " Ann ", "Example\t"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TDryRun run(CleanFolder(), "C:\\WINDOWS", Now);
        ASSERT_TRUE(run.Load());
        ASSERT_TRUE(run.Install({Dest, c.user, c.org}));
        TPlan plan = PlanOf(run.Steps());
        TFakeStartMenu startMenu(run.Disk());
        startMenu.AddShortcut(Link, "c:\\Quillon\\bin\\notes.exe");
        TFakeLocale locale;
        TMachine machine{run.Files(), run.Registry(), run.Profiles(), startMenu, startMenu, locale, locale};
        TVerifyResult result = VerifyPlan(plan, machine, "C:\\WINDOWS");
        for (const TStepFinding& f : result.Findings) ADD_FAILURE() << f.Where << ": " << f.Text;
        EXPECT_EQ(32, result.Steps);

        // The same value changed afterwards is told, on one line.
        run.Registry().SetString(RegRoot::CurrentUser, "Software\\Quillon\\Notes\\Registration", "Name", "Bob");
        result = VerifyPlan(plan, machine, "C:\\WINDOWS");
        ASSERT_FALSE(result.Findings.empty());
        EXPECT_EQ(1u, result.Findings.size());
        EXPECT_EQ(NameValue, result.Findings[0].Where);
        EXPECT_EQ(std::string::npos, VerifyText(result, Dest).find_first_of("\r")) << VerifyText(result, Dest);
        EXPECT_EQ(2u, SplitLines(VerifyText(result, Dest)).size());
    }
}

TEST(VerifyMachine, DirectoryMissing)
{
    TDoubleMachine m;
    TPlan plan;
    plan.Dirs = {"c:\\Quillon", "c:\\Quillon\\data"};
    m.Disk.MakeDirs("c:\\Quillon");
    TVerifyResult result = VerifyPlan(plan, m.Machine, "C:\\WINDOWS");
    EXPECT_EQ(2, result.Steps);
    ASSERT_EQ(1u, result.Findings.size());
    EXPECT_EQ("c:\\Quillon\\data", result.Findings[0].Where);
    EXPECT_EQ(TStepState::Missing, result.Findings[0].State);
}

// ---- the command

std::vector<std::string> VerifyArgs(std::vector<std::string> more = {})
{
    std::vector<std::string> args = {FolderPath("clean"), "--verify", "--dest", Dest,
                                     "--user", "Ann Example", "--org", "Example Ltd"};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

TEST(VerifyCommand, CleanInstallationPrintsOnlyItsSummary)
{
    TDoubleMachine m;
    Install(CleanPlan(), m);
    TToolOutput out = RunCheckTool(VerifyArgs(), Now, &m.Machine);
    EXPECT_EQ(ExitClean, out.Status) << out.Err;
    EXPECT_EQ("c:\\Quillon: 32 steps, 0 do not hold, 0 kept\n", out.Out);
}

TEST(VerifyCommand, ThreePlantedFaultsAreExactlyWhatIsReported)
{
    TDoubleMachine m;
    Install(CleanPlan(), m);
    m.Disk.Remove("c:\\Quillon\\bin\\notes.exe");
    m.Registry.SetString(RegRoot::CurrentUser, "Software\\Quillon\\Notes\\Registration", "Edition", "Pro");
    m.Disk.Remove(Link);
    TToolOutput out = RunCheckTool(VerifyArgs(), Now, &m.Machine);
    EXPECT_EQ(ExitFindings, out.Status) << out.Err;
    std::string folder = CleanFolder().SourceDir();
    EXPECT_EQ("c:\\Quillon\\bin\\notes.exe: missing: copy of " + folder + "notes.exe\n"
              "HKEY_CURRENT_USER\\Software\\Quillon\\Notes\\Registration  Edition: differs: \"Pro\", planned \"Home\"\n" +
                  Link + ": missing: program item \"Quillon Notes\" for c:\\Quillon\\bin\\notes.exe\n"
                         "c:\\Quillon: 32 steps, 3 do not hold, 0 kept\n",
              out.Out);

    TToolOutput json = RunCheckTool(VerifyArgs({"--json"}), Now, &m.Machine);
    EXPECT_EQ(ExitFindings, json.Status);
    EXPECT_NE(std::string::npos, json.Out.find("{\"where\": \"c:\\\\Quillon\\\\bin\\\\notes.exe\", \"state\": \"missing\""));
    EXPECT_NE(std::string::npos, json.Out.find("\"steps\": 32, \"failing\": 3, \"kept\": 0, \"failed\": true}"));
}

TEST(VerifyCommand, AKeptOlderFileIsShownButHolds)
{
    TDoubleMachine m;
    Install(CleanPlan(), m);
    m.Disk.Put("C:\\WINDOWS\\qnshared.dll", "older");
    TToolOutput out = RunCheckTool(VerifyArgs(), Now, &m.Machine);
    EXPECT_EQ(ExitClean, out.Status);
    EXPECT_EQ(0u, out.Out.find("C:\\WINDOWS\\qnshared.dll: kept: differs from the installer's copy "));
    EXPECT_NE(std::string::npos, out.Out.find("c:\\Quillon: 32 steps, 0 do not hold, 1 kept\n"));
}

// Without --user and --org the name and organisation are what the
// installation's record holds, and the registry is held against them.
TEST(VerifyCommand, UserEntriesNotGivenAreTakenFromTheRecord)
{
    const std::vector<std::string> bare = {FolderPath("clean"), "--verify", "--dest", Dest};
    using TPlant = std::function<void(TDoubleMachine&)>;
    struct Case {
        const char* why;
        std::vector<std::string> args;
        TPlant plant;
        std::vector<std::string> findings;  // the lines before the summary
    } cases[] = {
        {"as installed", bare, nullptr, {}},
        {"only --org given", {FolderPath("clean"), "--verify", "--dest", Dest, "--org", "Example Ltd"}, nullptr, {}},
        {"the registry holds another name than the record",
         bare,
         [](TDoubleMachine& m) {
             m.Registry.SetString(RegRoot::CurrentUser, "Software\\Quillon\\Notes\\Registration", "Name", "Bob");
         },
         {NameValue + ": differs: \"Bob\", planned \"Ann Example\""}},
        {"a name given is held against both",
         {FolderPath("clean"), "--verify", "--dest", Dest, "--user", "Bob"},
         nullptr,
         {NameValue + ": differs: \"Ann Example\", planned \"Bob\"",
          "c:\\Quillon\\pellwick.upi  [Registration] Name: differs: \"Ann Example\", planned \"Bob\""}},
        {"an organisation typed in quotes, which a profile read drops",
         bare,
         [](TDoubleMachine& m) {
             m.Registry.SetString(RegRoot::CurrentUser, "Software\\Quillon\\Notes\\Registration", "Organization",
                                  "\"Example Ltd\"");
             m.Profiles.WriteValue("c:\\Quillon\\Pellwick.upi", "Registration", "Organization", "\"Example Ltd\"");
         },
         {}},
        {"no record to take them from",
         bare,
         [](TDoubleMachine& m) { m.Disk.Remove("c:\\Quillon\\Pellwick.upi"); },
         {"c:\\Quillon\\Pellwick.upi: missing: copy of " + CleanFolder().SourceDir() + "Pellwick.up_",
          NameValue + ": differs: \"Ann Example\", planned \"<the name typed in the wizard>\"",
          "HKEY_CURRENT_USER\\Software\\Quillon\\Notes\\Registration  Organization: differs: \"Example Ltd\", "
          "planned \"<the organisation typed in the wizard>\""}},
    };
    for (const Case& c : cases) {
        TDoubleMachine m;
        Install(CleanPlan(), m);
        if (c.plant) c.plant(m);
        std::vector<std::string> lines = SplitLines(RunCheckTool(c.args, Now, &m.Machine).Out);
        ASSERT_FALSE(lines.empty()) << c.why;
        lines.pop_back();
        EXPECT_EQ(c.findings, lines) << c.why;
    }
}

TEST(VerifyCommand, WhatCannotBeReadIsStatusTwo)
{
    TDoubleMachine m;
    struct Case {
        const char* what;
        std::vector<std::string> args;
        TMachine* machine;
        const char* errHas;
    } cases[] = {
        {"nothing installed at the destination", VerifyArgs(), &m.Machine, "no folder to read"},
        {"no installer folder", {"/no/such/folder", "--verify", "--dest", Dest}, &m.Machine, "not a folder"},
        {"no destination given", {FolderPath("clean"), "--verify"}, &m.Machine, "needs --dest"},
        {"with --plan", VerifyArgs({"--plan"}), &m.Machine, "one at a time"},
        {"no machine to read", VerifyArgs(), nullptr, "pellwick-check.exe"},
    };
    for (const Case& c : cases) {
        TToolOutput out = RunCheckTool(c.args, Now, c.machine);
        EXPECT_EQ(ExitUnreadable, out.Status) << c.what;
        EXPECT_NE(std::string::npos, out.Err.find(c.errHas)) << c.what << ": " << out.Err;
        EXPECT_EQ("", out.Out) << c.what;
    }
}

TEST(VerifyCommand, ARunStoppedByAnErrorDoesNotHold)
{
    TDoubleMachine m;
    m.Disk.MakeDirs(Dest);
    TToolOutput out = RunCheckTool({FolderPath("too-few-out"), "--verify", "--dest", Dest}, Now, &m.Machine);
    EXPECT_EQ(ExitFindings, out.Status) << out.Err;
    EXPECT_EQ(0u, out.Out.find("Pellwick.ipi: stops: the installation run ends at the box "
                               "\"List index out of bounds.\""))
        << out.Out;
}

}  // namespace
