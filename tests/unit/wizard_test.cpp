// The wizard: its state machine, notice paging, the final and cancellation
// pages, the user-details page and the destination page.
#include <algorithm>
#include <functional>

#include "engine/Description.h"
#include "engine/Engine.h"
#include "Fixtures.h"
#include "ui/MainDlg.h"
#include "core/Paths.h"
#include "core/WizardText.h"

namespace {

class WizardTest : public ProgramTest {
protected:
    WizardTest()
    {
        Shared.StartInfoShown = Shared.EndInfoShown = 0;
        Shared.InstallFailures.clear();
        Fake.Disk.MakeDirs("C:\\WINDOWS");
        Fake.Disk.Put("C:\\SETUP\\Pellwick.up_", "[Uninstall]\r\n");
    }
    // Loads a description and creates the wizard on its welcome page.
    TMainDialog& Open(const std::string& description)
    {
        WriteDescription(description);
        EXPECT_TRUE(LoadInstallDescription());
        Shared.ProductTitle = MakeProductTitle(Shared.InstallDescription.Application, Shared.InstallDescription.Version);
        dialog_ = std::make_unique<TMainDialog>();
        dialog_->CreateForm();
        return *dialog_;
    }
    void Notice(const std::string& name, const std::string& text)
    {
        Fake.Disk.Put("C:\\SETUP\\" + name, text);
    }
    std::string LastBox() const { return Boxes().empty() ? "<none>" : Boxes().back().Text; }
    // Which page panel is in front: the last created one that is shown.
    static std::string Front(TMainDialog& d)
    {
        if (d.Panel1.Visible()) return "notice";
        if (d.Panel2.Visible()) return "user";
        if (d.Panel5.Visible()) return "progress";
        if (d.Panel4.Visible()) return "destination";
        return "none";
    }

    std::unique_ptr<TMainDialog> dialog_;
};

const char* const ThreeNotices =
    "[Settings]\r\nApplication=Tool\r\nVersion=2.0\r\nDirectory=c:\\Tool\r\n"
    "[StartInfo]\r\none.txt=\r\ntwo.txt=\r\nthree.txt=\r\n";

TEST_F(WizardTest, WelcomePageAtCreation)
{
    TMainDialog& d = Open(ThreeNotices);
    EXPECT_EQ(wsNotices, Shared.WizardState);
    EXPECT_EQ("notice", Front(d));
    EXPECT_EQ(WizardText::InitialMemoLines, d.InfoMemo.Lines().size());
    EXPECT_EQ(12u, d.InfoMemo.Lines().size());
    EXPECT_FALSE(d.PrevBut.Enabled());
    EXPECT_TRUE(d.CancelBut.Enabled());
}

TEST_F(WizardTest, NoticesArePagedInOrderThenTheUserDetailsPage)
{
    Notice("one.txt", "first");
    Notice("two.txt", "second");
    Notice("three.txt", "third");
    TMainDialog& d = Open(ThreeNotices);
    const char* expected[] = {"first", "second", "third"};
    for (const char* text : expected) {
        d.NextBut.Click();
        EXPECT_EQ(text, d.InfoMemo.Text());
        EXPECT_EQ(wsNotices, Shared.WizardState);
        EXPECT_EQ(WizardText::Notices, d.InfoLabel.Caption());
    }
    d.NextBut.Click();
    EXPECT_EQ(wsUserDetails, Shared.WizardState);
    EXPECT_EQ("user", Front(d));
    EXPECT_TRUE(d.PrevBut.Enabled());
    EXPECT_EQ(WizardText::UserDetails, d.InfoLabel.Caption());
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(WizardTest, WithoutNoticesTheFirstNextShowsTheUserDetailsPage)
{
    TMainDialog& d = Open("[Settings]\r\nApplication=Tool\r\n");
    std::string welcome = d.InfoMemo.Text();
    d.NextBut.Click();
    EXPECT_EQ(wsUserDetails, Shared.WizardState);
    EXPECT_EQ("user", Front(d));
    EXPECT_EQ(welcome, d.InfoMemo.Text());
}

TEST_F(WizardTest, EveryKindOfLineBreakIsOneLine)
{
    EXPECT_EQ("a\r\nb\r\nc\r\n\r\nd", NoticeText("a\nb\rc\r\n\nd"));
    EXPECT_EQ("a\r\n\r\nb", NoticeText("a\r\r\nb"));
    EXPECT_EQ("", NoticeText(""));
    EXPECT_EQ("bin ary\r\nfile", NoticeText(std::string("bin\0ary\nfile", 12)));
    Notice("one.txt", "x\ny\rz");
    TMainDialog& d = Open(ThreeNotices);
    d.NextBut.Click();
    EXPECT_EQ((TStrings{"x", "y", "z"}), d.InfoMemo.Lines());
}

TEST_F(WizardTest, MissingNoticeFailsTheSameWayAtEveryNext)
{
    Notice("one.txt", "first");
    TMainDialog& d = Open(ThreeNotices);
    d.NextBut.Click();
    for (int press = 0; press < 3; ++press) {
        d.NextBut.Click();
        EXPECT_EQ("Cannot open file C:\\SETUP\\two.txt.", LastBox());
        EXPECT_EQ(TMsgIcon::Stop, Boxes().back().Icon);
        EXPECT_EQ("first", d.InfoMemo.Text());
        EXPECT_EQ(1, Shared.StartInfoShown);
        EXPECT_EQ(wsNotices, Shared.WizardState);
    }
    d.CancelBut.Click();
    EXPECT_EQ(wsFinished, Shared.WizardState);
}

TEST_F(WizardTest, TextTheMemoCannotHoldIsRefusedAndTheOldTextKept)
{
    // A window that holds at most 10 characters.
    struct TSmallMemo : TRecordingBackend {
        bool StoreText(TControl& c) override { return c.Caption().size() <= 10; }
    } backend;
    Notice("one.txt", "short");
    Notice("two.txt", "far too long for it");
    SetBackend(&backend);
    TMainDialog& d = Open(ThreeNotices);
    d.InfoMemo.SetText("initial");
    d.NextBut.Click();
    EXPECT_EQ("short", d.InfoMemo.Text());
    d.NextBut.Click();
    EXPECT_EQ("Text exceeds memo capacity.", LastBox());
    EXPECT_EQ("short", d.InfoMemo.Text());
    EXPECT_EQ(1, Shared.StartInfoShown);
    dialog_.reset();
    SetBackend(nullptr);
}

TEST_F(WizardTest, PreviousReturnsToTheNoticePanelWithoutRepeatingNotices)
{
    Notice("one.txt", "first");
    Notice("two.txt", "second");
    Notice("three.txt", "third");
    TMainDialog& d = Open(ThreeNotices);
    for (int i = 0; i < 4; ++i) d.NextBut.Click();
    ASSERT_EQ(wsUserDetails, Shared.WizardState);
    d.PrevBut.Click();
    EXPECT_EQ(wsNotices, Shared.WizardState);
    EXPECT_EQ("notice", Front(d));
    EXPECT_FALSE(d.PrevBut.Enabled());
    EXPECT_EQ(WizardText::Notices, d.InfoLabel.Caption());
    EXPECT_EQ("third", d.InfoMemo.Text());
    EXPECT_TRUE(d.Panel2.Visible());  // covered, not hidden

    d.NextBut.Click();  // straight back to the user details
    EXPECT_EQ(wsUserDetails, Shared.WizardState);
    d.NextBut.Click();
    ASSERT_EQ(wsDestination, Shared.WizardState);
    d.PrevBut.Click();
    EXPECT_EQ(wsNotices, Shared.WizardState);
    EXPECT_EQ("notice", Front(d));
    EXPECT_EQ(3, Shared.StartInfoShown);
    d.NextBut.Click();
    EXPECT_EQ(wsUserDetails, Shared.WizardState);
}

TEST_F(WizardTest, CancelFromEveryPageBuildsTheCancellationPage)
{
    const TWizardState stopsAt[] = {wsNotices, wsUserDetails, wsDestination};
    for (TWizardState stop : stopsAt) {
        ResetSharedState();
        Shared.StartInfoShown = 0;
        TMainDialog& d = Open("[Settings]\r\nApplication=Tool\r\nVersion=2.0\r\n");
        while (Shared.WizardState != stop) d.NextBut.Click();
        d.CancelBut.Click();
        EXPECT_EQ(wsFinished, Shared.WizardState) << stop;
        EXPECT_EQ("notice", Front(d)) << stop;
        EXPECT_FALSE(d.Panel2.Visible() || d.Panel4.Visible() || d.Panel5.Visible()) << stop;
        EXPECT_EQ("The installation of Tool 2.0 was not performed successfuly.", d.InfoLabel.Caption());
        EXPECT_EQ("&Finish", d.NextBut.Caption());
        EXPECT_FALSE(d.PrevBut.Enabled());
        EXPECT_FALSE(d.CancelBut.Enabled());
        TStrings lines = d.InfoMemo.Lines();
        ASSERT_EQ(5u, lines.size());
        EXPECT_EQ(WizardText::CancelParagraphs[0], lines[0]);
        EXPECT_EQ("", lines[1]);
        EXPECT_EQ(WizardText::CancelParagraphs[2], lines[4]);
        EXPECT_FALSE(Application().Terminated());
        d.NextBut.Click();  // Finish
        EXPECT_TRUE(Application().Terminated());
        Application() = TApplication();
    }
    EXPECT_FALSE(Fake.Disk.DirExists("c:\\tmp"));  // nothing was installed
}

TEST_F(WizardTest, PreviousAndCancelAreOnWhereTheyActAndDoNothingElsewhere)
{
    Notice("end.txt", "closing");
    TMainDialog& d = Open("[Settings]\r\nApplication=Tool\r\nDirectory=c:\\Tool\r\n"
                          "[EndInfo]\r\nend.txt=\r\n");
    const struct {
        TWizardState state;
        bool previous, cancel;  // on in that state
    } cases[] = {
        {wsNotices, false, true},      {wsUserDetails, true, true},
        {wsDestination, true, true},   {wsInstalled, false, true},
        {wsFinished, false, false},
    };
    for (const auto& c : cases) {
        while (Shared.WizardState != c.state) d.NextBut.Click();
        EXPECT_EQ(c.previous, d.PrevBut.Enabled()) << c.state;
        EXPECT_EQ(c.cancel, d.CancelBut.Enabled()) << c.state;
        // What a button that is off would do, were its handler reached.
        std::string caption = d.InfoLabel.Caption();
        std::string front = Front(d);
        if (!c.previous) d.PrevButClick(d.PrevBut);
        if (!c.cancel) d.CancelButClick(d.CancelBut);
        EXPECT_EQ(c.state, Shared.WizardState);
        EXPECT_EQ(caption, d.InfoLabel.Caption()) << c.state;
        EXPECT_EQ(front, Front(d)) << c.state;
    }
    EXPECT_EQ("Pellwick has installed Tool  successfully, congratulations.", d.InfoLabel.Caption());
}

TEST_F(WizardTest, ClosingEmptiesTheLabel)
{
    TMainDialog& d = Open(ThreeNotices);
    d.Close();
    EXPECT_EQ("", d.InfoLabel.Caption());
    EXPECT_EQ(TModalResult::Cancel, d.ModalResult);
    EXPECT_FALSE(Application().Terminated());
}

TEST_F(WizardTest, ClosingNoticesThenTheFinalPage)
{
    Notice("end1.txt", "closing one");
    Notice("end2.txt", "closing two");
    TMainDialog& d = Open("[Settings]\r\nApplication=Tool\r\nVersion=2.0\r\nDirectory=c:\\Tool\r\n"
                          "[EndInfo]\r\nend1.txt=\r\nend2.txt=\r\n");
    while (Shared.WizardState != wsInstalled) d.NextBut.Click();
    EXPECT_EQ("progress", Front(d));
    d.NextBut.Click();
    EXPECT_EQ("notice", Front(d));
    EXPECT_FALSE(d.Panel5.Visible());
    EXPECT_EQ("closing one", d.InfoMemo.Text());
    d.NextBut.Click();
    EXPECT_EQ("closing two", d.InfoMemo.Text());
    d.NextBut.Click();
    EXPECT_EQ(wsFinished, Shared.WizardState);
    EXPECT_EQ("Pellwick has installed Tool 2.0 successfully, congratulations.", d.InfoLabel.Caption());
    EXPECT_EQ(WizardText::FinalParagraphs[1], d.InfoMemo.Lines()[2]);
    EXPECT_EQ("&Finish", d.NextBut.Caption());
    EXPECT_FALSE(d.CancelBut.Enabled());
}

TEST_F(WizardTest, WithoutClosingNoticesTheFinalPageComesToTheFront)
{
    TMainDialog& d = Open("[Settings]\r\nApplication=Tool\r\nDirectory=c:\\Tool\r\n");
    while (Shared.WizardState != wsInstalled) d.NextBut.Click();
    d.NextBut.Click();
    EXPECT_EQ(wsFinished, Shared.WizardState);
    EXPECT_EQ("notice", Front(d));
    EXPECT_EQ("Pellwick has installed Tool  successfully, congratulations.", d.InfoLabel.Caption());
}

TEST_F(WizardTest, FinalParagraphsHaveTheirIntendedLengths)
{
    EXPECT_EQ(139u, std::string(WizardText::FinalParagraphs[0]).size());
    EXPECT_EQ(98u, std::string(WizardText::FinalParagraphs[1]).size());
    EXPECT_EQ(126u, std::string(WizardText::FinalParagraphs[2]).size());
}

TEST_F(WizardTest, AssembledTextsAreCutAt255)
{
    std::string app(250, 'a');
    TMainDialog& d = Open("[Settings]\r\nApplication=" + app + "\r\nVersion=1\r\n");
    EXPECT_EQ(255u, d.Caption().size());
    EXPECT_EQ(255u, d.InfoLabel.Caption().size());
    std::string whole = WizardText::WelcomeStart + app + " 1" + WizardText::WelcomeEnd;
    EXPECT_EQ(whole.substr(0, 255), d.InfoLabel.Caption());
}

// The owner and organisation the user-details page opens with.
class UserDetailsTest : public WizardTest {
protected:
    const std::string Win95 = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    const std::string WinNT = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    TMainDialog& ToUserPage()
    {
        TMainDialog& d = Open("[Settings]\r\nApplication=Tool\r\n");
        d.NextBut.Click();
        return d;
    }
};

TEST_F(UserDetailsTest, PrefilledFromTheRegisteredOwner)
{
    Fake.Registry.SetString(RegRoot::LocalMachine, Win95, "RegisteredOwner", "Ann Example");
    Fake.Registry.SetString(RegRoot::LocalMachine, Win95, "RegisteredOrganization", "Example Ltd");
    TMainDialog& d = ToUserPage();
    EXPECT_EQ("Ann Example", d.EditName.Text());
    EXPECT_EQ("Example Ltd", d.EditOrg.Text());
    EXPECT_EQ(0u, Fake.Registry.OpenHandles());
}

TEST_F(UserDetailsTest, WithoutAnyKeyTheFieldsAreEmptyAndNothingIsSaid)
{
    TMainDialog& d = ToUserPage();
    EXPECT_EQ(wsUserDetails, Shared.WizardState);
    EXPECT_EQ("", d.EditName.Text());
    EXPECT_EQ("", d.EditOrg.Text());
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(UserDetailsTest, NTKeyIsReadWhenTheFirstHoldsNeitherValue)
{
    Fake.Registry.SetString(RegRoot::LocalMachine, Win95, "RegisteredOwner", "");
    Fake.Registry.SetString(RegRoot::LocalMachine, WinNT, "RegisteredOwner", "Nils NT");
    Fake.Registry.SetString(RegRoot::LocalMachine, WinNT, "RegisteredOrganization", "NT Org");
    // A standard user may not write there: reading must still work.
    Fake.Registry.DenyWrite(RegRoot::LocalMachine, "SOFTWARE");
    TMainDialog& d = ToUserPage();
    EXPECT_EQ("Nils NT", d.EditName.Text());
    EXPECT_EQ("NT Org", d.EditOrg.Text());
}

TEST_F(UserDetailsTest, FirstKeyWinsWhenItHoldsAValue)
{
    Fake.Registry.SetString(RegRoot::LocalMachine, Win95, "RegisteredOwner", "Ann 95");
    Fake.Registry.SetString(RegRoot::LocalMachine, WinNT, "RegisteredOwner", "Nils NT");
    Fake.Registry.SetString(RegRoot::LocalMachine, WinNT, "RegisteredOrganization", "NT Org");
    TMainDialog& d = ToUserPage();
    EXPECT_EQ("Ann 95", d.EditName.Text());
    EXPECT_EQ("", d.EditOrg.Text());
}

TEST_F(UserDetailsTest, NonStringOwnerStopsThePage)
{
    Fake.Registry.SetString(RegRoot::LocalMachine, Win95, "RegisteredOrganization", "Org First");
    Fake.Registry.SetDWord(RegRoot::LocalMachine, Win95, "RegisteredOwner", 7);
    TMainDialog& d = Open("[Settings]\r\nApplication=Tool\r\n");
    for (int press = 0; press < 2; ++press) {
        d.NextBut.Click();
        EXPECT_EQ("Invalid data type for 'RegisteredOwner'.", LastBox());
        EXPECT_EQ(wsNoticesRead, Shared.WizardState);
        EXPECT_FALSE(d.Panel2.Visible());
    }
    EXPECT_EQ("Org First", Shared.UserOrganization);  // read before the owner failed
    EXPECT_EQ(0u, Fake.Registry.OpenHandles());
}

TEST_F(UserDetailsTest, CaptureCutsTo255AndRevisitsReread)
{
    Fake.Registry.SetString(RegRoot::LocalMachine, Win95, "RegisteredOwner", "Ann Example");
    TMainDialog& d = ToUserPage();
    d.EditName.SetText(std::string(300, 'n'));
    d.EditOrg.SetText("Typed Org");
    d.NextBut.Click();
    EXPECT_EQ(std::string(255, 'n'), Shared.UserName);
    EXPECT_EQ("Typed Org", Shared.UserOrganization);
    d.PrevBut.Click();
    d.NextBut.Click();
    EXPECT_EQ("Ann Example", d.EditName.Text());
    EXPECT_EQ("", d.EditOrg.Text());  // the registry has none: emptied again
}

TEST_F(WizardTest, DestinationTailRule)
{
    struct Case {
        const char* directory;
        const char* setting;
        const char* expected;
    } cases[] = {
        {"C:\\", "c:\\tmp", "C:\\tmp"},
        {"D:\\APPS", "c:\\tmp", "D:\\APPS\\tmp"},
        {"D:\\", "c:\\tmp", "D:\\tmp"},
        {"C:\\", "Programs\\Tool", "C:\\grams\\Tool"},
        {"C:\\", "c:\\", "C:\\"},
        {"C:\\Data", "ab", "C:\\Data\\"},
        {"C:\\Data", "c:\\Sub\\Dir", "C:\\Data\\Sub\\Dir"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, DestinationFor(c.directory, c.setting)) << c.directory << " + " << c.setting;
}

class DestinationTest : public WizardTest {
protected:
    TMainDialog& ToDestination(const std::string& directorySetting = "c:\\tmp")
    {
        Fake.Disk.MakeDirs("C:\\Apps\\Editor");
        Fake.Disk.MakeDirs("C:\\Apps\\.hidden");
        Fake.Disk.MakeDirs("C:\\Zeta");
        Fake.Disk.MakeDirs("C:\\alpha");
        Fake.Disk.MakeDirs("D:\\Data");
        Fake.Files.HiddenDirs = {"C:\\Apps\\.hidden"};
        Fake.Files.DriveList.push_back({'d', TDriveKind::Fixed, "DATA"});
        Fake.Files.Current = "D:\\Data";  // where the program was started
        TMainDialog& d = Open("[Settings]\r\nApplication=Tool\r\nVersion=2.0\r\nDirectory=" +
                              directorySetting + "\r\n");
        d.NextBut.Click();
        d.NextBut.Click();
        return d;
    }
};

TEST_F(DestinationTest, OpensOnTheRootOfCWithTheDirectorySetting)
{
    TMainDialog& d = ToDestination();
    EXPECT_EQ(wsDestination, Shared.WizardState);
    EXPECT_EQ("destination", Front(d));
    EXPECT_EQ("C:\\", d.DirectoryListBox.Directory());
    EXPECT_EQ("C:\\", Fake.Files.Current);
    EXPECT_EQ('c', d.DriveComboBox.Drive());
    EXPECT_EQ("c:\\tmp", d.EditPath.Text());
    EXPECT_EQ("Please accept the default path displayed or select a different path to install Tool 2.0 "
              "on your computer.",
              d.InfoLabel.Caption());
    std::vector<std::string> shown;
    for (const auto& e : d.DirectoryListBox.Entries()) shown.push_back(e.Text);
    EXPECT_EQ((std::vector<std::string>{"C:\\", "alpha", "Apps", "SETUP", "WINDOWS", "Zeta"}), shown);
}

TEST_F(DestinationTest, OpeningDirectoriesRecomputesThePath)
{
    TMainDialog& d = ToDestination();
    d.DirectoryListBox.UserOpened(2);  // Apps
    EXPECT_EQ("C:\\Apps", d.DirectoryListBox.Directory());
    EXPECT_EQ("C:\\Apps", Fake.Files.Current);
    EXPECT_EQ("C:\\Apps\\tmp", d.EditPath.Text());
    EXPECT_EQ("C:\\Apps\\tmp", Shared.DestDir);
    const auto& entries = d.DirectoryListBox.Entries();
    ASSERT_EQ(3u, entries.size());  // root, Apps, Editor; the hidden one left out
    EXPECT_EQ("Editor", entries[2].Text);
    EXPECT_EQ(2, entries[2].Indent);
    EXPECT_FALSE(entries[2].Open);

    d.DirectoryListBox.UserOpened(0);  // back to the root
    EXPECT_EQ("C:\\tmp", d.EditPath.Text());
    d.DriveComboBox.UserSelected(2);  // d:
    EXPECT_EQ("D:\\Data", d.DirectoryListBox.Directory());
    EXPECT_EQ("D:\\Data\\tmp", Shared.DestDir);
}

TEST_F(DestinationTest, DriveThatCannotBeEnteredLeavesEverythingAsItWas)
{
    TMainDialog& d = ToDestination();
    Fake.Files.DriveList.push_back({'e', TDriveKind::Removable, ""});
    Fake.Files.Unready.push_back({'e', 21});
    d.DriveComboBox.Refresh();
    d.EditPath.SetText("typed");
    std::string before = Shared.DestDir;
    d.DriveComboBox.UserSelected(3);
    EXPECT_EQ("I/O error 21.", LastBox());
    EXPECT_EQ('e', d.DriveComboBox.Drive());
    EXPECT_EQ("C:\\", d.DirectoryListBox.Directory());
    EXPECT_EQ("typed", d.EditPath.Text());
    EXPECT_EQ(before, Shared.DestDir);
    EXPECT_EQ("C:\\", Fake.Files.Current);
}

TEST_F(DestinationTest, TypedPathIsStoredExactlyButForBlanksAtItsEnd)
{
    // Windows drops the blanks from the folder's name but not from the
    // paths of the files in it: they would all fail.
    struct Case {
        const char* typed;
        const char* stored;
    } cases[] = {
        {"C:\\My Tool\\", "C:\\My Tool\\"},
        {"C:\\My Tool\\ ", "C:\\My Tool\\"},
        {"C:\\Tern \t  ", "C:\\Tern"},
        {"Lead ", "Lead"},
    };
    TMainDialog& d = ToDestination();
    for (const Case& c : cases) {
        d.EditPath.SetText(c.typed);
        Shared.WizardState = wsDestination;  // each case a run of its own
        d.NextBut.Click();
        EXPECT_EQ(c.stored, Shared.DestDir) << c.typed;
        EXPECT_EQ(wsInstalled, Shared.WizardState) << c.typed;
    }
}

TEST_F(DestinationTest, DestinationsThatCannotBeAFolderAreRefusedBeforeAnythingIsMade)
{
    Fake.Disk.Put("C:\\Existing.txt", "x");
    struct Case {
        const char* typed;
        const char* reason;
    } cases[] = {
        {"C:\\Tern|Suite", "may not hold the character |"},
        {"C:\\Tern\\CON", "\"CON\" is a name Windows keeps for a device"},
        {"C:\\Tern\\nul.dir", "\"nul.dir\" is a name Windows keeps for a device"},
        {"C:\\Existing.txt  ", "it is the name of an existing file"},
    };
    TMainDialog& d = ToDestination();
    for (const Case& c : cases) {
        Fake.Desktop.Boxes.clear();
        d.EditPath.SetText(c.typed);
        d.NextBut.Click();
        ASSERT_EQ(1u, Boxes().size()) << c.typed;
        EXPECT_EQ(TMsgIcon::Warning, Boxes()[0].Icon);
        std::string path = std::string(c.typed).substr(0, std::string(c.typed).find_last_not_of(' ') + 1);
        EXPECT_EQ(0u, Boxes()[0].Text.find(path + " cannot be a folder: ")) << Boxes()[0].Text;
        EXPECT_NE(std::string::npos, Boxes()[0].Text.find(c.reason)) << Boxes()[0].Text;
        EXPECT_EQ(wsDestination, Shared.WizardState);
        EXPECT_EQ("destination", Front(d));
    }
    EXPECT_FALSE(Fake.Disk.DirExists("C:\\Tern"));
    EXPECT_EQ("x", Fake.Disk.Get("C:\\Existing.txt"));
    EXPECT_FALSE(Fake.Registry.KeyExists(RegRoot::LocalMachine,
                                         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool"));
}

TEST_F(DestinationTest, DriveWithBlanksBeforeItIsRefusedAsAFolderName)
{
    // "  C:" names no folder: the colon belongs in a drive, and the drive
    // is not at the start.
    TMainDialog& d = ToDestination();
    d.EditPath.SetText("  C:");
    d.NextBut.Click();
    EXPECT_EQ("  C: cannot be a folder: a folder name may not hold the character :. Please "
              "choose another directory.",
              LastBox());
    EXPECT_EQ(wsDestination, Shared.WizardState);
}

TEST_F(DestinationTest, ClicksSentWhileTheRunHoldsTheDialogAreIgnored)
{
    // A button message handled during one of the run's pauses.
    struct TClickingClock : TFakeClock {
        TMainDialog* Dialog = nullptr;
        int Clicks = 0;
        void Sleep(unsigned ms) override
        {
            TFakeClock::Sleep(ms);
            if (Dialog == nullptr || Clicks++ > 0) return;
            Dialog->NextBut.Click();
            Dialog->CancelBut.Click();
            Dialog->PrevBut.Click();
        }
    } clock;
    Sys().Clock = &clock;
    TMainDialog& d = ToDestination();
    clock.Dialog = &d;
    d.NextBut.Click();
    EXPECT_EQ(1, clock.Clicks);
    EXPECT_EQ(wsInstalled, Shared.WizardState);
    EXPECT_EQ("&Next", d.NextBut.Caption());
    EXPECT_EQ((std::vector<unsigned>{EndPauseMilliseconds}), clock.Sleeps);  // one run only
    Sys().Clock = &Fake.Clock;
}

TEST_F(DestinationTest, EmptyPathIsRefusedAndThePageStays)
{
    TMainDialog& d = ToDestination();
    for (const char* typed : {"", "   "}) {
        d.EditPath.SetText(typed);
        d.NextBut.Click();
        EXPECT_EQ(wsDestination, Shared.WizardState);
        EXPECT_EQ(WizardText::EmptyDestination, LastBox());
        EXPECT_EQ(TMsgIcon::Warning, Boxes().back().Icon);
        EXPECT_TRUE(d.Panel4.Visible());
    }
    EXPECT_TRUE(Fake.Clock.Sleeps.empty());  // the engine never ran
}

TEST_F(DestinationTest, WhileAnotherRunChangesTheMachineThePageSaysSoAndStays)
{
    TMainDialog& d = ToDestination();
    Fake.MachineLock.HeldElsewhere = true;
    d.EditPath.SetText("C:\\Tool");
    d.NextBut.Click();
    EXPECT_EQ(wsDestination, Shared.WizardState);
    EXPECT_EQ(MachineBusy, LastBox());
    EXPECT_FALSE(Fake.Disk.DirExists("C:\\Tool"));
    // Once the other run has ended, Next installs, holding the lock to the end.
    Fake.MachineLock.HeldElsewhere = false;
    d.NextBut.Click();
    EXPECT_TRUE(Fake.Disk.DirExists("C:\\Tool"));
    EXPECT_FALSE(Fake.MachineLock.Held());
    EXPECT_EQ(2, Fake.MachineLock.Takes);
}

// A standard user may write his own keys and folders but not the uninstall
// entry; the run would stop at it halfway.
TEST_F(DestinationTest, WithoutRightsToTheUninstallEntryThePageSaysAnAdministratorIsNeeded)
{
    const char* const UninstallEntry = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool";
    const std::string refusal =
        "Installing Tool 2.0 needs an administrator's rights on this computer. Please have it "
        "installed by an administrator, or log on as one and start the installation again.";
    // An entry an administrator made before, with the Uninstall key itself
    // open to everyone: still refused.
    Fake.Registry.SetString(RegRoot::LocalMachine, UninstallEntry, "DisplayName", "Tool 1.0");
    Fake.Registry.DenyWrite(RegRoot::LocalMachine, UninstallEntry);
    TMainDialog& d = ToDestination();
    d.EditPath.SetText("C:\\Tool");
    d.NextBut.Click();
    EXPECT_EQ(refusal, LastBox());
    EXPECT_EQ(wsDestination, Shared.WizardState);

    // No rights below HKEY_LOCAL_MACHINE\SOFTWARE at all, no entry yet.
    Fake.Registry.DeleteKey(RegRoot::LocalMachine, "SOFTWARE");
    Fake.Registry.DenyWrite(RegRoot::LocalMachine, "SOFTWARE");
    std::size_t boxes = Boxes().size();
    d.NextBut.Click();
    EXPECT_EQ(boxes + 1, Boxes().size());
    EXPECT_EQ(refusal, LastBox());
    EXPECT_TRUE(d.Panel4.Visible());
    // Nothing was made for it: no folder, no key of the user's, no pause.
    EXPECT_FALSE(Fake.Disk.DirExists("C:\\Tool"));
    EXPECT_FALSE(Fake.Registry.KeyExists(RegRoot::CurrentUser, "Software"));
    EXPECT_TRUE(Fake.Clock.Sleeps.empty());
}

TEST_F(DestinationTest, PathLongerThanTheDestinationHoldsIsRefused)
{
    TMainDialog& d = ToDestination();
    d.EditPath.SetText("C:\\" + std::string(252, 'p'));  // 255: taken
    std::string longest = d.EditPath.Text();
    d.EditPath.SetText(longest + "q");                  // 256: refused
    d.NextBut.Click();
    EXPECT_EQ(wsDestination, Shared.WizardState);
    EXPECT_EQ(WizardText::LongDestination, LastBox());
    EXPECT_TRUE(Fake.Clock.Sleeps.empty());
    d.EditPath.SetText(longest);
    d.NextBut.Click();
    EXPECT_EQ(longest, Shared.DestDir);
    EXPECT_NE(WizardText::LongDestination, LastBox());
}

TEST_F(DestinationTest, RevisitShowsTheSettingAgain)
{
    TMainDialog& d = ToDestination("Programs\\Tool");
    EXPECT_EQ("Programs\\Tool", d.EditPath.Text());
    d.DirectoryListBox.UserOpened(1);  // alpha
    EXPECT_EQ("C:\\alpha\\grams\\Tool", d.EditPath.Text());
    d.PrevBut.Click();
    d.NextBut.Click();
    d.NextBut.Click();
    EXPECT_EQ("Programs\\Tool", d.EditPath.Text());
    EXPECT_EQ("C:\\", d.DirectoryListBox.Directory());
}

// The dialog's font reaches every control made before the dialog set it;
// only the buttons and the progress page's labels have one of their own.
TEST_F(WizardTest, EveryControlButTheButtonsAndProgressLabelsTakesTheDialogFont)
{
    TMainDialog& d = Open(ThreeNotices);
    std::vector<const TControl*> own = {&d.PrevBut,   &d.NextBut,    &d.CancelBut,
                                        &d.FromLabel, &d.SourceLabel, &d.DestinationLabel,
                                        &d.ToLabel};
    std::vector<const TControl*> all;
    std::function<void(const TControl&)> collect = [&](const TControl& c) {
        for (const TControl* child : c.Children()) {
            all.push_back(child);
            collect(*child);
        }
    };
    collect(d);
    ASSERT_EQ(27u, all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        const TControl* c = all[i];
        bool hasOwn = std::find(own.begin(), own.end(), c) != own.end();
        const TFont& f = c->Font();
        std::string which = "control " + std::to_string(i) + " at " + std::to_string(c->Left()) + "," + std::to_string(c->Top());
        EXPECT_EQ("MS Sans Serif", f.Name) << which;
        EXPECT_EQ(11, f.Height) << which;
        EXPECT_TRUE(f.Bold) << which;
        EXPECT_FALSE(f.Italic) << which;
        EXPECT_EQ(hasOwn ? clWindowText : clBlack, f.Color) << which;
        EXPECT_EQ(!hasOwn, c->ParentFont()) << which;
    }
}

}  // namespace
