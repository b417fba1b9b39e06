// The installation run: directories, copies, progress, the program group,
// the add-ons, the record of what failed and how every run ends.
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/Description.h"
#include "engine/Engine.h"
#include "engine/Removal.h"
#include "Fixtures.h"
#include "engine/ListSeal.h"
#include "ui/MainDlg.h"
#include "core/Paths.h"
#include "engine/SharedCount.h"
#include "core/Sha256.h"
#include "core/Error.h"

namespace {

const char* const Title = "Pellwick 2.1";
const char* const UninstallEntry = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sample";
const char* const Copying =
    "Pellwick is now copying the Sample 1.0 files to the selected destination.";
const char* const Installed =
    "Sample 1.0 was installed successfuly. Please select next to continue.";
const char* const Incomplete =
    "Sample 1.0 was not installed completely. Please select next to continue.";
const char* const FinalSuccess = "Pellwick has installed Sample 1.0 successfully, congratulations.";

std::string Lines(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

const std::string Settings = Lines({"[Settings]", "Application=Sample", "Version=1.0"});

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// The wizard as the run sees it: what each step shows is kept for the
// probes and the checks; boxes go on to the desktop.
class TTestView : public IInstallView {
public:
    void ShowProgressPage(const std::string& text) override
    {
        ProgressPage = true;
        Text = text;
    }
    void ShowSource(const std::string& shown) override
    {
        Source = shown;
        ++PathsShown;
    }
    void ShowDestination(const std::string& shown) override
    {
        Destination = shown;
        ++PathsShown;
    }
    int ProgressPosition() const override { return Position; }
    void SetProgressPosition(int position) override
    {
        Position = std::max(0, std::min(100, position));
    }
    void SetStatusText(const std::string& text) override { Text = text; }
    void RunCompleted() override { Completed = true; }
    void RunEnded() override { Log.push_back("front"); }
    void ShowWarning(const std::string& text) override
    {
        Sys().Desktop->ShowMessage(text, Title, TMsgIcon::Warning);
    }
    void* OwnerWindow() override { return nullptr; }
    bool AsksProgramManager() override { return AsksProgman; }

    bool AsksProgman = true;  // false: shortcut files, as the silent run makes them
    bool ProgressPage = false;
    std::string Text, Source, Destination;
    int PathsShown = 0;
    int Position = 0;
    bool Completed = false;
    std::vector<std::string> Log;
};

// The doubles below see what the wizard shows at the moment the engine
// reaches them, which is how the order of the run's steps is checked.
struct TRunView {
    TTestView* View = nullptr;
    TMainDialog* Dialog = nullptr;  // when the run goes through the wizard
    TFakeDesktop* Desktop = nullptr;
    int Position() const
    {
        return Dialog != nullptr ? Dialog->ProgressBar.Position() : View->Position;
    }
    std::string Source() const
    {
        return Dialog != nullptr ? Dialog->SourceLabel.Caption() : View->Source;
    }
    std::string Destination() const
    {
        return Dialog != nullptr ? Dialog->DestinationLabel.Caption() : View->Destination;
    }
};

class TProbeFiles : public TFakeFileSystem {
public:
    struct CopyCall {
        std::string Source, Dest;
        bool FailIfExists;
        std::string SourceLabel, DestinationLabel;
        int Position;
    };
    TProbeFiles(TFakeDisk& disk, const TRunView& view) : TFakeFileSystem(disk), view_(view) {}
    unsigned long Copy(const std::string& source, const std::string& dest,
                       bool failIfExists) override
    {
        Copies.push_back({source, dest, failIfExists, view_.Source(), view_.Destination(),
                          view_.Position()});
        return TFakeFileSystem::Copy(source, dest, failIfExists);
    }
    std::vector<CopyCall> Copies;

private:
    const TRunView& view_;
};

class TProbeClock : public TFakeClock {
public:
    explicit TProbeClock(const TRunView& view) : view_(view) {}
    void Sleep(unsigned milliseconds) override
    {
        TFakeClock::Sleep(milliseconds);
        Positions.push_back(view_.Position());
        CursorsThen.push_back(view_.Desktop->Cursor());
    }
    std::vector<int> Positions;
    std::vector<TCursor> CursorsThen;

private:
    const TRunView& view_;
};

class TProbeProgramManager : public TFakeProgramManager {
public:
    explicit TProbeProgramManager(const TRunView& view) : view_(view) {}
    void Open() override
    {
        PositionAtOpen = view_.Position();
        TFakeProgramManager::Open();
    }
    bool Execute(const std::string& command) override
    {
        Attempts.push_back(command);
        if (command == RefuseCommand && RefuseTimes > 0) {
            --RefuseTimes;
            Refused.push_back(command);
            return false;
        }
        return TFakeProgramManager::Execute(command);
    }
    // Refuses this one command so many times.
    std::string RefuseCommand;
    int RefuseTimes = 0;
    std::vector<std::string> Attempts;
    int PositionAtOpen = -1;

private:
    const TRunView& view_;
};

// Passes everything on to the desktop double, noting for each box the
// cursor and whether the wizard had been brought to the front.
class TProbeDesktop : public IDesktop {
public:
    TProbeDesktop(TFakeDesktop& desktop, const TRecordingBackend& recorder, const TTestView& view)
        : desktop_(desktop), recorder_(recorder), view_(view)
    {
    }
    int ScreenWidth() override { return desktop_.ScreenWidth(); }
    int ScreenHeight() override { return desktop_.ScreenHeight(); }
    void SetCursor(TCursor cursor) override { desktop_.SetCursor(cursor); }
    void ShowMessage(const std::string& text, const std::string& caption, TMsgIcon icon) override
    {
        CursorAtBox.push_back(desktop_.Cursor());
        FrontBeforeBox.push_back(
            (!recorder_.Log.empty() && recorder_.Log.back() == "front 432x347") ||
            (!view_.Log.empty() && view_.Log.back() == "front"));
        desktop_.ShowMessage(text, caption, icon);
    }
    bool AskYesNo(const std::string& text, const std::string& caption) override
    {
        return desktop_.AskYesNo(text, caption);
    }
    std::string ExePath() override { return desktop_.ExePath(); }
    bool Arguments(std::vector<std::string>& args) override { return desktop_.Arguments(args); }
    std::string CommandLine() override { return desktop_.CommandLine(); }
    void QuietSystemErrors() override { desktop_.QuietSystemErrors(); }
    std::vector<TCursor> CursorAtBox;
    std::vector<bool> FrontBeforeBox;

private:
    TFakeDesktop& desktop_;
    const TRecordingBackend& recorder_;
    const TTestView& view_;
};

class TProbeShell : public TFakeShell {
public:
    TProbeShell(const TRunView& view, const TFakeProgramManager& progman)
        : view_(view), progman_(progman)
    {
    }
    void Open(void* owner, const std::string& file) override
    {
        Positions.push_back(view_.Position());
        ConversationOpen.push_back(progman_.IsOpen());
        TFakeShell::Open(owner, file);
    }
    std::vector<int> Positions;
    std::vector<bool> ConversationOpen;

private:
    const TRunView& view_;
    const TFakeProgramManager& progman_;
};

// The run alone, with a view standing in for the wizard.
class EngineRun : public ProgramTest {
protected:
    EngineRun()
    {
        SetBackend(&Recorder);
        Application().Title = Title;
        Probed.View = &View;
        Probed.Desktop = &Fake.Desktop;
        Fake.Disk.MakeDirs("C:\\WINDOWS");
        Fake.Disk.Put("C:\\SETUP\\Pellwick.up_", "; uninstall record template\r\n");
        Sys().Files = &Files;
        Sys().Clock = &Clock;
        Sys().ProgramManager = &Progman;
        Sys().Shell = &Shell;
        Sys().Desktop = &Desktop;
    }
    ~EngineRun() override { SetBackend(nullptr); }

    // Loads the description and takes the destination as the wizard does.
    void Prepare(const std::string& description, const std::string& dest = "C:\\Sample")
    {
        WriteDescription(description);
        ASSERT_TRUE(LoadInstallDescription());
        Shared.DestDir = dest;
        View = TTestView();
        Forget();
    }
    // Runs the installation as Next on the destination page does, with its
    // error box.
    void Next()
    {
        try {
            TInstallRun(Shared, View).Perform(Shared.InstallFailures);
        } catch (const EError& e) {
            Application().ShowException(e.Message());
        }
    }
    void Run(const std::string& description, const std::string& dest = "C:\\Sample")
    {
        Prepare(description, dest);
        Next();
    }
    // Drops what was recorded before the part a test looks at.
    void Forget()
    {
        Fake.Desktop.Boxes.clear();
        Fake.Desktop.Cursors.clear();
        Clock.Sleeps.clear();
        Clock.Positions.clear();
        Clock.CursorsThen.clear();
        Recorder.Log.clear();
        View.Log.clear();
    }
    std::string UninstallDisplayName()
    {
        std::string text;
        return Fake.Registry.GetString(RegRoot::LocalMachine, UninstallEntry, "DisplayName", text)
                   ? text
                   : "(none)";
    }
    // The run's ending happened: last pause 1000 ms, then the wizard in
    // front and the default cursor.
    void ExpectEnding()
    {
        ASSERT_FALSE(Clock.Sleeps.empty());
        EXPECT_EQ(1000u, Clock.Sleeps.back());
        ASSERT_FALSE(Fake.Desktop.Cursors.empty());
        EXPECT_EQ(TCursor::HourGlass, Fake.Desktop.Cursors.front());
        EXPECT_EQ(TCursor::Default, Fake.Desktop.Cursors.back());
        EXPECT_EQ(Front(), "front");
    }
    virtual std::string Front() const { return View.Log.empty() ? "" : View.Log.back(); }
    std::size_t BoxesWith(TMsgIcon icon) const
    {
        std::size_t n = 0;
        for (const auto& box : Boxes()) n += box.Icon == icon;
        return n;
    }

    TRecordingBackend Recorder;
    TTestView View;
    TRunView Probed;
    TProbeFiles Files{Fake.Disk, Probed};
    TProbeClock Clock{Probed};
    TProbeProgramManager Progman{Probed};
    TProbeShell Shell{Probed, Progman};
    TProbeDesktop Desktop{Fake.Desktop, Recorder, View};
};

// ---------------------------------------------------------------------------
// Pure helpers.

TEST(EngineHelpersTest, ShortenCaptionKeepsFortyAndCutsLongerToDotsAndLastThirtySeven)
{
    struct Case {
        std::string caption, shown;
    } cases[] = {
        {"", ""},
        {std::string(39, 'a'), std::string(39, 'a')},
        {std::string(40, 'b'), std::string(40, 'b')},
        {"x" + std::string(40, 'c'), "..." + std::string(37, 'c')},
        {"c:\\program files\\sample suite\\bin\\viewer.exe",
         "...ram files\\sample suite\\bin\\viewer.exe"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.shown, ShortenCaption(c.caption)) << c.caption;
        EXPECT_LE(ShortenCaption(c.caption).size(), 40u);
    }
}

TEST(EngineHelpersTest, CommandStringsEndWithCrLfAndAreCutAt255AfterIt)
{
    std::string longCaption(300, 'x');
    struct Case {
        std::string built, expected;
    } cases[] = {
        {CreateGroupCommand("Fenmarch"), "[CreateGroup(Fenmarch)]\r\n"},
        {AddItemCommand("C:\\Sample", "bin\\viewer.exe", "Sample Viewer"),
         "[AddItem(C:\\Sample\\bin\\viewer.exe,Sample Viewer)]\r\n"},
        {UninstallItemCommand("C:\\WINDOWS", "C:\\Sample", "Sample"),
         "[AddItem(C:\\WINDOWS\\Skorvel.exe C:\\Sample,Uninstall Sample)]\r\n"},
        // Commas and parentheses would split or end the argument: quoted.
        {AddItemCommand("C:\\A,B", "x).exe", "Viewer, (beta)"),
         "[AddItem(\"C:\\A,B\\x).exe\",\"Viewer, (beta)\")]\r\n"},
        {CreateGroupCommand("Tools (old)"), "[CreateGroup(\"Tools (old)\")]\r\n"},
        {AddItemCommand("C:\\Sample", "a.exe", "Plain Caption"),
         "[AddItem(C:\\Sample\\a.exe,Plain Caption)]\r\n"},
        {CreateGroupCommand(std::string(239, 'g')),
         "[CreateGroup(" + std::string(239, 'g') + ")]\r"},  // the LF is the 256th
        {AddItemCommand("C:\\Sample", "a.exe", longCaption),
         ("[AddItem(C:\\Sample\\a.exe," + longCaption).substr(0, 255)},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, c.built);
}

TEST(EngineHelpersTest, FailureReportListsEachFailureUpToTheLimitAndCountsTheRest)
{
    std::vector<TInstallFailure> failures = {
        {"C:\\SETUP\\one.txt", "C:\\Sample\\one.txt", "reason one"},
        {"Program group Fenmarch", "", "reason two"},
        {"C:\\SETUP\\three.txt", "C:\\Sample\\three.txt", "reason three"},
    };
    std::string all = FailureReport(failures);
    for (const TInstallFailure& f : failures) {
        EXPECT_TRUE(Contains(all, f.What)) << all;
        EXPECT_TRUE(Contains(all, f.Reason)) << all;
        if (!f.Where.empty()) EXPECT_TRUE(Contains(all, f.Where)) << all;
    }
    std::string cut = FailureReport(failures, 2);
    EXPECT_TRUE(Contains(cut, "reason two")) << cut;
    EXPECT_FALSE(Contains(cut, "three")) << cut;
    EXPECT_TRUE(Contains(cut, "1 more")) << cut;
}

TEST(EngineHelpersTest, BracketsAreQuotedLikeCommasAndParentheses)
{
    struct Case {
        const char* argument;
        const char* sent;
    } cases[] = {
        {"Tern [Beta]", "\"Tern [Beta]\""},
        {"a]b", "\"a]b\""},
        {"[x", "\"[x\""},
        {"Plain Tern", "Plain Tern"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.sent, CommandArgument(c.argument)) << c.argument;
}

TEST(EngineHelpersTest, CopyErrorTextNeverShowsABareNumber)
{
    struct Case {
        unsigned long error;
        const char* systemText;
        const char* expected;
    } cases[] = {
        {2, "File not found.\r\n", "the file was not found"},  // our own sentence first
        {123, "Invalid name.\r\n", "invalid name"},
        {6, "The handle is invalid. \r\n", "the handle is invalid"},
        {1392, "DNS name is corrupt.", "DNS name is corrupt"},  // an acronym keeps its case
        {4242, "", "an unknown system error (4242)"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, CopyErrorText(c.error, c.systemText)) << c.error;
}

TEST(EngineHelpersTest, FailureReportShortensLongNamesAsTheProgressLabelsDo)
{
    std::string source = "C:\\SETUP\\" + std::string(300, 's') + ".txt";
    std::string dest = "C:\\Sample\\" + std::string(300, 'd') + ".txt";
    std::string caption = std::string(300, 'c') + " end";
    std::string report = FailureReport({{source, dest, "the path is too long"},
                                        {caption, "", "the program manager refused it", "Program item "}});
    EXPECT_TRUE(Contains(report, "\r\n..." + source.substr(source.size() - 37) + " -> ..." +
                                     dest.substr(dest.size() - 37) + ": the path is too long"))
        << report;
    EXPECT_TRUE(Contains(report, "\r\nProgram item ..." + caption.substr(caption.size() - 37) + ": "))
        << report;
    // Every line fits: two shortened names, the arrow and the reason.
    std::string::size_type start = 0, longest = 0;
    while (start < report.size()) {
        std::string::size_type end = report.find("\r\n", start);
        if (end == std::string::npos) end = report.size();
        longest = std::max(longest, end - start);
        start = end + 2;
    }
    EXPECT_LE(longest, 40u + 4u + 40u + 2u + 30u) << report;
}

// ---------------------------------------------------------------------------
// Directories, copies and progress.

class CopyFilesTest : public EngineRun {};

TEST_F(CopyFilesTest, ExpandCreatesOnlyTheDirectoriesAndLeavesBarAndTextAlone)
{
    Fake.Disk.Put("C:\\SETUP\\a.txt", "a");
    Fake.Disk.Put("C:\\SETUP\\sys.dll", "s");
    Prepare(Settings + Lines({"Expand=1", "[Dirs]", "data=1", "[FilesIn]", "a.txt=",
                              "[FilesOut]", "a.txt=0", "[SysFilesIn]", "sys.dll=",
                              "[SysFilesOut]", "sys.dll=0", "[Items]", "a.txt=A", "[AddOns]",
                              "0=a.txt"}));
    View.Position = 12;
    Next();
    EXPECT_TRUE(Fake.Disk.DirExists("C:\\Sample"));
    EXPECT_TRUE(Fake.Disk.DirExists("C:\\Sample\\data"));
    EXPECT_TRUE(Files.Copies.empty());
    EXPECT_FALSE(Fake.Disk.FileExists("C:\\Sample\\a.txt"));
    EXPECT_FALSE(Fake.Disk.FileExists("C:\\WINDOWS\\sys.dll"));
    EXPECT_FALSE(Fake.Disk.FileExists("C:\\Sample\\Pellwick.upi"));
    EXPECT_EQ(0, Progman.Opens);
    EXPECT_TRUE(Progman.Attempts.empty());
    EXPECT_FALSE(Fake.Registry.KeyExists(RegRoot::LocalMachine, UninstallEntry));
    EXPECT_TRUE(Shell.Opened.empty());
    EXPECT_EQ(Copying, View.Text);
    EXPECT_EQ(12, View.Position);
    EXPECT_EQ("", View.Source);
    EXPECT_EQ("", View.Destination);
    EXPECT_TRUE(View.Completed);
    EXPECT_TRUE(View.ProgressPage);
    EXPECT_EQ((std::vector<unsigned>{1000}), Clock.Sleeps);
    EXPECT_TRUE(Boxes().empty());
    ExpectEnding();
}

TEST_F(CopyFilesTest, DirsValueZeroIsAFullPathAnyOtherValueIsUnderDestDir)
{
    Run(Settings + Lines({"[Dirs]", "C:\\Other\\Full=0", "bin\\lib=1", "empty=", "word=yes",
                          "padded=00", "D:\\Abs=0"}),
        "C:\\Deep\\Er\\Sample");
    // The double refuses a directory whose parent is missing, so the
    // nested ones exist only if they were made outermost first.
    const char* made[] = {"C:\\Deep\\Er\\Sample", "C:\\Other\\Full",  "C:\\Deep\\Er\\Sample\\bin",
                          "C:\\Deep\\Er\\Sample\\bin\\lib",          "C:\\Deep\\Er\\Sample\\empty",
                          "C:\\Deep\\Er\\Sample\\word",              "C:\\Deep\\Er\\Sample\\padded",
                          "D:\\Abs"};
    for (const char* dir : made) EXPECT_TRUE(Fake.Disk.DirExists(dir)) << dir;
    EXPECT_TRUE(View.Completed);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(CopyFilesTest, ExistingDestDirAndDirsAreLeftAsTheyAre)
{
    Fake.Disk.Put("C:\\Sample\\bin\\keep.txt", "k");
    Run(Settings + Lines({"[Dirs]", "bin=1"}));
    EXPECT_EQ("k", Fake.Disk.Get("C:\\Sample\\bin\\keep.txt"));
    EXPECT_TRUE(View.Completed);
}

// A [Dirs] name that carries a drive, given without the value "0", puts a
// ":" inside DestDir's path; the creation rule cannot take such a path
// apart, and the run must still come to its end instead of crashing.
TEST_F(CopyFilesTest, DirsNameWithDriveUnderDestDirDoesNotRecurseForever)
{
    EXPECT_EXIT(
        {
            Run(Settings + Lines({"[Dirs]", "D:\\Data=1", "after=1"}));
            std::exit(View.Completed && Fake.Disk.DirExists("C:\\Sample\\after") ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(CopyFilesTest, PathLabelsShowTheLowerCasedPathCutToFortyBeforeEachCopy)
{
    std::string source31 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0.TXT";  // C:\SETUP\ + 31 = 40
    Fake.Disk.Put("C:\\SETUP\\" + source31, "1");
    Fake.Disk.Put("C:\\SETUP\\VIEWER.EXE", "2");
    Fake.Disk.MakeDirs("C:\\Program Files\\Sample Suite\\bin");
    Run(Settings + Lines({"[FilesIn]", source31 + "=", "VIEWER.EXE=", "[FilesOut]", "a.txt=0",
                          "bin\\viewer.exe=0"}),
        "C:\\Program Files\\Sample Suite");
    ASSERT_EQ(3u, Files.Copies.size());
    EXPECT_EQ("c:\\setup\\abcdefghijklmnopqrstuvwxyz0.txt", Files.Copies[0].SourceLabel);
    EXPECT_EQ("c:\\program files\\sample suite\\a.txt", Files.Copies[0].DestinationLabel);
    EXPECT_EQ("c:\\setup\\viewer.exe", Files.Copies[1].SourceLabel);
    EXPECT_EQ("...ram files\\sample suite\\bin\\viewer.exe", Files.Copies[1].DestinationLabel);
    // The labels keep the last file's paths; the template copy leaves them.
    EXPECT_EQ("c:\\setup\\viewer.exe", View.Source);
    EXPECT_EQ("...ram files\\sample suite\\bin\\viewer.exe", View.Destination);
    EXPECT_EQ("2", Fake.Disk.Get("C:\\Program Files\\Sample Suite\\bin\\viewer.exe"));
    // Both paths are shown for each file.
    EXPECT_EQ(4, View.PathsShown);
}

TEST_F(CopyFilesTest, SystemFilesGoFirstThenProductFilesThenTheTemplate)
{
    Fake.Disk.Put("C:\\SETUP\\a.txt", "a");
    Fake.Disk.Put("C:\\SETUP\\b.txt", "b");
    Fake.Disk.Put("C:\\SETUP\\sys\\x.dll", "x");
    Run(Settings + Lines({"[FilesIn]", "a.txt=", "b.txt=", "[FilesOut]", "first.txt=0",
                          "second.txt=1", "[SysFilesIn]", "sys\\x.dll=", "[SysFilesOut]",
                          "x32.dll=0"}));
    ASSERT_EQ(4u, Files.Copies.size());
    const auto& c = Files.Copies;
    EXPECT_EQ("C:\\SETUP\\sys\\x.dll", c[0].Source);
    EXPECT_EQ("C:\\WINDOWS\\x32.dll", c[0].Dest);
    EXPECT_EQ("C:\\SETUP\\a.txt", c[1].Source);
    EXPECT_EQ("C:\\Sample\\first.txt", c[1].Dest);
    EXPECT_EQ("C:\\SETUP\\b.txt", c[2].Source);
    EXPECT_EQ("C:\\Sample\\second.txt", c[2].Dest);
    EXPECT_EQ("C:\\SETUP\\Pellwick.up_", c[3].Source);
    EXPECT_EQ("C:\\Sample\\Pellwick.upi", c[3].Dest);
    EXPECT_TRUE(c[3].FailIfExists);
    EXPECT_EQ("x", Fake.Disk.Get("C:\\WINDOWS\\x32.dll"));
    EXPECT_EQ("a", Fake.Disk.Get("C:\\Sample\\first.txt"));
    EXPECT_EQ("b", Fake.Disk.Get("C:\\Sample\\second.txt"));
    EXPECT_TRUE(Contains(Fake.Disk.Get("C:\\Sample\\Pellwick.upi"), "uninstall record template"));
    // ProgressStep 100 div 6: each copy starts before its own advance.
    EXPECT_EQ(0, c[0].Position);
    EXPECT_EQ(16, c[1].Position);
    EXPECT_EQ(32, c[2].Position);
    EXPECT_EQ(48, c[3].Position);
    EXPECT_TRUE(View.Completed);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(CopyFilesTest, OnlyOverwriteFlagZeroReplacesAnExistingFile)
{
    struct Case {
        const char* flag;
        bool replaces;
    } cases[] = {{"0", true}, {"1", false}, {"yes", false}, {"", false}, {"00", false}};
    for (const Case& c : cases) {
        for (bool system : {false, true}) {
            SCOPED_TRACE(std::string("flag '") + c.flag + (system ? "' system" : "' product"));
            std::string dest = system ? "C:\\WINDOWS\\f.dll" : "C:\\Sample\\f.dll";
            Fake.Disk.Put("C:\\SETUP\\f.dll", "new");
            Fake.Disk.Put(dest, "old");
            Fake.Disk.Put("C:\\SETUP\\g.dll", "new");
            Fake.Disk.Remove("C:\\Sample\\fresh.dll");
            Files.Copies.clear();
            Shared.InstallFailures.clear();
            std::string flag = c.flag;
            // fresh.dll does not exist yet: whatever its flag, it is copied.
            Run(Settings + (system ? Lines({"[SysFilesIn]", "f.dll=", "[SysFilesOut]",
                                            "f.dll=" + flag, "[FilesIn]", "g.dll=",
                                            "[FilesOut]", "fresh.dll=" + flag})
                                   : Lines({"[FilesIn]", "f.dll=", "g.dll=", "[FilesOut]",
                                            "f.dll=" + flag, "fresh.dll=" + flag})));
            EXPECT_EQ(c.replaces ? "new" : "old", Fake.Disk.Get(dest));
            EXPECT_EQ("new", Fake.Disk.Get("C:\\Sample\\fresh.dll"));
            ASSERT_GE(Files.Copies.size(), 1u);
            EXPECT_EQ(!c.replaces, Files.Copies[0].FailIfExists);
            // A file left in place on purpose is no failure.
            EXPECT_EQ(0u, BoxesWith(TMsgIcon::Warning));
            EXPECT_EQ(Installed, View.Text);
        }
    }
}

TEST_F(CopyFilesTest, ProgressStepsThenRegistryOneThenFull)
{
    struct Case {
        int sysFiles, files;
        int afterTemplate, afterRegistry;
    } cases[] = {
        {0, 0, 33, 34},   // 100 div 3
        {4, 6, 77, 78},   // 100 div 13 = 7, eleven steps
        {0, 98, 0, 1},    // 100 div 101 = 0
        {50, 60, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.sysFiles) + " system, " + std::to_string(c.files) + " files");
        ResetSharedState();
        Shared.InstallFailures.clear();
        Shell.Positions.clear();
        Progman.PositionAtOpen = -1;
        std::string sysIn = "[SysFilesIn]\r\n", sysOut = "[SysFilesOut]\r\n";
        std::string in = "[FilesIn]\r\n", out = "[FilesOut]\r\n";
        for (int i = 0; i < c.sysFiles; ++i) {
            std::string name = "s" + std::to_string(i) + ".dll";
            Fake.Disk.Put("C:\\SETUP\\" + name, "s");
            sysIn += name + "=\r\n";
            sysOut += name + "=0\r\n";
        }
        for (int i = 0; i < c.files; ++i) {
            std::string name = "f" + std::to_string(i) + ".txt";
            Fake.Disk.Put("C:\\SETUP\\" + name, "f");
            in += name + "=\r\n";
            out += name + "=0\r\n";
        }
        Run(Settings + sysIn + sysOut + in + out + Lines({"[AddOns]", "0=readme.txt"}));
        int step = 100 / (c.sysFiles + c.files + 3);
        EXPECT_EQ(step, Shared.ProgressStep);
        // One pause per file, each after that file's advance.
        ASSERT_EQ(static_cast<std::size_t>(c.sysFiles + c.files + 1), Clock.Positions.size());
        for (int i = 0; i < c.sysFiles + c.files; ++i)
            EXPECT_EQ((i + 1) * step, Clock.Positions[static_cast<std::size_t>(i)]) << i;
        EXPECT_EQ(c.afterTemplate, Progman.PositionAtOpen);
        ASSERT_EQ(1u, Shell.Positions.size());
        EXPECT_EQ(c.afterRegistry, Shell.Positions[0]);
        EXPECT_EQ(100, View.Position);
        EXPECT_EQ(Installed, View.Text);
        EXPECT_TRUE(Boxes().empty());
    }
}

TEST_F(CopyFilesTest, PausesAreHalfASecondPerFileThenOneSecondAtTheEndUnderTheHourglass)
{
    Fake.Disk.Put("C:\\SETUP\\a.txt", "a");
    Fake.Disk.Put("C:\\SETUP\\b.txt", "b");
    Fake.Disk.Put("C:\\SETUP\\s.dll", "s");
    Run(Settings + Lines({"[SysFilesIn]", "s.dll=", "[SysFilesOut]", "s.dll=0", "[FilesIn]",
                          "a.txt=", "b.txt=", "[FilesOut]", "a.txt=0", "b.txt=0", "[Items]",
                          "a.txt=A", "b.txt=B"}));
    EXPECT_EQ((std::vector<unsigned>{500, 500, 500, 1000}), Clock.Sleeps);
    for (TCursor cursor : Clock.CursorsThen) EXPECT_EQ(TCursor::HourGlass, cursor);
    EXPECT_EQ((std::vector<TCursor>{TCursor::HourGlass, TCursor::Default}), Fake.Desktop.Cursors);
    ExpectEnding();
    EXPECT_TRUE(View.Completed);
    EXPECT_TRUE(View.ProgressPage);
    EXPECT_EQ(Installed, View.Text);
}

TEST_F(CopyFilesTest, MissingSourceIsShownAdvancedPausedListedAndTheRunGoesOn)
{
    Fake.Disk.Put("C:\\SETUP\\b.txt", "b");
    Run(Settings + Lines({"[FilesIn]", "missing.txt=", "b.txt=", "[FilesOut]", "missing.txt=0",
                          "b.txt=0"}));
    ASSERT_EQ(3u, Files.Copies.size());
    EXPECT_EQ("c:\\setup\\missing.txt", Files.Copies[0].SourceLabel);
    EXPECT_EQ("c:\\sample\\missing.txt", Files.Copies[0].DestinationLabel);
    EXPECT_EQ((std::vector<unsigned>{500, 500, 1000}), Clock.Sleeps);
    EXPECT_EQ(20, Clock.Positions[0]);  // 100 div 5, advanced although nothing was copied
    EXPECT_EQ("b", Fake.Disk.Get("C:\\Sample\\b.txt"));
    EXPECT_FALSE(Fake.Disk.FileExists("C:\\Sample\\missing.txt"));
    EXPECT_EQ(1, Progman.Opens);
    EXPECT_EQ("Sample 1.0", UninstallDisplayName());
    EXPECT_EQ(100, View.Position);
    EXPECT_TRUE(View.Completed);
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ(TMsgIcon::Warning, Boxes()[0].Icon);
    EXPECT_EQ(Title, Boxes()[0].Caption);
    EXPECT_TRUE(Contains(Boxes()[0].Text, "C:\\SETUP\\missing.txt")) << Boxes()[0].Text;
    EXPECT_FALSE(Contains(Boxes()[0].Text, "b.txt")) << Boxes()[0].Text;
    EXPECT_EQ(Incomplete, View.Text);
}

TEST_F(CopyFilesTest, ShortFilesOutStopsWithListIndexErrorAndNextRerunsWithoutResettingBar)
{
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) Fake.Disk.Put(std::string("C:\\SETUP\\") + name, name);
    Run(Settings + Lines({"[FilesIn]", "a.txt=", "b.txt=", "c.txt=", "[FilesOut]", "a.txt=0",
                          "[Items]", "a.txt=A", "[AddOns]", "0=a.txt"}));
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("List index out of bounds.", Boxes()[0].Text);
    EXPECT_EQ(Title, Boxes()[0].Caption);
    EXPECT_EQ(TMsgIcon::Stop, Boxes()[0].Icon);
    EXPECT_EQ("a.txt", Fake.Disk.Get("C:\\Sample\\a.txt"));
    ASSERT_EQ(1u, Files.Copies.size());  // not b, and no template copy
    // b's labels were never shown.
    EXPECT_EQ("c:\\setup\\a.txt", View.Source);
    EXPECT_FALSE(View.Completed);
    EXPECT_TRUE(View.ProgressPage);
    EXPECT_EQ(Copying, View.Text);
    EXPECT_EQ(0, Progman.Opens);
    EXPECT_FALSE(Fake.Registry.KeyExists(RegRoot::LocalMachine, UninstallEntry));
    EXPECT_TRUE(Shell.Opened.empty());
    EXPECT_EQ(16, View.Position);  // 100 div 6, once
    EXPECT_EQ((std::vector<unsigned>{500, 1000}), Clock.Sleeps);
    ExpectEnding();

    // Next again takes the path field afresh and runs from the start.
    Forget();
    Shared.DestDir = "C:\\Second";
    Next();
    EXPECT_EQ("C:\\Second", Shared.DestDir);
    EXPECT_EQ("a.txt", Fake.Disk.Get("C:\\Second\\a.txt"));
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("List index out of bounds.", Boxes()[0].Text);
    EXPECT_EQ(32, View.Position);
    EXPECT_FALSE(View.Completed);
    ExpectEnding();
}

TEST_F(CopyFilesTest, ShortSysFilesOutStopsBeforeAnyProductFile)
{
    Fake.Disk.Put("C:\\SETUP\\s1.dll", "1");
    Fake.Disk.Put("C:\\SETUP\\s2.dll", "2");
    Fake.Disk.Put("C:\\SETUP\\a.txt", "a");
    Run(Settings + Lines({"[SysFilesIn]", "s1.dll=", "s2.dll=", "[SysFilesOut]", "s1.dll=0",
                          "[FilesIn]", "a.txt=", "[FilesOut]", "a.txt=0", "more.txt=0"}));
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("List index out of bounds.", Boxes()[0].Text);
    EXPECT_EQ("1", Fake.Disk.Get("C:\\WINDOWS\\s1.dll"));
    EXPECT_FALSE(Fake.Disk.FileExists("C:\\Sample\\a.txt"));
    EXPECT_FALSE(View.Completed);
    ExpectEnding();
}

TEST_F(CopyFilesTest, SurplusFilesOutEntriesAreIgnored)
{
    Fake.Disk.Put("C:\\SETUP\\a.txt", "a");
    Run(Settings + Lines({"[FilesIn]", "a.txt=", "[FilesOut]", "a.txt=0", "extra.txt=0"}));
    EXPECT_EQ(2u, Files.Copies.size());  // a.txt and the template
    EXPECT_TRUE(View.Completed);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(CopyFilesTest, TemplateCopyKeepsAnExistingRecordAndAMissingTemplateIsListed)
{
    // An earlier installation's record stays: fail-if-exists, and no failure.
    Fake.Disk.Put("C:\\Sample\\Pellwick.upi", "; earlier record\r\n");
    Run(Settings);
    EXPECT_TRUE(Contains(Fake.Disk.Get("C:\\Sample\\Pellwick.upi"), "earlier record"));
    EXPECT_FALSE(Contains(Fake.Disk.Get("C:\\Sample\\Pellwick.upi"), "template"));
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Installed, View.Text);
}

TEST_F(CopyFilesTest, MissingTemplateIsListedAndTheRunGoesOn)
{
    Fake.Disk.Remove("C:\\SETUP\\Pellwick.up_");
    Run(Settings + Lines({"[Items]", "a.exe=A"}));
    EXPECT_EQ(3u, Progman.Sent.size());
    EXPECT_EQ("Sample 1.0", UninstallDisplayName());
    EXPECT_TRUE(View.Completed);
    ASSERT_EQ(1u, BoxesWith(TMsgIcon::Warning));
    EXPECT_TRUE(Contains(Boxes().back().Text, "Pellwick.up_")) << Boxes().back().Text;
    EXPECT_EQ(Incomplete, View.Text);
}

// ---------------------------------------------------------------------------
// The program group.

class ProgramGroupTest : public EngineRun {};

TEST_F(ProgramGroupTest, CommandsGoInOrderGroupItemsThenUninstallAndTheConversationClosesLast)
{
    Run(Settings + Lines({"[Items]", "bin\\viewer.exe=Sample Viewer", "help.hlp=Help",
                          "[AddOns]", "0=readme.txt"}));
    EXPECT_EQ((std::vector<std::string>{
                  "[CreateGroup(Fenmarch)]\r\n",
                  "[AddItem(C:\\Sample\\bin\\viewer.exe,Sample Viewer)]\r\n",
                  "[AddItem(C:\\Sample\\help.hlp,Help)]\r\n",
                  "[AddItem(C:\\WINDOWS\\Skorvel.exe C:\\Sample,Uninstall Sample)]\r\n",
              }),
              Progman.Sent);
    EXPECT_TRUE(Progman.Refused.empty());
    EXPECT_EQ(1, Progman.Opens);
    EXPECT_EQ(1, Progman.Closes);
    ASSERT_EQ(1u, Shell.ConversationOpen.size());
    EXPECT_TRUE(Shell.ConversationOpen[0]);  // closed only after the add-ons
    EXPECT_FALSE(Progman.IsOpen());
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ProgramGroupTest, CommandTextQuotesArgumentsWithCommasOrParenthesesAndCutsAt255)
{
    std::string longCaption(300, 'c');
    Run(Lines({"[Settings]", "Application=Sample", "Version=1.0", "ProgGroup=Tools, (old)",
               "[Items]", "a,b).exe=Viewer, (beta)", "x.exe=" + longCaption}),
        "C:\\My (Apps)");
    ASSERT_EQ(4u, Progman.Sent.size());
    EXPECT_EQ("[CreateGroup(\"Tools, (old)\")]\r\n", Progman.Sent[0]);
    EXPECT_EQ("[AddItem(\"C:\\My (Apps)\\a,b).exe\",\"Viewer, (beta)\")]\r\n", Progman.Sent[1]);
    EXPECT_EQ(("[AddItem(\"C:\\My (Apps)\\x.exe\"," + longCaption).substr(0, 255), Progman.Sent[2]);
    EXPECT_EQ("[AddItem(\"C:\\WINDOWS\\Skorvel.exe C:\\My (Apps)\",Uninstall Sample)]\r\n",
              Progman.Sent[3]);
}

TEST_F(ProgramGroupTest, EmptyItemsSendsOnlyGroupAndUninstallItem)
{
    Run(Lines({"[Settings]", "Application=Sample", "Version=1.0", "ProgGroup=Suite"}));
    EXPECT_EQ((std::vector<std::string>{
                  "[CreateGroup(Suite)]\r\n",
                  "[AddItem(C:\\WINDOWS\\Skorvel.exe C:\\Sample,Uninstall Sample)]\r\n"}),
              Progman.Sent);
}

TEST_F(ProgramGroupTest, RefusedItemIsResentUntilAcceptedBeforeTheNextOne)
{
    Progman.RefuseCommand = "[AddItem(C:\\Sample\\a.exe,A)]\r\n";
    Progman.RefuseTimes = 4;  // accepted at the fifth attempt, the last allowed
    Run(Settings + Lines({"[Items]", "a.exe=A", "b.exe=B"}));
    std::vector<std::string> expected = {"[CreateGroup(Fenmarch)]\r\n"};
    for (int i = 0; i < 5; ++i) expected.push_back(Progman.RefuseCommand);
    expected.push_back("[AddItem(C:\\Sample\\b.exe,B)]\r\n");
    expected.push_back("[AddItem(C:\\WINDOWS\\Skorvel.exe C:\\Sample,Uninstall Sample)]\r\n");
    EXPECT_EQ(expected, Progman.Attempts);
    EXPECT_EQ((std::vector<unsigned>{200, 200, 200, 200, 1000}), Clock.Sleeps);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Installed, View.Text);
}

TEST_F(ProgramGroupTest, ItemRefusedFiveTimesIsGivenUpListedAndTheRestStillSent)
{
    Progman.RefuseCommand = "[AddItem(C:\\Sample\\a.exe,Alpha)]\r\n";
    Progman.RefuseTimes = 1000;
    Run(Settings + Lines({"[Items]", "a.exe=Alpha", "b.exe=B"}));
    EXPECT_EQ(5u, Progman.Refused.size());
    EXPECT_EQ((std::vector<std::string>{
                  "[CreateGroup(Fenmarch)]\r\n", "[AddItem(C:\\Sample\\b.exe,B)]\r\n",
                  "[AddItem(C:\\WINDOWS\\Skorvel.exe C:\\Sample,Uninstall Sample)]\r\n"}),
              Progman.Sent);
    EXPECT_EQ((std::vector<unsigned>{200, 200, 200, 200, 1000}), Clock.Sleeps);
    EXPECT_EQ("Sample 1.0", UninstallDisplayName());
    EXPECT_TRUE(View.Completed);
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ(TMsgIcon::Warning, Boxes()[0].Icon);
    EXPECT_TRUE(Contains(Boxes()[0].Text, "Alpha")) << Boxes()[0].Text;
    EXPECT_EQ(Incomplete, View.Text);
}

TEST_F(ProgramGroupTest, NoProgramManagerIsOneFailureAndItemsAreNotAttempted)
{
    Progman.Answers = false;
    Fake.Disk.Put("C:\\SETUP\\a.txt", "a");
    Run(Settings + Lines({"[FilesIn]", "a.txt=", "[FilesOut]", "a.txt=0", "[Items]", "a.exe=A",
                          "b.exe=B", "[AddOns]", "1=a.txt"}));
    EXPECT_EQ(1, Progman.Opens);
    EXPECT_TRUE(Progman.Sent.empty());
    for (const std::string& command : Progman.Attempts)
        EXPECT_FALSE(Contains(command, "C:\\Sample\\a.exe") || Contains(command, "C:\\Sample\\b.exe"))
            << command;
    EXPECT_EQ((std::vector<unsigned>{500, 1000}), Clock.Sleeps);
    // The rest of the run is done.
    EXPECT_EQ("Sample 1.0", UninstallDisplayName());
    EXPECT_EQ((std::vector<std::string>{"C:\\SETUP\\a.txt"}), Shell.Opened);
    EXPECT_EQ(100, View.Position);
    EXPECT_TRUE(View.Completed);
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ(TMsgIcon::Warning, Boxes()[0].Icon);
    EXPECT_TRUE(Contains(Boxes()[0].Text, "Fenmarch")) << Boxes()[0].Text;
    EXPECT_EQ(1u, Shared.InstallFailures.size());
    EXPECT_EQ(Incomplete, View.Text);
}

TEST_F(ProgramGroupTest, RefusedCreateGroupIsSentOnceListedAndItemsStillGo)
{
    Progman.RefuseCommand = "[CreateGroup(Fenmarch)]\r\n";
    Progman.RefuseTimes = 1000;
    Run(Settings + Lines({"[Items]", "a.exe=A"}));
    EXPECT_EQ(1u, Progman.Refused.size());
    EXPECT_EQ((std::vector<std::string>{
                  "[AddItem(C:\\Sample\\a.exe,A)]\r\n",
                  "[AddItem(C:\\WINDOWS\\Skorvel.exe C:\\Sample,Uninstall Sample)]\r\n"}),
              Progman.Sent);
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ(TMsgIcon::Warning, Boxes()[0].Icon);
    EXPECT_EQ(Incomplete, View.Text);
}

TEST_F(ProgramGroupTest, RefusedUninstallItemIsSentOnceAndNotReported)
{
    Progman.RefuseCommand = "[AddItem(C:\\WINDOWS\\Skorvel.exe C:\\Sample,Uninstall Sample)]\r\n";
    Progman.RefuseTimes = 1000;
    Run(Settings);
    EXPECT_EQ(1u, Progman.Refused.size());
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Installed, View.Text);
    EXPECT_EQ((std::vector<unsigned>{1000}), Clock.Sleeps);
}

// ---------------------------------------------------------------------------
// Add-ons.

class AddOnsTest : public EngineRun {};

TEST_F(AddOnsTest, CodesZeroToTwoAreOpenedInFileOrderOthersSkipped)
{
    Run(Settings + Lines({"[AddOns]", "0=readme.txt", "3=three.exe", "1=extras\\setup.exe",
                          "10=ten.exe", "-1=minus.exe", "2=notes.wri", "+1=plus.exe",
                          "$1=hex.exe", "$A=hexten.exe", " 02 = blank.exe", "00=",
                          "000=tool.exe /quiet"}));
    EXPECT_EQ((std::vector<std::string>{
                  "C:\\SETUP\\readme.txt", "C:\\SETUP\\extras\\setup.exe", "C:\\SETUP\\notes.wri",
                  "C:\\SETUP\\plus.exe", "C:\\SETUP\\hex.exe", "C:\\SETUP\\blank.exe",
                  "C:\\SETUP\\", "C:\\SETUP\\tool.exe /quiet"}),
              Shell.Opened);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(View.Completed);
    EXPECT_EQ(Installed, View.Text);
}

TEST_F(AddOnsTest, EmptySectionOpensNothing)
{
    Run(Settings + Lines({"[AddOns]"}));
    EXPECT_TRUE(Shell.Opened.empty());
    EXPECT_TRUE(View.Completed);
}

TEST_F(AddOnsTest, NonIntegerCodeStopsTheRunAfterGroupAndRegistry)
{
    Run(Settings + Lines({"[Items]", "a.exe=A", "[AddOns]", "0=first.exe", "A=bad.exe",
                          "1=later.exe"}));
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("'A' is not a valid integer value.", Boxes()[0].Text);
    EXPECT_EQ(Title, Boxes()[0].Caption);
    EXPECT_EQ(TMsgIcon::Stop, Boxes()[0].Icon);
    EXPECT_EQ((std::vector<std::string>{"C:\\SETUP\\first.exe"}), Shell.Opened);
    EXPECT_FALSE(View.Completed);
    EXPECT_TRUE(View.ProgressPage);
    // Already done: group, items, registry and the uninstall record.
    EXPECT_EQ(3u, Progman.Sent.size());
    EXPECT_EQ("Sample 1.0", UninstallDisplayName());
    EXPECT_TRUE(Contains(Fake.Disk.Get("C:\\Sample\\pellwick.upi"), "[Uninstall]"));
    // Not done: filling the bar, the completion text, closing the conversation.
    EXPECT_EQ(34, View.Position);
    EXPECT_EQ(Copying, View.Text);
    EXPECT_EQ(0, Progman.Closes);
    ExpectEnding();
}

// ---------------------------------------------------------------------------
// What a run reports at its end.

// Through the wizard: the run's ending and what its failures do to the
// pages after it.
class EngineFailureTest : public EngineRun {
protected:
    ~EngineFailureTest() override { Dialog.reset(); }

    // Loads the description and opens the wizard on its destination page.
    void Prepare(const std::string& description, const std::string& dest = "C:\\Sample")
    {
        EngineRun::Prepare(description, dest);
        Dialog.reset(new TMainDialog);
        Probed.Dialog = Dialog.get();
        Dialog->CreateForm();
        Dialog->ShowPage(Dialog->Panel4);
        Dialog->PrevBut.SetEnabled(true);
        Dialog->EditPath.SetText(dest);
        Shared.WizardState = wsDestination;
        Forget();
    }
    // Presses Next, as the user does.
    void Next() { Dialog->NextBut.Click(); }
    void Run(const std::string& description, const std::string& dest = "C:\\Sample")
    {
        Prepare(description, dest);
        Next();
    }
    std::string Front() const override
    {
        return Recorder.Log.empty() || Recorder.Log.back() != "front 432x347" ? "" : "front";
    }

    std::unique_ptr<TMainDialog> Dialog;
};

// The wizard's side of the run: the copying text painted before the
// progress page, both path labels painted for each file, and the state
// and Previous button the run leaves behind, however it ends.
TEST_F(EngineFailureTest, WizardShowsTheRunOnItsProgressPageAndLeavesItsStateBehind)
{
    Fake.Disk.Put("C:\\SETUP\\a.txt", "a");
    Fake.Disk.Put("C:\\SETUP\\b.txt", "b");
    Run(Settings + Lines({"[FilesIn]", "a.txt=", "b.txt=", "[FilesOut]", "a.txt=0", "b.txt=0"}));
    std::vector<std::string>& log = Recorder.Log;
    auto info = std::find(log.begin(), log.end(), "repaint 330x31");
    auto page = std::find(log.begin(), log.end(), "repaint 333x200");
    EXPECT_TRUE(info != log.end() && page != log.end() && info < page);
    EXPECT_EQ(4, std::count(log.begin(), log.end(), "repaint 292x13"));
    EXPECT_EQ("c:\\setup\\b.txt", Dialog->SourceLabel.Caption());
    EXPECT_EQ(wsInstalled, Shared.WizardState);
    EXPECT_FALSE(Dialog->PrevBut.Enabled());
    EXPECT_TRUE(Dialog->Panel5.Visible());
    EXPECT_FALSE(Dialog->Panel4.Visible());
    EXPECT_EQ(Installed, Dialog->InfoLabel.Caption());
    ExpectEnding();

    // Stopped by an error: the destination state, Previous still enabled.
    Run(Settings + Lines({"[FilesIn]", "a.txt=", "b.txt=", "[FilesOut]", "a.txt=0"}));
    EXPECT_EQ(wsDestination, Shared.WizardState);
    EXPECT_TRUE(Dialog->PrevBut.Enabled());
    EXPECT_TRUE(Dialog->Panel5.Visible());
    EXPECT_EQ(Copying, Dialog->InfoLabel.Caption());
    ExpectEnding();
}

TEST_F(EngineFailureTest, CleanRunShowsNoWarningAndTheFinalPageClaimsSuccess)
{
    Fake.Disk.Put("C:\\SETUP\\a.txt", "a");
    Fake.Disk.Put("C:\\SETUP\\b.txt", "b");
    Fake.Disk.Put("C:\\Sample\\kept.txt", "old");
    Run(Settings + Lines({"[FilesIn]", "a.txt=", "b.txt=", "[FilesOut]", "a.txt=0", "kept.txt=1",
                          "[Items]", "a.txt=A"}));
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(Shared.InstallFailures.empty());
    EXPECT_EQ(Installed, Dialog->InfoLabel.Caption());
    Next();  // no closing notices: the final page
    EXPECT_EQ(wsFinished, Shared.WizardState);
    EXPECT_EQ(FinalSuccess, Dialog->InfoLabel.Caption());
}

TEST_F(EngineFailureTest, EveryFailedCopyIsListedInOneWarningBoxAndTheTextsSaySo)
{
    Fake.Disk.Put("C:\\SETUP\\nofolder.txt", "1");
    Fake.Disk.Put("C:\\SETUP\\locked.txt", "2");
    Fake.Disk.Put("C:\\SETUP\\kept.txt", "3");
    Fake.Disk.Put("C:\\SETUP\\fits.txt", "4");
    Fake.Disk.Put("C:\\SETUP\\toolong.txt", "5");
    Fake.Disk.Put("C:\\SETUP\\good.txt", "6");
    std::string dest = "C:\\" + std::string(236, 'd');  // 239 characters
    Fake.Disk.Put(dest + "\\locked.txt", "old", true);
    Fake.Disk.Put(dest + "\\kept.txt", "old");
    std::string fits(19, 'f');      // dest + "\" + 19 = 259
    std::string tooLong(20, 't');   // 260
    Run(Settings + Lines({"[FilesIn]", "absent.txt=", "nofolder.txt=", "locked.txt=", "kept.txt=",
                          "fits.txt=", "toolong.txt=", "good.txt=", "[FilesOut]", "absent.txt=0",
                          "sub\\nofolder.txt=0", "locked.txt=0", "kept.txt=1", fits + "=0",
                          tooLong + "=0", "good.txt=0"}),
        dest);
    EXPECT_EQ("4", Fake.Disk.Get(dest + "\\" + fits));
    EXPECT_FALSE(Fake.Disk.FileExists(dest + "\\" + tooLong));
    EXPECT_EQ("old", Fake.Disk.Get(dest + "\\locked.txt"));
    EXPECT_EQ("6", Fake.Disk.Get(dest + "\\good.txt"));
    EXPECT_EQ(100, Dialog->ProgressBar.Position());
    EXPECT_EQ(wsInstalled, Shared.WizardState);
    ASSERT_EQ(1u, Boxes().size());
    const TFakeDesktop::Box& box = Boxes()[0];
    EXPECT_EQ(TMsgIcon::Warning, box.Icon);
    EXPECT_EQ(Title, box.Caption);
    for (const char* listed : {"absent.txt", "nofolder.txt", "locked.txt", "toolong.txt"})
        EXPECT_TRUE(Contains(box.Text, listed)) << listed << "\n" << box.Text;
    for (const char* clean : {"kept.txt", "fits.txt", "good.txt"})
        EXPECT_FALSE(Contains(box.Text, clean)) << clean << "\n" << box.Text;
    EXPECT_EQ(4u, Shared.InstallFailures.size());
    EXPECT_EQ(Incomplete, Dialog->InfoLabel.Caption());

    Next();  // the final page
    EXPECT_EQ(wsFinished, Shared.WizardState);
    EXPECT_NE(FinalSuccess, Dialog->InfoLabel.Caption());
    EXPECT_FALSE(Contains(Dialog->InfoLabel.Caption(), "successfully")) << Dialog->InfoLabel.Caption();
    EXPECT_TRUE(Contains(Dialog->InfoLabel.Caption(), "Sample 1.0")) << Dialog->InfoLabel.Caption();
}

// The warning belongs to the end of the run: by the time the user is asked
// to read it, the wizard is in front again and the hourglass is gone, as
// for the error box of a run stopped by an error.
TEST_F(EngineFailureTest, FailureWarningIsShownAfterTheHourglassWithTheWizardInFront)
{
    Run(Settings + Lines({"[FilesIn]", "absent.txt=", "[FilesOut]", "absent.txt=0", "[AddOns]",
                          "0=readme.txt"}));
    ASSERT_EQ(1u, Desktop.CursorAtBox.size());
    EXPECT_EQ(TMsgIcon::Warning, Boxes()[0].Icon);
    EXPECT_EQ(TCursor::Default, Desktop.CursorAtBox[0]);
    EXPECT_TRUE(Desktop.FrontBeforeBox[0]);
}

TEST_F(EngineFailureTest, ErrorBoxIsShownAfterTheRunEnding)
{
    Run(Settings + Lines({"[AddOns]", "A=bad.exe"}));
    ASSERT_EQ(1u, Desktop.CursorAtBox.size());
    EXPECT_EQ(TMsgIcon::Stop, Boxes()[0].Icon);
    EXPECT_EQ(TCursor::Default, Desktop.CursorAtBox[0]);
    EXPECT_TRUE(Desktop.FrontBeforeBox[0]);
}

TEST_F(EngineFailureTest, RunStoppedByAnErrorStillListsWhatFailedBeforeIt)
{
    // A missing file, then an [AddOns] name the run stops at.
    Run(Settings + Lines({"[FilesIn]", "absent.txt=", "[FilesOut]", "absent.txt=0",
                          "[AddOns]", "A=bad.exe"}));
    ASSERT_EQ(2u, Boxes().size());
    EXPECT_EQ(TMsgIcon::Warning, Boxes()[0].Icon);
    EXPECT_TRUE(Contains(Boxes()[0].Text, "absent.txt")) << Boxes()[0].Text;
    EXPECT_EQ("'A' is not a valid integer value.", Boxes()[1].Text);
    EXPECT_EQ(wsDestination, Shared.WizardState);
}

// ---------------------------------------------------------------------------
// Destinations and names as users and control files really write them.

class TypedPathsTest : public EngineRun {};

TEST_F(TypedPathsTest, DoubledBackslashesAreOneSeparatorForEveryFolderMade)
{
    Fake.Disk.Put("C:\\SETUP\\a.txt", "a");
    Run(Settings + Lines({"[Dirs]", "logs\\\\old=1", "C:\\Data\\\\cache=0", "[FilesIn]", "a.txt=",
                          "[FilesOut]", "logs\\old\\a.txt=0"}),
        "C:\\New\\\\Tool");
    for (const char* dir : {"C:\\New", "C:\\New\\Tool", "C:\\New\\Tool\\logs",
                            "C:\\New\\Tool\\logs\\old", "C:\\Data", "C:\\Data\\cache"})
        EXPECT_TRUE(Fake.Disk.DirExists(dir)) << dir;
    EXPECT_EQ("a", Fake.Disk.Get("C:\\New\\Tool\\logs\\old\\a.txt"));
    EXPECT_TRUE(Boxes().empty()) << Boxes()[0].Text;
    EXPECT_EQ(Installed, View.Text);
}

// Japanese and Chinese names whose second bytes are "\", "|", "[" and "]":
// each lands under exactly its name, and no folder is made from half of one.
TEST_F(TypedPathsTest, TwoByteNamesInstallUnderExactlyTheirNames)
{
    struct Case {
        unsigned codePage;
        std::string slash, bar, bracket;  // names with such second bytes
    } cases[] = {
        {932, "\x97\x5C\x8E\x5A\x95\x5C", "\x83\x7C\x83\x43\x83\x93\x83\x67", "\x81\x5B\x81\x5D"},
        {950, "\xB3\x5C\xA5\x5C\xBB\x5C", "\xA4\x7C", "\xA4\x5B\xA4\x5D"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codePage);
        Fake.Locale.UseCodePage(c.codePage);
        Fake.Disk.Put("C:\\SETUP\\a.txt", "a");
        std::set<std::string> before = Fake.Disk.Dirs();
        const std::string dest = "C:\\" + c.slash;
        const std::string target = c.slash + "\\" + c.bracket + ".txt";
        Run(Lines({"[Settings]", "Application=" + c.slash, "ProgGroup=" + c.bar, "[Dirs]", c.slash + "=",
                   "C:\\" + c.bar + "\\" + c.slash + "=0", "[FilesIn]", "a.txt=", "[FilesOut]", target + "=0",
                   "[Items]", target + "=" + c.bracket + c.bar, "[Keys]", "Base=\\Software\\" + c.slash,
                   c.bar + "=" + c.bracket, "[" + c.bar + "]", "Name=$NAME"}),
            dest);
        EXPECT_TRUE(Boxes().empty()) << Boxes()[0].Text;
        std::set<std::string> made;
        for (const std::string& dir : Fake.Disk.Dirs())
            if (before.count(dir) == 0) made.insert(dir);
        std::set<std::string> expected;
        for (const std::string& dir : {dest, dest + "\\" + c.slash, "C:\\" + c.bar,
                                       "C:\\" + c.bar + "\\" + c.slash})
            expected.insert(TFakeDisk::Key(dir));
        EXPECT_EQ(expected, made);
        EXPECT_EQ("a", Fake.Disk.Get(dest + "\\" + target));
        EXPECT_TRUE(Fake.Disk.FileExists(dest + "\\pellwick.upi"));
        std::string path;
        EXPECT_TRUE(Fake.Registry.GetString(RegRoot::CurrentUser, "Software\\" + c.slash + "\\Install",
                                            "Path", path));
        EXPECT_EQ(dest, path);
        EXPECT_TRUE(Fake.Registry.GetString(RegRoot::CurrentUser,
                                            "Software\\" + c.slash + "\\" + c.bracket, "Name", path));
        EXPECT_TRUE(Fake.Registry.GetString(
            RegRoot::LocalMachine,
            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + c.slash, "DisplayName", path));
        ASSERT_LE(2u, Progman.Sent.size());
        EXPECT_EQ("[CreateGroup(" + c.bar + ")]\r\n", Progman.Sent[0]);
        EXPECT_EQ("[AddItem(" + dest + "\\" + target + "," + c.bracket + c.bar + ")]\r\n", Progman.Sent[1]);
        Progman.Sent.clear();
    }
}

TEST_F(TypedPathsTest, FileAlreadyInPlaceAsItsOwnTargetIsNotAFailure)
{
    // The product unpacked into the folder it installs to.
    Fake.Disk.Put("C:\\SETUP\\a.txt", "a");
    Fake.Disk.Put("C:\\SETUP\\bin\\b.txt", "b");
    Fake.Disk.Put("C:\\SETUP\\kept.txt", "k");
    Run(Settings + Lines({"[FilesIn]", "a.txt=", "bin\\b.txt=", "kept.txt=", "[FilesOut]", "a.txt=0",
                          "BIN\\\\b.txt=0", "kept.txt=1"}),
        "c:\\setup");
    EXPECT_TRUE(Boxes().empty()) << Boxes()[0].Text;
    EXPECT_TRUE(Shared.InstallFailures.empty());
    EXPECT_EQ("a", Fake.Disk.Get("C:\\SETUP\\a.txt"));
    EXPECT_EQ("b", Fake.Disk.Get("C:\\SETUP\\bin\\b.txt"));
    EXPECT_EQ(Installed, View.Text);
}

TEST_F(TypedPathsTest, TargetNamesKeptForDevicesAreListedAndNeverWritten)
{
    const char* devices[] = {"aux.h", "con.txt", "nul", "prn.log", "com1.log", "aux\\x.txt"};
    std::string in = "[FilesIn]\r\n", out = "[FilesOut]\r\n";
    for (const char* name : devices) {
        Fake.Disk.Put(std::string("C:\\SETUP\\") + name, "d");
        in += std::string(name) + "=\r\n";
        out += std::string(name) + "=0\r\n";
    }
    // A name that climbs out lands where it leads.
    Fake.Disk.Put("C:\\SETUP\\up.txt", "u");
    in += "up.txt=\r\n";
    out += "..\\up.txt=0\r\n";
    Run(Settings + "[Dirs]\r\naux=1\r\n" + in + out);
    ASSERT_EQ(1u, BoxesWith(TMsgIcon::Warning));
    for (const char* name : devices) {
        EXPECT_TRUE(Contains(Boxes()[0].Text, std::string("C:\\Sample\\") + name + ": the name is kept "
                                                                               "by Windows for a device"))
            << name << "\n" << Boxes()[0].Text;
    }
    for (const TProbeFiles::CopyCall& copy : Files.Copies)
        EXPECT_TRUE(DeviceNamePart(copy.Dest).empty()) << copy.Dest;
    EXPECT_EQ("u", Fake.Disk.Get("C:\\Sample\\..\\up.txt"));
    EXPECT_EQ(6u, Shared.InstallFailures.size());
    EXPECT_EQ(Incomplete, View.Text);
}

TEST_F(TypedPathsTest, SystemErrorsAreListedInTheSystemsWords)
{
    Fake.Disk.Put("C:\\SETUP\\a.txt", "a");
    Run(Settings + Lines({"[FilesIn]", "a.txt=", "[FilesOut]", "a|b.txt=0"}));
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_TRUE(Contains(Boxes()[0].Text, "a|b.txt: invalid name")) << Boxes()[0].Text;
    EXPECT_FALSE(Contains(Boxes()[0].Text, "error 123")) << Boxes()[0].Text;
}

TEST_F(TypedPathsTest, ControlFileHeldOpenDuringTheRunIsToldAndNoSuccessClaimed)
{
    Fake.Disk.Put("C:\\SETUP\\a.txt", "a");
    Prepare(Settings + Lines({"[FilesIn]", "a.txt=", "[FilesOut]", "a.txt=0", "[Keys]",
                              "Base=\\Software\\Sample", "Registration=Owner", "[Registration]",
                              "Serial=S-1"}));
    // Another program opens it without sharing after the wizard has read it.
    Fake.Disk.Find("C:\\SETUP\\Pellwick.ipi")->Locked = true;
    Next();
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_TRUE(Contains(Boxes()[0].Text, "Pellwick.ipi: the settings for the registry could not be "
                                          "read from it: the file is in use"))
        << Boxes()[0].Text;
    EXPECT_EQ(Incomplete, View.Text);
    // Everything else is still made.
    EXPECT_EQ("a", Fake.Disk.Get("C:\\Sample\\a.txt"));
    EXPECT_EQ("Sample 1.0", UninstallDisplayName());
    EXPECT_TRUE(Fake.Disk.FileExists("C:\\Sample\\pellwick.upi"));
}

TEST_F(TypedPathsTest, ControlFileReadableDuringTheRunGivesItsSettingsAndNoWarning)
{
    Prepare(Settings + Lines({"[Keys]", "=\\Software\\Sample", "Registration=Owner", "[Registration]",
                              "Serial=S-1"}));
    Next();
    EXPECT_TRUE(Boxes().empty()) << Boxes()[0].Text;
    std::string serial;
    EXPECT_TRUE(Fake.Registry.GetString(RegRoot::CurrentUser, "Software\\Sample\\Owner", "Serial", serial));
    EXPECT_EQ("S-1", serial);
}

TEST_F(EngineFailureTest, ASecondCleanRunForgetsTheFailuresOfTheFirst)
{
    Prepare(Settings + Lines({"[FilesIn]", "late.txt=", "[FilesOut]", "late.txt=0"}));
    Next();
    ASSERT_EQ(1u, BoxesWith(TMsgIcon::Warning));
    // The file turns up and the installation is run once more.
    Fake.Disk.Put("C:\\SETUP\\late.txt", "l");
    Shared.WizardState = wsDestination;
    Forget();
    Next();
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Installed, Dialog->InfoLabel.Caption());
    Next();
    EXPECT_EQ(FinalSuccess, Dialog->InfoLabel.Caption());
}

}  // namespace

// ---------------------------------------------------------------------------
// The installation list the run writes beside the record.

class InstallListRunTest : public EngineRun {
protected:
    // The entries of the written list as "Kind name [of]" lines.
    std::vector<std::string> Listed(const std::string& dest = "C:\\Sample")
    {
        TInstallList list;
        EXPECT_TRUE(list.Read(Fake.Disk.Get(dest + "\\Pellwick.lst")));
        static const char* const kinds[] = {"Folder", "File", "SystemFile", "CountedFile", "Group",
                                            "Item",   "Key",  "Value",      "GroupFolder", "Shortcut"};
        std::vector<std::string> lines;
        for (const TListEntry& e : list.Entries)
            lines.push_back(std::string(kinds[static_cast<int>(e.Kind)]) + " " + e.Name +
                            (e.Of.empty() ? "" : " [" + e.Of + "]"));
        return lines;
    }
    const std::string Product = Settings + Lines({
        "ProgGroup=Tools", "[Dirs]", "bin=",
        "[SysFilesIn]", "x.dll=", "[SysFilesOut]", "x.dll=1",
        "[FilesIn]", "a.exe=", "b.txt=", "[FilesOut]", "bin\\a.exe=0", "b.txt=1",
        "[Items]", "bin\\a.exe=Tool A",
        "[Keys]", "Base=\\Software\\Maker\\Sample", "Reg=Owner", "[Reg]", "Name=$NAME"});
};

TEST_F(InstallListRunTest, ARunListsWhatItMadeInOrderWithFullKeyPathsAndNoCounterValues)
{
    for (const char* name : {"x.dll", "a.exe", "b.txt"}) Fake.Disk.Put(std::string("C:\\SETUP\\") + name, name);
    Run(Product);
    EXPECT_EQ((std::vector<std::string>{
                  "Folder C:\\Sample",
                  "Folder C:\\Sample\\bin",
                  "File C:\\Sample\\bin\\a.exe",
                  "File C:\\Sample\\b.txt",
                  "Group Tools",
                  "Item Tool A [Tools]",
                  "Item Uninstall Sample [Tools]",
                  "Key HKCU\\Software\\Maker\\Sample",
                  "Key HKCU\\Software\\Brenvolt\\Skorvel",
                  "Key HKCU\\Software\\Maker\\Sample\\Owner",
                  "Value Name [HKCU\\Software\\Maker\\Sample\\Owner]",
                  "Key HKCU\\Software\\Maker\\Sample\\Install",
                  "Value Path [HKCU\\Software\\Maker\\Sample\\Install]",
                  "Value Date [HKCU\\Software\\Maker\\Sample\\Install]",
                  "Key HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sample",
                  "Value DisplayName [HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sample]",
                  "Value UninstallString [HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sample]",
                  "Value QuietUninstallString [HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sample]",
                  "Value DisplayVersion [HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sample]",
                  "Value InstallLocation [HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sample]",
                  "Value InstallDate [HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sample]",
                  "Value DisplayIcon [HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sample]",
                  "Value EstimatedSize [HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sample]",
                  "Value NoModify [HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sample]",
                  "Value NoRepair [HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sample]",
                  "Key HKCU\\Software\\Brenvolt\\Skorvel\\Counters",
                  "SystemFile C:\\WINDOWS\\x.dll [x.dll]",
              }),
              Listed());
}

TEST_F(InstallListRunTest, EstimatedSizeCountsTheFilesCopiedNotThoseKeptEachReadOnce)
{
    Fake.Disk.Put("C:\\SETUP\\x.dll", std::string(1000, 'x'));
    Fake.Disk.Put("C:\\SETUP\\a.exe", std::string(2000, 'a'));
    Fake.Disk.Put("C:\\SETUP\\b.txt", std::string(5000, 'b'));
    Fake.Disk.MakeDirs("C:\\Sample");
    Fake.Disk.Put("C:\\Sample\\b.txt", "the user's");  // kept: b.txt=1
    Run(Product);
    std::uint32_t kb = 0;
    EXPECT_TRUE(Fake.Registry.GetDWord(RegRoot::LocalMachine,
                                       "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sample",
                                       "EstimatedSize", kb));
    EXPECT_EQ(3u, kb);  // 3,000 bytes
    // One look at each copy gives both its size and its stamp's time.
    EXPECT_EQ(2, Files.FactReads);
}

TEST_F(InstallListRunTest, AnItemWithoutCaptionIsListedByTheTitleItsShortcutTakes)
{
    Fake.Disk.Put("C:\\SETUP\\a.exe", "a");
    Run(Settings + Lines({"ProgGroup=Tools", "[Dirs]", "bin=", "[FilesIn]", "a.exe=", "[FilesOut]",
                          "bin\\a.exe=0", "[Items]", "bin\\a.exe="}));
    std::vector<std::string> listed = Listed();
    // The program manager names it after its file, less the extension.
    EXPECT_NE(listed.end(), std::find(listed.begin(), listed.end(), "Item a [Tools]"));
}

// Without the program manager: shortcut files in every user's Programs
// folder (the user's where the system has none), listed by full path.
TEST_F(InstallListRunTest, ShortcutFilesWithoutAProgramManagerAreListedByFullPath)
{
    const std::string common = Fake.StartMenu.CommonPrograms, user = Fake.StartMenu.Programs;
    for (const std::string& programs : {common, user}) {
        Fake.StartMenu.CommonPrograms = programs == common ? common : "";
        Fake.Disk.MakeDirs(programs);
        for (const char* name : {"x.dll", "a.exe", "b.txt"}) Fake.Disk.Put(std::string("C:\\SETUP\\") + name, name);
        Prepare(Product + Lines({"[Items]", "b.txt="}));
        View.AsksProgman = false;
        Next();
        EXPECT_TRUE(Shared.InstallFailures.empty()) << programs;
        EXPECT_TRUE(Progman.Attempts.empty()) << "the program manager was asked";
        EXPECT_EQ(0, Progman.Opens);
        const std::string group = programs + "\\Tools";
        std::string target;
        EXPECT_TRUE(Fake.StartMenu.ShortcutTarget(group + "\\Tool A.lnk", target));
        EXPECT_EQ("C:\\Sample\\bin\\a.exe", target);
        EXPECT_EQ("C:\\Sample\\bin", Fake.StartMenu.WorkingDirs[TFakeDisk::Key(group + "\\Tool A.lnk")]);
        EXPECT_TRUE(Fake.StartMenu.ShortcutTarget(group + "\\Uninstall Sample.lnk", target));
        EXPECT_EQ("C:\\WINDOWS\\Skorvel.exe", target);
        EXPECT_EQ("C:\\Sample", Fake.StartMenu.Arguments[TFakeDisk::Key(group + "\\Uninstall Sample.lnk")]);
        std::vector<std::string> listed = Listed();
        for (const std::string& line : {"GroupFolder " + group, "Shortcut " + group + "\\Tool A.lnk",
                                        "Shortcut " + group + "\\Uninstall Sample.lnk"})
            EXPECT_NE(listed.end(), std::find(listed.begin(), listed.end(), line)) << line;
        Fake.Disk.Remove("C:\\Sample\\Pellwick.lst");
    }
}

// The entry's values are all listed, so the uninstaller takes it whole.
TEST_F(InstallListRunTest, TheUninstallerTakesTheWholeEntryTheRunListed)
{
    for (const char* name : {"x.dll", "a.exe", "b.txt"}) Fake.Disk.Put(std::string("C:\\SETUP\\") + name, name);
    Run(Product);
    const char* const entry = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sample";
    ASSERT_EQ(10u, Fake.Registry.ValueCount(RegRoot::LocalMachine, entry));
    TRemoval removal("C:\\Sample", "");
    removal.Load();
    removal.Perform();
    EXPECT_FALSE(Fake.Registry.KeyExists(RegRoot::LocalMachine, entry));
}

// A silent run's shortcut files and their folder, in every user's Programs
// folder, go with the uninstaller.
TEST_F(InstallListRunTest, TheUninstallerTakesTheShortcutFilesAndTheirFolder)
{
    for (const char* name : {"x.dll", "a.exe", "b.txt"}) Fake.Disk.Put(std::string("C:\\SETUP\\") + name, name);
    Fake.Disk.MakeDirs(Fake.StartMenu.CommonPrograms);
    Prepare(Product);
    View.AsksProgman = false;
    Next();
    const std::string group = Fake.StartMenu.CommonPrograms + "\\Tools";
    ASSERT_TRUE(Fake.Disk.FileExists(group + "\\Uninstall Sample.lnk"));
    TRemoval removal("C:\\Sample", Fake.StartMenu.Programs);
    removal.Load();
    removal.Perform();
    EXPECT_FALSE(Fake.Disk.FileExists(group + "\\Tool A.lnk"));
    EXPECT_FALSE(Fake.Disk.FileExists(group + "\\Uninstall Sample.lnk"));
    EXPECT_FALSE(Fake.Disk.DirExists(group));
    EXPECT_TRUE(Fake.Disk.DirExists(Fake.StartMenu.CommonPrograms));
}

// The program manager of a shell that keeps groups as folders makes the
// group in the user's Programs folder or every user's: the run lists the
// folder it finds and the items' shortcuts in it, and the uninstaller
// takes them from there without the program manager.
TEST_F(InstallListRunTest, TheGroupTheProgramManagerMadeIsListedByItsFolderWhereTheShellMadeIt)
{
    const std::string user = Fake.StartMenu.Programs, common = Fake.StartMenu.CommonPrograms;
    struct Row {
        const char* what;
        std::vector<std::string> made;  // where the shell made the group
        bool uninstallLink;             // whether it made the uninstall item's shortcut
        std::string listed;
    } rows[] = {
        {"the user's", {user}, true, user},
        {"every user's", {common}, true, common},
        {"both: the user's first", {common, user}, true, user},
        {"a shortcut the shell did not make", {common}, false, common},
        {"none: groups are no folders", {}, true, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        for (const char* name : {"x.dll", "a.exe", "b.txt"}) Fake.Disk.Put(std::string("C:\\SETUP\\") + name, name);
        for (const std::string& programs : row.made) {
            Fake.Disk.Put(programs + "\\Tools\\Tool A.lnk", "link");
            if (row.uninstallLink) Fake.Disk.Put(programs + "\\Tools\\Uninstall Sample.lnk", "link");
        }
        Prepare(Product);
        Next();
        std::vector<std::string> folderLines, want;
        for (const std::string& line : Listed())
            if (line.compare(0, 8, "Shortcut") == 0 || line.compare(0, 11, "GroupFolder") == 0)
                folderLines.push_back(line);
        const std::string group = row.listed + "\\Tools";
        if (!row.listed.empty()) {
            want = {"GroupFolder " + group, "Shortcut " + group + "\\Tool A.lnk"};
            if (row.uninstallLink) want.push_back("Shortcut " + group + "\\Uninstall Sample.lnk");
        }
        EXPECT_EQ(want, folderLines);
        if (!row.listed.empty()) {
            int opens = Progman.Opens;
            TRemoval removal("C:\\Sample", user);
            removal.Load();
            removal.Perform();
            EXPECT_EQ(opens, Progman.Opens);
            EXPECT_FALSE(Fake.Disk.FileExists(group + "\\Tool A.lnk"));
            EXPECT_FALSE(Fake.Disk.DirExists(group));
        }
        for (const std::string& programs : {user, common}) {
            Fake.Disk.Remove(programs + "\\Tools\\Tool A.lnk");
            Fake.Disk.Remove(programs + "\\Tools\\Uninstall Sample.lnk");
            Fake.Disk.RemoveDir(programs + "\\Tools");
        }
        Fake.Disk.Remove("C:\\Sample\\Pellwick.lst");
    }
}

// Each copied file is listed with its size and time as copied; one the
// user fills afterwards outlives the product.
TEST_F(InstallListRunTest, CopiedFilesAreStampedAndOneTheUserChangesOutlivesTheProduct)
{
    for (const char* name : {"x.dll", "a.exe", "b.txt"}) Fake.Disk.Put(std::string("C:\\SETUP\\") + name, name);
    Run(Product);
    TInstallList list;
    ASSERT_TRUE(list.Read(Fake.Disk.Get("C:\\Sample\\Pellwick.lst")));
    int files = 0;
    for (const TListEntry& e : list.Entries) {
        if (e.Kind != TListKind::File) continue;
        ++files;
        EXPECT_EQ(FileStamp(Fake.Disk.Get(e.Name).size(), Fake.Disk.Find(e.Name)->WriteTime), e.Stamp) << e.Name;
    }
    EXPECT_EQ(2, files);
    Fake.Disk.Put("C:\\Sample\\b.txt", "filled by the user");
    TRemoval removal("C:\\Sample", "");
    removal.Load();
    int looks = Files.FactReads;
    removal.Perform();
    EXPECT_EQ(looks + 2, Files.FactReads);  // one look at each stamped file
    EXPECT_FALSE(Fake.Disk.FileExists("C:\\Sample\\bin\\a.exe"));
    EXPECT_EQ("filled by the user", Fake.Disk.Get("C:\\Sample\\b.txt"));
    ASSERT_FALSE(removal.Left().empty());
    EXPECT_EQ("C:\\Sample\\b.txt", removal.Left()[0].What);
    EXPECT_EQ("changed since it was installed", removal.Left()[0].Reason);
}

TEST_F(InstallListRunTest, AShortcutThatCannotBeWrittenIsAFailureAndNotListed)
{
    for (const char* name : {"x.dll", "a.exe", "b.txt"}) Fake.Disk.Put(std::string("C:\\SETUP\\") + name, name);
    Prepare(Product);
    View.AsksProgman = false;
    Fake.Disk.MakeDirs(Fake.StartMenu.CommonPrograms);
    Fake.Disk.Put(Fake.StartMenu.CommonPrograms + "\\Tools", "a file in the folder's place");
    Next();
    ASSERT_EQ(2u, Shared.InstallFailures.size());
    EXPECT_EQ("Program item ", Shared.InstallFailures[0].Label);
    EXPECT_EQ("the folder was not found", Shared.InstallFailures[0].Reason);
    for (const std::string& line : Listed()) EXPECT_EQ(std::string::npos, line.find("Tools\\")) << line;
}

TEST_F(InstallListRunTest, AReinstallOverAListWithLfLineEndsKeepsItsEntriesForTheUninstaller)
{
    Fake.Disk.Put("C:\\SETUP\\a.txt", "a");
    Run(Settings + Lines({"[FilesIn]", "a.txt=", "[FilesOut]", "a.txt=0"}));
    // An editor or a checkout saved the list with LF line ends alone.
    std::string text = Fake.Disk.Get("C:\\Sample\\Pellwick.lst");
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    Fake.Disk.Put("C:\\Sample\\Pellwick.lst", text);

    Fake.Disk.Put("C:\\SETUP\\b.txt", "b");
    Run(Settings + Lines({"[FilesIn]", "b.txt=", "[FilesOut]", "b.txt=0"}));
    std::vector<std::string> listed = Listed();
    EXPECT_NE(listed.end(), std::find(listed.begin(), listed.end(), "File C:\\Sample\\a.txt"));
    EXPECT_NE(listed.end(), std::find(listed.begin(), listed.end(), "File C:\\Sample\\b.txt"));

    TRemoval removal("C:\\Sample", "");
    removal.Load();
    removal.Perform();
    EXPECT_FALSE(Fake.Disk.FileExists("C:\\Sample\\a.txt"));
    EXPECT_FALSE(Fake.Disk.FileExists("C:\\Sample\\b.txt"));
}

TEST_F(InstallListRunTest, KeptFilesAreNotTheRunsAndASecondRunAddsOnlyItsNewCounts)
{
    for (const char* name : {"x.dll", "a.exe", "b.txt"}) Fake.Disk.Put(std::string("C:\\SETUP\\") + name, name);
    // There before any count: the system's own, perhaps.
    Fake.Disk.Put("C:\\WINDOWS\\x.dll", "older");
    Fake.Disk.Put("C:\\Sample\\b.txt", "users");
    Run(Product);
    std::vector<std::string> first = Listed();
    EXPECT_EQ(first.end(), std::find(first.begin(), first.end(), "File C:\\Sample\\b.txt"));
    EXPECT_EQ(first.end(), std::find(first.begin(), first.end(), "Folder C:\\Sample"));
    EXPECT_EQ("CountedFile C:\\WINDOWS\\x.dll [x.dll]", first.back());

    Forget();
    Next();
    std::vector<std::string> second = Listed();
    // Counted once by now, the file is shared among installations.
    ASSERT_EQ(first.size() + 1, second.size());
    EXPECT_EQ("SystemFile C:\\WINDOWS\\x.dll [x.dll]", second.back());
    EXPECT_TRUE(std::equal(first.begin(), first.end(), second.begin()));
}

TEST_F(InstallListRunTest, ARunStoppedByAnErrorListsWhatItMadeBefore)
{
    for (const char* name : {"a.txt", "b.txt"}) Fake.Disk.Put(std::string("C:\\SETUP\\") + name, name);
    Run(Settings + Lines({"[FilesIn]", "a.txt=", "b.txt=", "[FilesOut]", "a.txt=0"}));
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ((std::vector<std::string>{"Folder C:\\Sample", "File C:\\Sample\\a.txt"}), Listed());
}

TEST_F(InstallListRunTest, TheListIsSealedInTheMachinesKeyAndTheMachineCountsEachSharedFile)
{
    for (const char* name : {"x.dll", "a.exe", "b.txt"}) Fake.Disk.Put(std::string("C:\\SETUP\\") + name, name);
    Run(Product);
    EXPECT_EQ(TSealCheck::Matches, CheckListSeal("C:\\Sample", Fake.Disk.Get("C:\\Sample\\Pellwick.lst")));
    EXPECT_EQ(TSealCheck::Missing, CheckListSeal("C:\\Other", Fake.Disk.Get("C:\\Sample\\Pellwick.lst")));
    EXPECT_EQ(1, MachineCount("C:\\WINDOWS\\x.dll"));

    // Someone adds a line; the next installation carries none of the
    // changed list on and seals only its own lines.
    std::string changed = Fake.Disk.Get("C:\\Sample\\Pellwick.lst") + "File=C:\\Victim\\x.txt\r\n";
    Fake.Disk.Put("C:\\Sample\\Pellwick.lst", changed);
    EXPECT_EQ(TSealCheck::Differs, CheckListSeal("C:\\Sample", changed));
    Forget();
    Next();
    std::string text = Fake.Disk.Get("C:\\Sample\\Pellwick.lst");
    EXPECT_EQ(std::string::npos, text.find("Victim"));
    EXPECT_EQ(TSealCheck::Matches, CheckListSeal("c:\\sample\\", text));
    EXPECT_EQ(2, MachineCount("C:\\WINDOWS\\x.dll"));
}

TEST_F(InstallListRunTest, ASharedFileThereBeforeWithoutACountStartsTheMachinesCountAtOne)
{
    for (const char* name : {"x.dll", "a.exe", "b.txt"}) Fake.Disk.Put(std::string("C:\\SETUP\\") + name, name);
    Fake.Disk.Put("C:\\WINDOWS\\x.dll", "the system's");
    Run(Product);
    // Its last removal leaves it at 1: no removal of this product takes it.
    EXPECT_EQ(2, MachineCount("C:\\WINDOWS\\x.dll"));
}

TEST(Sha256, StandardTestVectors)
{
    EXPECT_EQ("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855", Sha256Hex(""));
    EXPECT_EQ("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", Sha256Hex("abc"));
    EXPECT_EQ("248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1",
              Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"));
    // Two blocks of padding: 56 to 63 bytes leave no room for the length.
    EXPECT_EQ("cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0",
              Sha256Hex(std::string(1000000, 'a')));
}
