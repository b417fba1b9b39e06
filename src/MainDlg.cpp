#include "MainDlg.h"

#include "Engine.h"
#include "Paths.h"
#include "Shared.h"
#include "core/Error.h"
#include "platform/Platform.h"
#include "resource.h"

TMainDialog* MainDialog = nullptr;
int StartInfoShown = 0;
int EndInfoShown = 0;

namespace WizardText {
const char* const CaptionSuffix = " Installation Commercial License";
const char* const WelcomeStart =
    "Welcome to Pellwick. This program will automatically install and configure ";
const char* const WelcomeEnd = " on your computer.";
const char* const Notices =
    "Please read the following notices carefully, they contain important commercial and "
    "technical information.";
const char* const UserDetails =
    "Please follow the instructions provided with your software to fill in your registration "
    "name and organisation fields.";
const char* const DestinationStart =
    "Please accept the default path displayed or select a different path to install ";
const char* const FinalStart = "Pellwick has installed ";
const char* const FinalEnd = " successfully, congratulations.";
const char* const CancelStart = "The installation of ";
const char* const CancelEnd = " was not performed successfuly.";
const char* const EmptyDestination =
    "Please type the directory to install into, or pick one in the directory list.";
const char* const LongDestination =
    "The directory is too long: please choose one of at most 255 characters.";

const char* const InitialMemo[] = {
    "Pellwick is published by Hollowmere. It is a software",
    "installation and uninstallation package for Windows 95",
    "and Windows NT.",
    "",
    "A copy of Pellwick that you can use to distribute your",
    "own software and files can be downloaded from the",
    "Hollowmere web site at www.hollowmere.example.",
    "",
    "If you have no access to the web, send an e-mail",
    "message to pellwick@hollowmere.example for",
    "instructions on getting a copy by FTP or by",
    "post.",
};
const std::size_t InitialMemoLines = sizeof InitialMemo / sizeof InitialMemo[0];

const char* const CancelParagraphs[3] = {
    "You have selected to interrupt the installation. If this was not your intention, simply "
    "reinstall the product again.",
    "If this was your intention click on finish to terminate the installation, and run the "
    "uninstallation program supplied with your software, to ensure that your system is set to "
    "its original state.",
    "Additionaly if you reinstall the software to a different directory, it's recommended that "
    "you uninstall any previous versions to avoid cluttering you hard disk.",
};

const char* const FinalParagraphs[3] = {
    "Pellwick is published by Hollowmere. This installer is part of Pellwick, the installation "
    "and uninstallation package for Windows 95 and NT.",
    "A free copy of Pellwick can be downloaded from the Hollowmere web site, at "
    "www.hollowmere.example.",
    "Without web access, e-mail pellwick@hollowmere.example for instructions on how to obtain a "
    "copy of Pellwick by FTP or by post.",
};
}  // namespace WizardText

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
    return InstallDescription.Application + " " + InstallDescription.Version;
}

bool IsBlank(const std::string& text)
{
    for (char c : text)
        if (c != ' ' && c != '\t') return false;
    return true;
}

}  // namespace

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
    std::string tail = setting.size() > 3 ? setting.substr(3) : "";
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
    SetCaption(Cut(ProductTitle + WizardText::CaptionSuffix));
    InfoLabel.SetCaption(Cut(WizardText::WelcomeStart + ProductText() + WizardText::WelcomeEnd));
    DriveComboBox.Refresh();
    DirectoryListBox.StartFromCurrentDirectory();
    WizardState = 200;
}

void TMainDialog::FormClose(TControl&) { InfoLabel.SetCaption(""); }

void TMainDialog::NextButClick(TControl& sender)
{
    // The run takes no input; a click sent to a button while it lasts
    // (say by a tool driving the wizard) must not start a second one.
    if (installing_) return;
    switch (WizardState) {
    case 200: ShowPlugs(sender); break;
    case 300: GetNames(sender); break;
    case 400:
        UserName = Cut(EditName.Text());
        UserOrganization = Cut(EditOrg.Text());
        Panel2.Hide();
        GetDestination(sender);
        break;
    case 600:
        // An empty destination would install into the root of whatever
        // drive is current: ask for one instead.
        if (IsBlank(EditPath.Text())) {
            Sys().Desktop->ShowMessage(WizardText::EmptyDestination, Application().Title,
                                       TMsgIcon::Warning);
            return;
        }
        // Cut to what the destination can hold, it would name a folder the
        // user never typed.
        if (TypedDestination(EditPath.Text()).size() > ShortStringMax) {
            Sys().Desktop->ShowMessage(WizardText::LongDestination, Application().Title,
                                       TMsgIcon::Warning);
            return;
        }
        // Refused before anything is made or recorded for it.
        if (ShowDestinationRefusal(TypedDestination(EditPath.Text()))) return;
        DestDir = Cut(TypedDestination(EditPath.Text()));
        CopyFiles(sender);
        break;
    case 800: ShowPlugs(sender); break;
    case 900: GoodBye(sender); break;
    case 1000: Application().Terminate(); break;
    default: break;
    }
}

bool TMainDialog::ShowDestinationRefusal(const std::string& path)
{
    std::string refusal = DestinationRefusal(path, Sys().Files->FileExists(path));
    if (!refusal.empty())
        Sys().Desktop->ShowMessage(refusal, Application().Title, TMsgIcon::Warning);
    return !refusal.empty();
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
    const TInstallDescription& d = InstallDescription;
    if (WizardState == 200) {
        if (StartInfoShown < static_cast<int>(d.StartInfoNames.size())) {
            LoadNotice(SourceDir + d.StartInfoNames[static_cast<std::size_t>(StartInfoShown)]);
            ++StartInfoShown;
        } else {
            WizardState = 300;
            NextButClick(sender);
        }
    } else if (WizardState == 800) {
        if (EndInfoShown < static_cast<int>(d.EndInfoNames.size())) {
            if (Panel5.Visible()) Panel5.Hide();
            if (!Panel1.Visible()) Panel1.Show();
            LoadNotice(SourceDir + d.EndInfoNames[static_cast<std::size_t>(EndInfoShown)]);
            ++EndInfoShown;
        } else {
            WizardState = 900;
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
    InfoLabel.SetCaption(Cut(InstallFailures.empty()
                                 ? WizardText::FinalStart + ProductText() + WizardText::FinalEnd
                                 : WizardText::FinalIncompleteStart + ProductText() +
                                       WizardText::FinalIncompleteEnd));
    SetParagraphs(WizardText::FinalParagraphs);
    // Without closing notices the progress page is still in front; bring
    // the notice panel forward so the closing paragraphs are seen.
    if (!Panel1.Visible()) {
        Panel5.Hide();
        Panel1.Show();
    }
    WizardState = 1000;
}

void TMainDialog::CancelButClick(TControl&)
{
    if (installing_) return;
    PrevBut.SetEnabled(false);
    NextBut.SetCaption("&Finish");
    CancelBut.SetEnabled(false);
    InfoLabel.SetCaption(Cut(WizardText::CancelStart + ProductText() + WizardText::CancelEnd));
    SetParagraphs(WizardText::CancelParagraphs);
    for (TPanel* page : {&Panel2, &Panel4, &Panel5})
        if (page->Visible()) page->Hide();
    Panel1.Show();
    Panel1.Repaint();
    WizardState = 1000;
}

void TMainDialog::PrevButClick(TControl&)
{
    if (installing_) return;
    Panel1.Show();
    Panel1.Repaint();
    PrevBut.SetEnabled(false);
    WizardState = 200;
    InfoLabel.SetCaption(WizardText::Notices);
}

void TMainDialog::GetNames(TControl&)
{
    TRegistry reg(*Sys().Registry);
    reg.SetRoot(RegRoot::LocalMachine);
    // Windows 95 keeps the owner under CurrentVersion; NT under its own
    // key, which standard users may only read.
    bool opened = reg.OpenKeyReadOnly(OwnerKey);
    if (opened) {
        UserOrganization = Cut(reg.ReadString(OrganizationValue));
        UserName = Cut(reg.ReadString(OwnerValue));
    }
    if ((!opened || (UserOrganization.empty() && UserName.empty())) &&
        reg.OpenKeyReadOnly(OwnerKeyNT, true)) {
        UserOrganization = Cut(reg.ReadString(OrganizationValue));
        UserName = Cut(reg.ReadString(OwnerValue));
    }
    EditOrg.SetText(UserOrganization);
    EditName.SetText(UserName);
    PrevBut.SetEnabled(true);
    Panel1.Hide();
    InfoLabel.SetCaption(WizardText::UserDetails);
    Panel2.Show();
    WizardState = 400;
}

void TMainDialog::GetDestination(TControl&)
{
    InfoLabel.SetCaption(
        Cut(WizardText::DestinationStart + ProductText() + WizardText::WelcomeEnd));
    DirectoryListBox.SetDirectory("c:\\");
    DriveComboBox.SetDrive('c');
    EditPath.SetText(InstallDescription.Directory);
    Panel4.Show();
    WizardState = 600;
}

void TMainDialog::DirectoryListBoxChange(TControl&)
{
    EditPath.SetText(DestinationFor(DirectoryListBox.Directory(), InstallDescription.Directory));
    DestDir = Cut(EditPath.Text());
}
