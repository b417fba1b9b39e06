// TMainDialog: the installation wizard, its pages and its state machine.
#pragma once
#include "engine/Engine.h"
#include "toolkit/DirControls.h"
#include "toolkit/Forms.h"

class TMainDialog : public TForm, public IInstallView {
public:
    TMainDialog();
    ~TMainDialog() override;

    // Creation order; each page panel lies above the ones created before it.
    TImage SetupIco{this};
    TLabel InfoLabel{this};
    TButton PrevBut{this};
    TButton NextBut{this};
    TButton CancelBut{this};
    TBevel Bevel1{this};
    TBevel Bevel2{this};
    TPanel Panel4{this};  // destination page
    TLabel Label3{&Panel4};
    TLabel Label4{&Panel4};
    TLabel LabelPath{&Panel4};
    TDirectoryListBox DirectoryListBox{&Panel4};
    TDriveComboBox DriveComboBox{&Panel4};
    TEdit EditPath{&Panel4};
    TPanel Panel5{this};  // progress page
    TLabel FromLabel{&Panel5};
    TLabel SourceLabel{&Panel5};
    TLabel DestinationLabel{&Panel5};
    TLabel ToLabel{&Panel5};
    TProgressBar ProgressBar{&Panel5};
    TPanel Panel2{this};  // user-details page
    TLabel LabelName{&Panel2};
    TLabel LabelOrganisation{&Panel2};
    TEdit EditOrg{&Panel2};
    TEdit EditName{&Panel2};
    TPanel Panel1{this};  // notice panel
    TMemo InfoMemo{&Panel1};

    // The pages, named for what they are, on the panels the layout names.
    TPanel& NoticePage = Panel1;  // welcome, notices, final and cancellation texts
    TPanel& UserDetailsPage = Panel2;
    TPanel& DestinationPage = Panel4;
    TPanel& ProgressPage = Panel5;

    void FormCreate(TControl& sender);
    void FormClose(TControl& sender);
    void NextButClick(TControl& sender);
    void PrevButClick(TControl& sender);
    void CancelButClick(TControl& sender);
    void DirectoryListBoxChange(TControl& sender);

    // True while the installation run holds the dialog.
    bool Installing() const { return installing_; }

    // The pages lie in one place, each created above the ones before it:
    // Panel4, Panel5, Panel2, and the notice panel Panel1 over them all.
    // ShowPage shows one page and hides the others; Previous alone only
    // covers the page it leaves, relying on that order to put the notice
    // panel on top.
    enum class TPageShow { Alone, Covering };
    void ShowPage(TPanel& page, TPageShow how = TPageShow::Alone);

    // What the installation run shows.
    void ShowProgressPage(const std::string& text) override;
    void ShowSource(const std::string& shown) override;
    void ShowDestination(const std::string& shown) override;
    int ProgressPosition() const override;
    void SetProgressPosition(int position) override;
    void SetStatusText(const std::string& text) override;
    void RunCompleted() override;
    void RunEnded() override;
    void ShowWarning(const std::string& text) override;
    void* OwnerWindow() override;

private:
    bool installing_ = false;

    // The wizard's flow: for each state, what Next, Previous and Cancel do,
    // as one of these moves. A move builds the page it brings to the front
    // and gives the state that follows; one that fails leaves the state as
    // it was.
    enum class TMove : unsigned char {
        None,         // the button does nothing in this state
        NextNotice,   // the next notice, opening or closing, on the notice page
        UserDetails,  // the user-details page, proposing the registered owner
        Destination,  // the user's entries taken, the destination page
        Install,      // the destination checked, the run on the progress page
        FinalPage,    // the final page, on the notice panel
        Finish,       // the program ends
        Back,         // the notice panel again, from the first notice
        CancelPage,   // the cancellation page, on the notice panel
    };
    struct TFlowRow {
        TWizardState State;
        TMove Next, Previous, Cancel;
        // A passing state leads straight on to the page after it: Next
        // goes on with its row at once.
        bool Passing;
    };
    static const TFlowRow Flow[];
    void Follow(TMove TFlowRow::*button);
    TWizardState Perform(TMove move);

    TWizardState ShowPlugs();       // the next notice, opening or closing
    TWizardState GetNames();        // the user-details page
    TWizardState GetDestination();  // the user's entries taken, the destination page
    TWizardState CopyFiles();       // the destination checked, the installation run
    TWizardState GoodBye();         // the final page
    TWizardState GoBack();          // the notice panel again, from the first notice
    TWizardState CancelSetup();     // the cancellation page
    TWizardState ShowLastPage(const std::string& caption, const char* const (&paragraphs)[3]);
    void ShowPath(TLabel& label, const std::string& shown);

    // Replaces the memo's text with a notice file, shown from its top.
    void LoadNotice(const std::string& path);
    void SetParagraphs(const char* const (&paragraphs)[3]);
};

extern TMainDialog* MainDialog;

