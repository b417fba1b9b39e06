#include "ui/InstWait.h"

#include "ui/resource.h"

TWaitDialog* WaitDialog = nullptr;

TWaitDialog::TWaitDialog()
{
    BorderStyle = TBorderStyle::None;
    StayOnTop = true;
    Position = TFormPosition::ScreenCenter;
    Icon = IDI_WINDOW;
    SetBounds(0, 0, 441, 268);
    SetColor(clBlack);

    Panel.SetBounds(0, 0, 441, 268);

    Image.Picture = IDB_SPLASH;
    Image.SetBounds(3, 3, 432, 259);

    Bevel.Shape = TBevelShape::Frame;
    Bevel.SetBounds(3, 3, 435, 262);
}
