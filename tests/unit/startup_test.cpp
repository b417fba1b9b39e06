// The start-up sequence, the backdrop's labels and placement, and the
// missing description file.
#include <algorithm>

#include "Fixtures.h"
#include "ui/MainDlg.h"
#include "ui/MainWin.h"
#include "engine/Description.h"
#include "ui/Program.h"

namespace {

class StartupTest : public ProgramTest {
protected:
    StartupTest() { SetBackend(&Recorder); }
    ~StartupTest() override
    {
        delete MainDialog;
        MainDialog = nullptr;
    }
    TRecordingBackend Recorder;
};

TEST_F(StartupTest, SplashIsGoneBeforeTheBackdropIsCreated)
{
    WriteDescription("[Settings]\r\nApplication=Tool\r\n");
    RunProgram();
    std::vector<std::string> expected = {
        "create 441x268", "show 441x268", "front 441x268", "repaint 441x268",
        "destroy 441x268", "create 632x453",  // the backdrop's design size, then the screen's
    };
    ASSERT_GE(Recorder.Log.size(), expected.size());
    EXPECT_EQ(expected, std::vector<std::string>(Recorder.Log.begin(),
                                                 Recorder.Log.begin() + expected.size()));
    EXPECT_EQ((std::vector<unsigned>{SplashMilliseconds}), Fake.Clock.Sleeps);
    EXPECT_EQ("Pellwick 2.1", Application().Title);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(StartupTest, MissingDescriptionShowsTheErrorBoxAndEndsWithoutBackdrop)
{
    RunProgram();
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("No IPI, exiting instalation.", Boxes()[0].Text);
    EXPECT_EQ("Error", Boxes()[0].Caption);
    EXPECT_EQ(TMsgIcon::Stop, Boxes()[0].Icon);
    EXPECT_TRUE(Application().Terminated());
    for (const std::string& entry : Recorder.Log) {
        EXPECT_NE("show 1024x768", entry);  // the backdrop never shows
        EXPECT_NE("loop", entry);           // and no message loop runs
    }
    EXPECT_EQ(nullptr, MainDialog);
}

struct TitleCase {
    const char* application;
    const char* version;
    const char* label;
    const char* title;
};

TEST_F(StartupTest, BackdropTitleFollowsApplicationAndVersion)
{
    const TitleCase cases[] = {
        {"Tool", "2.0", "Tool 2.0 Installation", "Tool 2.0"},
        {"Tool", "", "Tool Installation", "Tool"},
        {"", "2.0", "", ""},
    };
    for (const TitleCase& c : cases) {
        ResetSharedState();
        WriteDescription(std::string("[Settings]\r\nApplication=") + c.application +
                         "\r\nVersion=" + c.version + "\r\n");
        TMainWindow window;
        window.CreateForm();
        EXPECT_EQ(c.label, window.ProductLabel.Caption()) << c.application << "/" << c.version;
        EXPECT_EQ(c.label, window.ProductShadeLabel.Caption());
        EXPECT_EQ(c.title, Shared.ProductTitle);
        EXPECT_EQ(c.title, window.Caption());
        EXPECT_TRUE(window.Visible());
    }
}

TEST_F(StartupTest, ContactLabelsShowTheirSettingsOrStayEmpty)
{
    WriteDescription("[Settings]\r\nApplication=Tool\r\nCopyright=(c) Maker\r\nEmailAddress=a@b.example\r\n");
    TMainWindow window;
    window.CreateForm();
    EXPECT_EQ("(c) Maker", window.ByLabel.Caption());
    EXPECT_EQ("(c) Maker", window.ByShadeLabel.Caption());
    EXPECT_EQ("", window.WebLabel.Caption());
    EXPECT_EQ("", window.WebShadeLabel.Caption());
    EXPECT_EQ("a@b.example", window.EmailLabel.Caption());
    EXPECT_EQ("a@b.example", window.EmailShadeLabel.Caption());
}

TEST_F(StartupTest, FormShowPlacesLabelsAgainstTheRightAndBottomEdges)
{
    Fake.Desktop.Width = 800;
    Fake.Desktop.Height = 600;
    WriteDescription("[Settings]\r\nApplication=Tool\r\nWebAddress=www.example\r\nEmailAddress=" +
                     std::string(200, 'm') + "\r\n");
    TMainWindow window;
    window.CreateForm();
    EXPECT_EQ(800, window.Width());
    EXPECT_EQ(600, window.Height());
    const TLabel* fixed[] = {&window.Label1, &window.Label2, &window.Label3};
    const int tops[] = {550, 565, 580};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(tops[i], fixed[i]->Top()) << i;
        EXPECT_EQ(790, fixed[i]->Left() + fixed[i]->Width()) << i;
    }
    EXPECT_EQ(780, window.WebLabel.Left() + window.WebLabel.Width());
    EXPECT_EQ(window.WebLabel.Left() - 1, window.WebShadeLabel.Left());
    EXPECT_EQ(30, window.WebLabel.Top());
    EXPECT_EQ(32, window.WebShadeLabel.Top());
    // A text wider than the screen puts its label's left edge below zero.
    EXPECT_LT(window.EmailLabel.Left(), 0);
    EXPECT_EQ(window.EmailLabel.Left() - 1, window.EmailShadeLabel.Left());
    EXPECT_EQ(56, window.EmailShadeLabel.Top());
}

TEST_F(StartupTest, TimerTicksOnceAndOpensTheWizard)
{
    WriteDescription("[Settings]\r\nApplication=Tool\r\nVersion=2.0\r\n");
    TMainWindow window;
    window.CreateForm();
    EXPECT_TRUE(window.Timer1.Enabled());
    EXPECT_EQ(1000u, window.Timer1.Interval);
    window.Timer1.Tick();
    EXPECT_FALSE(window.Timer1.Enabled());
    ASSERT_NE(nullptr, MainDialog);
    EXPECT_EQ("Tool 2.0 Installation Commercial License", MainDialog->Caption());
    EXPECT_EQ(wsNotices, Shared.WizardState);
    EXPECT_EQ(1, std::count(Recorder.Log.begin(), Recorder.Log.end(), "modal 432x347"));
    TMainDialog* first = MainDialog;
    window.Timer1.Tick();  // a stopped timer does nothing
    EXPECT_EQ(first, MainDialog);
}

TEST_F(StartupTest, DestroyingTheBackdropFreesTheLists)
{
    WriteDescription("[FilesIn]\r\na.exe=\r\n[Keys]\r\nBase=\\Software\\X\r\n");
    {
        TMainWindow window;
        window.CreateForm();
        EXPECT_EQ(1u, Shared.InstallDescription.FilesInNames.size());
    }
    EXPECT_TRUE(Shared.InstallDescription.FilesInNames.empty());
    EXPECT_TRUE(Shared.InstallDescription.KeysValues.empty());
}

TEST_F(StartupTest, WizardFrameTexts)
{
    struct Case {
        const char* application;
        const char* version;
        const char* caption;
        const char* welcome;
    } cases[] = {
        {"Tool", "2.0", "Tool 2.0 Installation Commercial License",
         "Welcome to Pellwick. This program will automatically install and configure Tool 2.0 on "
         "your computer."},
        {"Tool", "", "Tool Installation Commercial License",
         "Welcome to Pellwick. This program will automatically install and configure Tool  on "
         "your computer."},
        {"", "", " Installation Commercial License",
         "Welcome to Pellwick. This program will automatically install and configure   on your "
         "computer."},
    };
    for (const Case& c : cases) {
        ResetSharedState();
        Shared.InstallDescription.Application = c.application;
        Shared.InstallDescription.Version = c.version;
        Shared.ProductTitle = MakeProductTitle(c.application, c.version);
        TMainDialog dialog;
        dialog.CreateForm();
        EXPECT_EQ(c.caption, dialog.Caption());
        EXPECT_EQ(c.welcome, dialog.InfoLabel.Caption());
        EXPECT_FALSE(dialog.PrevBut.Enabled());
        EXPECT_TRUE(dialog.NextBut.Enabled());
        EXPECT_EQ("&Next", dialog.NextBut.Caption());
    }
}

// The backdrop's font is set after its panel and labels are made; the
// panel, which has none of its own, follows it.
TEST_F(StartupTest, BackdropPanelFollowsTheFormsBoldFont)
{
    TMainWindow backdrop;
    EXPECT_TRUE(backdrop.Font().Bold);
    EXPECT_EQ("MS Sans Serif", backdrop.Font().Name);
    EXPECT_EQ(11, backdrop.Font().Height);
    for (const TControl* c : {static_cast<const TControl*>(&backdrop.Panel1),
                              static_cast<const TControl*>(&backdrop.Image)})
        EXPECT_TRUE(c->Font().Bold);
    EXPECT_EQ("Arial", backdrop.ByLabel.Font().Name);
    EXPECT_EQ(21, backdrop.ByLabel.Font().Height);
}

}  // namespace
