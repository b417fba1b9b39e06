// TMainWindow: the full-screen backdrop, the application's main window.
#pragma once
#include "toolkit/Forms.h"

class TMainWindow : public TForm {
public:
    TMainWindow();
    ~TMainWindow() override;

    // Creation order is stacking order, bottom to top.
    TPanel Panel1{this};
    TImage Image{&Panel1};
    TLabel ProductShadeLabel{&Panel1};
    TLabel ByShadeLabel{&Panel1};
    TLabel ByLabel{&Panel1};
    TLabel ProductLabel{&Panel1};
    TLabel WebShadeLabel{&Panel1};
    TLabel WebLabel{&Panel1};
    TLabel EmailShadeLabel{&Panel1};
    TLabel EmailLabel{&Panel1};
    TLabel Label1{&Panel1};
    TLabel Label2{&Panel1};
    TLabel Label3{&Panel1};
    TTimer Timer1;

    void FormCreate(TControl& sender);
    void FormShow(TControl& sender);
    void FormDestroy(TControl& sender);
    void Timer1Timer(TControl& sender);
    void Runit(TControl& sender);
};

extern TMainWindow* MainWindow;

// The fixed captions of the backdrop's corner labels.
extern const char* const FamilyCaption;
extern const char* const YearsCaption;
extern const char* const MakerCaption;
