#include "MainDlg.h"

#include "Shared.h"
#include "resource.h"

TMainDialog* MainDialog = nullptr;

namespace WizardText {
const char* const CaptionSuffix = " Installation Commercial License";
const char* const WelcomeStart =
    "Welcome to Pellwick. This program will automatically install and configure ";
const char* const WelcomeEnd = " on your computer.";
}  // namespace WizardText

namespace {

TFont DialogFont()
{
    TFont font;
    font.Name = "MS Sans Serif";
    font.Height = 11;
    font.Bold = true;
    font.Color = clBlack;
    return font;
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

    TFont buttonFont = DialogFont();
    buttonFont.Color = clWindowText;

    // control         left  top  width height
    SetupIco.Picture = IDI_SETUP;
    SetupIco.IsIcon = true;
    SetupIco.SetBounds(20, 10, 32, 32);
    InfoLabel.AutoSize = false;
    InfoLabel.WordWrap = true;
    InfoLabel.SetBounds(80, 28, 330, 31);
    PrevBut.SetBounds(80, 306, 100, 25);
    PrevBut.SetCaption("&Previous");
    PrevBut.SetEnabled(false);
    PrevBut.SetFont(buttonFont);
    NextBut.SetBounds(196, 306, 100, 25);
    NextBut.SetCaption("&Next");
    NextBut.SetFont(buttonFont);
    CancelBut.SetBounds(309, 306, 100, 25);
    CancelBut.SetCaption("&Cancel");
    CancelBut.SetFont(buttonFont);
    Bevel1.Shape = TBevelShape::BottomLine;
    Bevel1.SetBounds(78, 283, 333, 8);
    Bevel2.Shape = TBevelShape::TopLine;
    Bevel2.SetBounds(78, 69, 333, 8);

    OnCreate = [this](TControl& s) { FormCreate(s); };
}

void TMainDialog::FormCreate(TControl&)
{
    const TInstallDescription& d = InstallDescription;
    SetCaption(Cut(ProductTitle + WizardText::CaptionSuffix));
    InfoLabel.SetCaption(
        Cut(WizardText::WelcomeStart + d.Application + " " + d.Version + WizardText::WelcomeEnd));
    WizardState = 200;
}
