// TMainDialog: the installation wizard.
#pragma once
#include "toolkit/Forms.h"

class TMainDialog : public TForm {
public:
    TMainDialog();

    TImage SetupIco{this};
    TLabel InfoLabel{this};
    TButton PrevBut{this};
    TButton NextBut{this};
    TButton CancelBut{this};
    TBevel Bevel1{this};
    TBevel Bevel2{this};

    void FormCreate(TControl& sender);
};

extern TMainDialog* MainDialog;

// The wizard's texts, as the user sees them.
namespace WizardText {
extern const char* const CaptionSuffix;
extern const char* const WelcomeStart;
extern const char* const WelcomeEnd;
}  // namespace WizardText
