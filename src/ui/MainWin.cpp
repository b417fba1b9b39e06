#include "ui/MainWin.h"

#include "engine/Description.h"
#include "ui/MainDlg.h"
#include "platform/Platform.h"
#include "ui/resource.h"

TMainWindow* MainWindow = nullptr;

const char* const FamilyCaption = "Pellwick 2";
const char* const YearsCaption = "Copyright 1996, 1997";
const char* const MakerCaption = "by Hollowmere";

namespace {

TFont ArialBoldItalic(int height, TColor color)
{
    TFont font;
    font.Name = "Arial";
    font.Height = height;
    font.Bold = true;
    font.Italic = true;
    font.Color = color;
    return font;
}

// label, left, top, font height, colour: the layout of the backdrop's labels
// on the 632 x 453 design size.
struct LabelPlace {
    TLabel TMainWindow::*Label;
    int Left, Top, FontHeight;
    TColor Color;
};

const LabelPlace LabelLayout[] = {
    {&TMainWindow::ProductShadeLabel, 20, 20, 32, clNavy},
    {&TMainWindow::ByShadeLabel, 20, 58, 21, clNavy},
    {&TMainWindow::ByLabel, 20, 56, 21, clWhite},
    {&TMainWindow::ProductLabel, 20, 18, 32, clWhite},
    {&TMainWindow::WebShadeLabel, 412, 32, 16, clNavy},
    {&TMainWindow::WebLabel, 410, 30, 16, clWhite},
    {&TMainWindow::EmailShadeLabel, 450, 56, 16, clNavy},
    {&TMainWindow::EmailLabel, 448, 54, 16, clWhite},
    {&TMainWindow::Label1, 0, 0, 11, clWhite},
    {&TMainWindow::Label2, 0, 0, 11, clWhite},
    {&TMainWindow::Label3, 0, 0, 11, clWhite},
};

}  // namespace

TMainWindow::TMainWindow()
{
    BorderStyle = TBorderStyle::None;
    Maximized = true;
    Icon = IDI_WINDOW;
    SetColor(clSilver);
    TFont font;
    font.Bold = true;
    SetFont(font);
    SetBounds(0, 0, 632, 453);

    Panel1.SetBounds(0, 0, 632, 453);
    Panel1.SetColor(clBlack);
    Panel1.BevelOuter = TBevelCut::Raised;
    Panel1.BevelInner = TBevelCut::Lowered;
    Panel1.BevelWidth = 2;

    Image.Picture = IDB_BACKDROP;
    Image.Stretch = true;
    Image.SetBounds(4, 4, 624, 445);

    for (const LabelPlace& place : LabelLayout) {
        TLabel& label = this->*place.Label;
        label.Transparent = true;
        label.SetFont(ArialBoldItalic(place.FontHeight, place.Color));
        label.SetBounds(place.Left, place.Top, 0, 0);
        label.SetAutoSize(true);
    }
    Label1.SetCaption(FamilyCaption);
    Label2.SetCaption(YearsCaption);
    Label3.SetCaption(MakerCaption);

    Timer1.Interval = 1000;
    Timer1.Owner = this;
    Timer1.OnTimer = [this](TControl& s) { Timer1Timer(s); };

    OnCreate = [this](TControl& s) { FormCreate(s); };
    OnShow = [this](TControl& s) { FormShow(s); };
}

void TMainWindow::FormCreate(TControl&)
{
    // The timer runs from the window's creation.
    Timer1.SetEnabled(true);

    int width = Sys().Desktop->ScreenWidth();
    int height = Sys().Desktop->ScreenHeight();
    SetBounds(0, 0, width, height);
    Panel1.SetBounds(0, 0, width, height);
    Image.SetBounds(4, 4, width - 8, height - 8);

    if (!LoadInstallDescription()) {
        Timer1.SetEnabled(false);
        Sys().Desktop->ShowMessage("No IPI, exiting instalation.", "Error", TMsgIcon::Stop);
        Application().Terminate();
        return;
    }

    const TInstallDescription& d = Shared.InstallDescription;
    if (!d.Application.empty()) {
        std::string title = d.Version.empty() ? d.Application + " Installation"
                                              : d.Application + " " + d.Version + " Installation";
        ProductLabel.SetCaption(Cut(title));
        ProductShadeLabel.SetCaption(Cut(title));
        Shared.ProductTitle = MakeProductTitle(d.Application, d.Version);
    }
    if (!d.Copyright.empty()) {
        ByLabel.SetCaption(d.Copyright);
        ByShadeLabel.SetCaption(d.Copyright);
    }
    if (!d.WebAddress.empty()) {
        WebLabel.SetCaption(d.WebAddress);
        WebShadeLabel.SetCaption(d.WebAddress);
    }
    if (!d.EmailAddress.empty()) {
        EmailLabel.SetCaption(d.EmailAddress);
        EmailShadeLabel.SetCaption(d.EmailAddress);
    }
    SetCaption(Shared.ProductTitle);
    Timer1.SetEnabled(true);
}

void TMainWindow::FormShow(TControl&)
{
    int w = Width();
    int h = Height();
    WebLabel.SetLeft(w - WebLabel.Width() - 20);
    WebShadeLabel.SetLeft(w - WebLabel.Width() - 21);
    EmailLabel.SetLeft(w - EmailLabel.Width() - 20);
    EmailShadeLabel.SetLeft(w - EmailLabel.Width() - 21);
    TLabel* fixed[] = {&Label1, &Label2, &Label3};
    for (int i = 0; i < 3; ++i) {
        fixed[i]->SetTop(h + 15 * i - 50);
        fixed[i]->SetLeft(w - fixed[i]->Width() - 10);
    }
}

TMainWindow::~TMainWindow()
{
    if (Created()) FormDestroy(*this);
}

void TMainWindow::FormDestroy(TControl&) { Shared.InstallDescription.FreeLists(); }

void TMainWindow::Timer1Timer(TControl& sender)
{
    Timer1.SetEnabled(false);
    Runit(sender);
}

void TMainWindow::Runit(TControl&)
{
    MainDialog = new TMainDialog();
    MainDialog->CreateForm();
    MainDialog->ShowModal();
}
