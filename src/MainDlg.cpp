#include "MainDlg.h"

#include "Paths.h"
#include "Shared.h"
#include "WizardText.h"
#include "core/Error.h"
#include "platform/Platform.h"
#include "resource.h"

TMainDialog* MainDialog = nullptr;


namespace {

const char* const OwnerKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char* const OwnerKeyNT = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char* const OwnerValue = "RegisteredOwner";
const char* const OrganizationValue = "RegisteredOrganization";

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

bool IsBlank(const std::string& text)
{
    for (char c : text)
        if (c != ' ' && c != '\t') return false;
    return true;
}

}  // namespace

std::string DestinationRefusal(const std::string& typed)
{
    // An empty destination would install into the root of whatever drive
    // is current: ask for one instead.
    if (IsBlank(typed)) return WizardText::EmptyDestination;
    // Cut to what the destination can hold, it would name a folder the
    // user never typed.
    if (typed.size() > ShortStringMax) return WizardText::LongDestination;
    return FolderRefusal(typed, Sys().Files->FileExists(typed));
}

std::string NoticeText(const std::string& bytes)
{
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 16);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\0') {
            // The window would end the text at a NUL: show the rest too.
            text += ' ';
        } else if (c == '\r' || c == '\n') {
            text += "\r\n";
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            text += c;
        }
    }
    return text;
}

std::string DestinationFor(const std::string& directory, const std::string& setting)
{
    // Past the setting's drive root: its first three bytes, or two when the
    // third begins a character of two.
    std::string tail = setting.size() > 3 ? setting.substr(CutBytes(setting, 3).size()) : "";
    return directory.size() == 3 ? directory + tail : directory + "\\" + tail;
}

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

void TMainDialog::NextButClick(TControl& sender)
{
    // The run takes no input; a click sent to a button while it lasts
    // (say by a tool driving the wizard) must not start a second one.
    if (installing_) return;
    switch (Shared.WizardState) {
    case wsNotices: ShowPlugs(sender); break;
    case wsNoticesRead: GetNames(sender); break;
    case wsUserDetails:
        Shared.UserName = Cut(EditName.Text());
        Shared.UserOrganization = Cut(EditOrg.Text());
        GetDestination(sender);
        break;
    case wsDestination: {
        std::string typed = TypedDestination(EditPath.Text());
        // Refused before anything is made or recorded for it.
        std::string refusal = DestinationRefusal(typed);
        if (!refusal.empty()) {
            ShowWarning(refusal);
            return;
        }
        Shared.DestDir = Cut(typed);
        CopyFiles(sender);
        break;
    }
    case wsInstalled: ShowPlugs(sender); break;
    case wsEndNoticesRead: GoodBye(sender); break;
    case wsFinished: Application().Terminate(); break;
    default: break;
    }
}

void TMainDialog::LoadNotice(const std::string& path)
{
    std::string bytes;
    if (!Sys().Files->ReadWholeFile(path, bytes))
        throw EError(FormatMessage1("Cannot open file %s", path));
    InfoMemo.SetMemoText(NoticeText(bytes));
}

void TMainDialog::ShowPlugs(TControl& sender)
{
    InfoLabel.SetCaption(WizardText::Notices);
    TInstallState& s = Shared;
    const TInstallDescription& d = s.InstallDescription;
    if (s.WizardState == wsNotices) {
        if (s.StartInfoShown < static_cast<int>(d.StartInfoNames.size())) {
            LoadNotice(s.SourceDir + d.StartInfoNames[static_cast<std::size_t>(s.StartInfoShown)]);
            ++s.StartInfoShown;
        } else {
            s.WizardState = wsNoticesRead;
            NextButClick(sender);
        }
    } else if (s.WizardState == wsInstalled) {
        if (s.EndInfoShown < static_cast<int>(d.EndInfoNames.size())) {
            ShowPage(Panel1);
            LoadNotice(s.SourceDir + d.EndInfoNames[static_cast<std::size_t>(s.EndInfoShown)]);
            ++s.EndInfoShown;
        } else {
            s.WizardState = wsEndNoticesRead;
            NextButClick(sender);
        }
    }
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

void TMainDialog::GoodBye(TControl&)
{
    PrevBut.SetEnabled(false);
    NextBut.SetCaption("&Finish");
    CancelBut.SetEnabled(false);
    InfoLabel.SetCaption(Cut(Shared.InstallFailures.empty()
                                 ? WizardText::FinalStart + ProductText() + WizardText::FinalEnd
                                 : WizardText::FinalIncompleteStart + ProductText() +
                                       WizardText::FinalIncompleteEnd));
    SetParagraphs(WizardText::FinalParagraphs);
    // Without closing notices the progress page is still in front; bring
    // the notice panel forward so the closing paragraphs are seen.
    if (!Panel1.Visible()) ShowPage(Panel1);
    Shared.WizardState = wsFinished;
}

void TMainDialog::CancelButClick(TControl&)
{
    if (installing_) return;
    PrevBut.SetEnabled(false);
    NextBut.SetCaption("&Finish");
    CancelBut.SetEnabled(false);
    InfoLabel.SetCaption(Cut(WizardText::CancelStart + ProductText() + WizardText::CancelEnd));
    SetParagraphs(WizardText::CancelParagraphs);
    ShowPage(Panel1);
    Shared.WizardState = wsFinished;
}

void TMainDialog::PrevButClick(TControl&)
{
    if (installing_) return;
    ShowPage(Panel1, TPageShow::Covering);
    PrevBut.SetEnabled(false);
    Shared.WizardState = wsNotices;
    InfoLabel.SetCaption(WizardText::Notices);
}

void TMainDialog::GetNames(TControl&)
{
    TRegistry reg(*Sys().Registry);
    reg.SetRoot(RegRoot::LocalMachine);
    // Windows 95 keeps the owner under CurrentVersion; NT under its own
    // key, which standard users may only read.
    TInstallState& s = Shared;
    bool opened = reg.OpenKeyReadOnly(OwnerKey);
    if (opened) {
        s.UserOrganization = Cut(reg.ReadString(OrganizationValue));
        s.UserName = Cut(reg.ReadString(OwnerValue));
    }
    if ((!opened || (s.UserOrganization.empty() && s.UserName.empty())) &&
        reg.OpenKeyReadOnly(OwnerKeyNT, true)) {
        s.UserOrganization = Cut(reg.ReadString(OrganizationValue));
        s.UserName = Cut(reg.ReadString(OwnerValue));
    }
    EditOrg.SetText(s.UserOrganization);
    EditName.SetText(s.UserName);
    PrevBut.SetEnabled(true);
    InfoLabel.SetCaption(WizardText::UserDetails);
    ShowPage(Panel2);
    s.WizardState = wsUserDetails;
}

void TMainDialog::GetDestination(TControl&)
{
    InfoLabel.SetCaption(
        Cut(WizardText::DestinationStart + ProductText() + WizardText::WelcomeEnd));
    DirectoryListBox.SetDirectory("c:\\");
    DriveComboBox.SetDrive('c');
    EditPath.SetText(Shared.InstallDescription.Directory);
    ShowPage(Panel4);
    Shared.WizardState = wsDestination;
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

void TMainDialog::CopyFiles(TControl&)
{
    TFlagScope busy(installing_);
    TInstallRun(Shared, *this).Perform(Shared.InstallFailures);
}

void TMainDialog::UpdateRegistry(TControl&) { TInstallRun(Shared, *this).UpdateRegistry(); }

void TMainDialog::ShowProgressPage(const std::string& text)
{
    InfoLabel.SetCaption(text);
    InfoLabel.Repaint();
    ShowPage(Panel5);
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
