// TMainDialog: the installation wizard, its pages and its state machine.
#pragma once
#include "Engine.h"
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

    void FormCreate(TControl& sender);
    void FormClose(TControl& sender);
    void NextButClick(TControl& sender);
    void PrevButClick(TControl& sender);
    void CancelButClick(TControl& sender);
    void ShowPlugs(TControl& sender);
    void GoodBye(TControl& sender);
    void GetNames(TControl& sender);
    void GetDestination(TControl& sender);
    void DirectoryListBoxChange(TControl& sender);
    void CopyFiles(TControl& sender);
    void UpdateRegistry(TControl& sender);

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
    void ShowPath(TLabel& label, const std::string& shown);

    // Replaces the memo's text with a notice file, shown from its top.
    void LoadNotice(const std::string& path);
    void SetParagraphs(const char* const (&paragraphs)[3]);
};

extern TMainDialog* MainDialog;


// The warning the destination page shows for the path typed into it (as
// TypedDestination leaves it), or nothing when the installation may go ahead.
std::string DestinationRefusal(const std::string& typed);

// The machine's registered owner and organisation, as the user-details
// page proposes them; both are left as they are when neither key opens.
void ReadRegisteredOwner(std::string& name, std::string& organization);

// Notice text with every line break (CR LF, lone CR, lone LF) made CR LF,
// and NUL bytes made blanks.
std::string NoticeText(const std::string& bytes);
// The destination for a directory picked in the list: the directory, then
// the Directory setting less its first three characters.
std::string DestinationFor(const std::string& directory, const std::string& setting);
