// TWaitDialog: the splash shown for three seconds at start-up.
#pragma once
#include "toolkit/Forms.h"

class TWaitDialog : public TForm {
public:
    TWaitDialog();

    TPanel Panel{this};
    TImage Image{&Panel};
    TBevel Bevel{&Panel};
};

extern TWaitDialog* WaitDialog;
