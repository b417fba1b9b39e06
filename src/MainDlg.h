// TMainDialog: the installation wizard, its pages and its state machine.
#pragma once
#include "toolkit/DirControls.h"
#include "toolkit/Forms.h"

class TMainDialog : public TForm {
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

private:
    bool installing_ = false;
    // Engine steps.
    void ForceDirectories(const std::string& path);
    void CopyOneFile(const std::string& source, const std::string& dest, const std::string& flag);
    void ShowPath(TLabel& label, const std::string& path);
    void AdvanceProgress(int step);
    void CreateProgramGroup(const std::string& windowsDir);
    void StartAddOns();
    void ReportFailures();

    // Warns when path cannot be a folder; true when it was refused.
    bool ShowDestinationRefusal(const std::string& path);
    // Replaces the memo's text with a notice file, shown from its top.
    void LoadNotice(const std::string& path);
    void SetParagraphs(const char* const (&paragraphs)[3]);
};

extern TMainDialog* MainDialog;
extern int StartInfoShown;
extern int EndInfoShown;

// The wizard's texts, as the user sees them.
namespace WizardText {
extern const char* const CaptionSuffix;
extern const char* const WelcomeStart;
extern const char* const WelcomeEnd;
extern const char* const Notices;
extern const char* const UserDetails;
extern const char* const DestinationStart;
extern const char* const FinalStart;
extern const char* const FinalEnd;
extern const char* const CancelStart;
extern const char* const CancelEnd;
extern const char* const EmptyDestination;
extern const char* const LongDestination;
extern const char* const CopyingStart;
extern const char* const CopyingEnd;
extern const char* const InstalledEnd;
extern const char* const IncompleteEnd;
extern const char* const FinalIncompleteStart;
extern const char* const FinalIncompleteEnd;
extern const char* const InitialMemo[];
extern const std::size_t InitialMemoLines;
extern const char* const CancelParagraphs[3];
extern const char* const FinalParagraphs[3];
}  // namespace WizardText

// Notice text with every line break (CR LF, lone CR, lone LF) made CR LF,
// and NUL bytes made blanks.
std::string NoticeText(const std::string& bytes);
// The destination for a directory picked in the list: the directory, then
// the Directory setting less its first three characters.
std::string DestinationFor(const std::string& directory, const std::string& setting);
