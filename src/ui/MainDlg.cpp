#include "ui/MainDlg.h"

#include "core/Paths.h"
#include "engine/Shared.h"
#include "engine/WizardRules.h"
#include "core/WizardText.h"
#include "core/Error.h"
#include "platform/Platform.h"
#include "ui/resource.h"

TMainDialog* MainDialog = nullptr;


namespace {

TFont DialogFont(TColor color = clBlack)
{
    TFont font;
    font.Name = "MS Sans Serif";
    font.Height = 11;
    font.Bold = true;
    font.Color = color;
    return font;
}

void Place(TControl& control, int left, int top, int width, int height)
{
    control.SetBounds(left, top, width, height);
}

void Place(TLabel& label, int left, int top, int width, int height, const char* caption)
{
    label.AutoSize = false;
    label.SetBounds(left, top, width, height);
    label.SetCaption(caption);
}

// Product name and version as the wizard's texts put them together.
std::string ProductText()
{
    return Shared.InstallDescription.Application + " " + Shared.InstallDescription.Version;
}

}  // namespace

TMainDialog::TMainDialog()
{
    BorderStyle = TBorderStyle::Dialog;
    HasSystemMenu = false;
    Position = TFormPosition::ScreenCenter;
    Icon = IDI_WIZARD;
    SetFont(DialogFont());
    SetBounds(0, 0, 432, 347);

    // control                  left  top  width height
    SetupIco.Picture = IDI_SETUP;
    SetupIco.IsIcon = true;
    Place(SetupIco,               20,  10,  32,  32);
    InfoLabel.AutoSize = false;
    InfoLabel.WordWrap = true;
    Place(InfoLabel,              80,  28, 330,  31);
    Place(PrevBut,                80, 306, 100,  25);
    Place(NextBut,               196, 306, 100,  25);
    Place(CancelBut,             309, 306, 100,  25);
    Bevel1.Shape = TBevelShape::BottomLine;
    Place(Bevel1,                 78, 283, 333,   8);
    Bevel2.Shape = TBevelShape::TopLine;
    Place(Bevel2,                 78,  69, 333,   8);
    for (TButton* button : {&PrevBut, &NextBut, &CancelBut}) button->SetFont(DialogFont(clWindowText));
    PrevBut.SetCaption("&Previous");
    PrevBut.SetEnabled(false);
    NextBut.SetCaption("&Next");
    CancelBut.SetCaption("&Cancel");

    // Destination page.
    for (TPanel* page : {&Panel4, &Panel5, &Panel2, &Panel1}) {
        page->BevelOuter = TBevelCut::None;
        Place(*page,              78,  80, 333, 200);
        page->Hide();
    }
    Place(Label3,                  2,  41,  56,  13, "Directory:");
    Place(Label4,                 24,   9,  35,  13, "Drive:");
    Place(LabelPath,              24, 146,  31,  13, "Path:");
    Place(DirectoryListBox,       76,  42, 145,  84);
    Place(DriveComboBox,          76,   6, 145,  19);
    Place(EditPath,               76, 140, 240,  21);
    DirectoryListBox.DriveBox = &DriveComboBox;
    DriveComboBox.DirList = &DirectoryListBox;
    DirectoryListBox.OnChange = [this](TControl& s) { DirectoryListBoxChange(s); };

    // Progress page.
    Place(FromLabel,               2,  20,  29,  13, "from:");
    Place(SourceLabel,            37,  20, 292,  13, "");
    Place(DestinationLabel,       37,  44, 292,  13, "");
    Place(ToLabel,                14,  44,  16,  13, "to:");
    Place(ProgressBar,             2, 100, 329,  22);
    for (TLabel* label : {&FromLabel, &SourceLabel, &DestinationLabel, &ToLabel})
        label->SetFont(DialogFont(clWindowText));
    SourceLabel.SetColor(clBtnFace);
    DestinationLabel.SetColor(clBtnFace);

    // User-details page.
    Place(LabelName,               2,  32,  37,  13, "Name:");
    Place(LabelOrganisation,       2,  66,  76,  13, "Organisation:");
    Place(EditOrg,                94,  64, 200,  21);
    Place(EditName,               94,  30, 200,  21);

    // Notice panel, the one page shown at creation.
    Panel1.Show();
    InfoMemo.ReadOnly = true;
    InfoMemo.Border = false;
    InfoMemo.TabStop = false;
    InfoMemo.SetColor(clSilver);
    Place(InfoMemo,                0,   0, 330, 195);
    std::string initial;
    for (std::size_t i = 0; i < WizardText::InitialMemoLines; ++i)
        initial += (i == 0 ? "" : "\r\n") + std::string(WizardText::InitialMemo[i]);
    InfoMemo.SetText(initial);

    OnCreate = [this](TControl& s) { FormCreate(s); };
    OnClose = [this](TControl& s) { FormClose(s); };
    NextBut.OnClick = [this](TControl& s) { NextButClick(s); };
    PrevBut.OnClick = [this](TControl& s) { PrevButClick(s); };
    CancelBut.OnClick = [this](TControl& s) { CancelButClick(s); };
}

TMainDialog::~TMainDialog()
{
    // A run stopped by an error leaves the conversation open until now.
    if (Sys().ProgramManager != nullptr) Sys().ProgramManager->Close();
}

void TMainDialog::FormCreate(TControl&)
{
    SetCaption(Cut(Shared.ProductTitle + WizardText::CaptionSuffix));
    InfoLabel.SetCaption(Cut(WizardText::WelcomeStart + ProductText() + WizardText::WelcomeEnd));
    DriveComboBox.Refresh();
    DirectoryListBox.StartFromCurrentDirectory();
    Shared.WizardState = wsNotices;
}

void TMainDialog::FormClose(TControl&) { InfoLabel.SetCaption(""); }

// What each button does in each state. Previous is on only on the pages
// that take the user's entries; Cancel on every page before the final one.
const TMainDialog::TFlowRow TMainDialog::Flow[] = {
    // state            Next                Previous      Cancel             passing
    // Welcome, then one opening notice per press.
    {wsNotices,        TMove::NextNotice,  TMove::None,  TMove::CancelPage, false},
    {wsNoticesRead,    TMove::UserDetails, TMove::None,  TMove::CancelPage, true},
    {wsUserDetails,    TMove::Destination, TMove::Back,  TMove::CancelPage, false},
    {wsDestination,    TMove::Install,     TMove::Back,  TMove::CancelPage, false},
    // The completion text, then one closing notice per press.
    {wsInstalled,      TMove::NextNotice,  TMove::None,  TMove::CancelPage, false},
    {wsEndNoticesRead, TMove::FinalPage,   TMove::None,  TMove::CancelPage, true},
    // The final or cancellation page: Next is Finish.
    {wsFinished,       TMove::Finish,      TMove::None,  TMove::None,       false},
};

void TMainDialog::Follow(TMove TFlowRow::*button)
{
    // The run takes no input; a click sent to a button while it lasts
    // (say by a tool driving the wizard) must not start a second one.
    if (installing_) return;
    auto rowOf = [](TWizardState state) -> const TFlowRow* {
        for (const TFlowRow& row : Flow)
            if (row.State == state) return &row;
        return nullptr;
    };
    for (const TFlowRow* row = rowOf(Shared.WizardState); row != nullptr;) {
        TMove move = row->*button;
        if (move == TMove::None) return;
        Shared.WizardState = Perform(move);
        const TFlowRow* next = rowOf(Shared.WizardState);
        if (button != &TFlowRow::Next || next == row || next == nullptr || !next->Passing) return;
        row = next;
    }
}

TWizardState TMainDialog::Perform(TMove move)
{
    switch (move) {
    case TMove::NextNotice: return ShowPlugs();
    case TMove::UserDetails: return GetNames();
    case TMove::Destination: return GetDestination();
    case TMove::Install: return CopyFiles();
    case TMove::FinalPage: return GoodBye();
    case TMove::Finish: Application().Terminate(); break;
    case TMove::Back: return GoBack();
    case TMove::CancelPage: return CancelSetup();
    case TMove::None: break;
    }
    return Shared.WizardState;
}

void TMainDialog::NextButClick(TControl&) { Follow(&TFlowRow::Next); }

void TMainDialog::PrevButClick(TControl&) { Follow(&TFlowRow::Previous); }

void TMainDialog::CancelButClick(TControl&) { Follow(&TFlowRow::Cancel); }

void TMainDialog::LoadNotice(const std::string& path)
{
    std::string bytes;
    if (!Sys().Files->ReadWholeFile(path, bytes))
        throw EError(FormatMessage1("Cannot open file %s", path));
    InfoMemo.SetMemoText(NoticeText(bytes));
}

TWizardState TMainDialog::ShowPlugs()
{
    InfoLabel.SetCaption(WizardText::Notices);
    TInstallState& s = Shared;
    const TInstallDescription& d = s.InstallDescription;
    bool closing = s.WizardState == wsInstalled;
    const TStrings& names = closing ? d.EndInfoNames : d.StartInfoNames;
    int& shown = closing ? s.EndInfoShown : s.StartInfoShown;
    if (shown >= static_cast<int>(names.size())) return closing ? wsEndNoticesRead : wsNoticesRead;
    if (closing) ShowPage(NoticePage);
    LoadNotice(s.SourceDir + names[static_cast<std::size_t>(shown)]);
    ++shown;
    return s.WizardState;
}

void TMainDialog::SetParagraphs(const char* const (&paragraphs)[3])
{
    InfoMemo.Clear();
    InfoMemo.AddLine(paragraphs[0]);
    InfoMemo.AddLine("");
    InfoMemo.AddLine(paragraphs[1]);
    InfoMemo.AddLine("");
    InfoMemo.AddLine(paragraphs[2]);
}

TWizardState TMainDialog::ShowLastPage(const std::string& caption,
                                       const char* const (&paragraphs)[3])
{
    PrevBut.SetEnabled(false);
    NextBut.SetCaption("&Finish");
    CancelBut.SetEnabled(false);
    InfoLabel.SetCaption(Cut(caption));
    SetParagraphs(paragraphs);
    // Without closing notices the progress page is still in front.
    ShowPage(NoticePage);
    return wsFinished;
}

TWizardState TMainDialog::GoodBye()
{
    return ShowLastPage(Shared.InstallFailures.empty()
                            ? WizardText::FinalStart + ProductText() + WizardText::FinalEnd
                            : WizardText::FinalIncompleteStart + ProductText() +
                                  WizardText::FinalIncompleteEnd,
                        WizardText::FinalParagraphs);
}

TWizardState TMainDialog::CancelSetup()
{
    return ShowLastPage(WizardText::CancelStart + ProductText() + WizardText::CancelEnd,
                        WizardText::CancelParagraphs);
}

TWizardState TMainDialog::GoBack()
{
    ShowPage(NoticePage, TPageShow::Covering);
    PrevBut.SetEnabled(false);
    InfoLabel.SetCaption(WizardText::Notices);
    return wsNotices;
}

TWizardState TMainDialog::GetNames()
{
    ReadRegisteredOwner(*Sys().Registry, Shared.UserName, Shared.UserOrganization);
    EditOrg.SetText(Shared.UserOrganization);
    EditName.SetText(Shared.UserName);
    PrevBut.SetEnabled(true);
    InfoLabel.SetCaption(WizardText::UserDetails);
    ShowPage(UserDetailsPage);
    return wsUserDetails;
}

TWizardState TMainDialog::GetDestination()
{
    Shared.UserName = Cut(EditName.Text());
    Shared.UserOrganization = Cut(EditOrg.Text());
    InfoLabel.SetCaption(
        Cut(WizardText::DestinationStart + ProductText() + WizardText::WelcomeEnd));
    DirectoryListBox.SetDirectory("c:\\");
    DriveComboBox.SetDrive('c');
    EditPath.SetText(Shared.InstallDescription.Directory);
    ShowPage(DestinationPage);
    return wsDestination;
}

void TMainDialog::DirectoryListBoxChange(TControl&)
{
    EditPath.SetText(
        DestinationFor(DirectoryListBox.Directory(), Shared.InstallDescription.Directory));
    Shared.DestDir = Cut(EditPath.Text());
}

void TMainDialog::ShowPage(TPanel& page, TPageShow how)
{
    if (how == TPageShow::Alone)
        for (TPanel* other : {&Panel4, &Panel5, &Panel2, &Panel1})
            if (other != &page && other->Visible()) other->Hide();
    page.Show();
    page.Repaint();
}

namespace {

// Raises a flag for the life of a scope.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~TFlagScope() { flag_ = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

TWizardState TMainDialog::CopyFiles()
{
    std::string refusal;
    {
        TFlagScope busy(installing_);
        refusal = InstallTo(Shared, EditPath.Text(), *this);
    }
    if (!refusal.empty()) {
        ShowWarning(refusal);
        return wsDestination;
    }
    // A completed run has moved the wizard on.
    return Shared.WizardState;
}

void TMainDialog::ShowProgressPage(const std::string& text)
{
    InfoLabel.SetCaption(text);
    InfoLabel.Repaint();
    ShowPage(ProgressPage);
}

void TMainDialog::ShowPath(TLabel& label, const std::string& shown)
{
    label.SetCaption(shown);
    label.Repaint();
}

void TMainDialog::ShowSource(const std::string& shown) { ShowPath(SourceLabel, shown); }

void TMainDialog::ShowDestination(const std::string& shown) { ShowPath(DestinationLabel, shown); }

int TMainDialog::ProgressPosition() const { return ProgressBar.Position(); }

void TMainDialog::SetProgressPosition(int position) { ProgressBar.SetPosition(position); }

void TMainDialog::SetStatusText(const std::string& text) { InfoLabel.SetCaption(text); }

void TMainDialog::RunCompleted()
{
    Shared.WizardState = wsInstalled;
    PrevBut.SetEnabled(false);
}

void TMainDialog::RunEnded() { BringToFront(); }

void TMainDialog::ShowWarning(const std::string& text)
{
    Sys().Desktop->ShowMessage(text, Application().Title, TMsgIcon::Warning);
}

void* TMainDialog::OwnerWindow() { return Handle(); }
