// The wizard window: six pages, Back, Next and Cancel.
#pragma once

#include "platform/ComCtrls.h"
#include "platform/ExtCtrls.h"
#include "platform/FileCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "utils/DateTime.h"

#include <cstdint>
#include <string>

// Set by the installation run before its first file; start-up then saves the settings.
extern bool InstallStarted;

class TMainDlgForm : public TForm {
public:
    // Creates the window from the layout and enters page 0; not yet shown.
    TMainDlgForm();
    ~TMainDlgForm() override;

    TPanel* TopPanel;
    TLabel* TopLbl;
    TImage* LogoSmallImage;
    TPanel* LeftPanel;
    TImage* LogoImage;
    TBevel* LeftBevel;
    TPageControl* PgCtrl;
    TTabSheet* WelcomeTabSheet;
    TLabel* WelcomeLbl;
    TTabSheet* LicenseTabSheet;
    TLabel* LicenseLbl;
    TMemo* LicenseMemo;
    TCheckBox* LicenseChkBx;
    TTabSheet* DestDirTabSheet;
    TLabel* DestDirLbl;
    TEdit* DestDirEdt;
    TDirectoryListBox* DestDirLstBx;
    TDriveComboBox* DestDirCmbBx;
    TTabSheet* StartTabSheet;
    TLabel* StartLbl;
    TTabSheet* InstallingTabSheet;
    TTabSheet* FinishTabSheet;
    TLabel* FinishLbl;
    TCheckBox* FinishChkBx;
    TPanel* BottomBevelPanel;
    TBevel* BottomBevel;
    TPanel* BottomPanel;
    TButton* BackBtn;
    TButton* NextBtn;
    TButton* CancelBtn;

    bool CloseAllowed = false;    // the wizard may close without the close question
    bool DirSyncEnabled = false;  // folder list changes are copied into the edit
    TDateTime InstallTime = 0;
    std::string MainDir;

    // Page navigation (Navigation.cpp).
    // Leaves OldPage (255: none) and enters NewPage.
    void GoToPage(uint8_t OldPage, uint8_t NewPage);
    void BNClick(TControl* Sender);
    void CancelBtnClick(TControl* Sender);
    void FormCloseQuery(TControl* Sender, bool& CanClose);
    // Ends the modal run with Code (1 Finish, 2 cancel) without the close question.
    void EndWizard(int Code);
    // True while a window of the word processor exists.
    bool InstanceRunning();

    // Home folder selection (FolderSelection.cpp).
    void DestDirLstBxChange(TControl* Sender);
    void NormalizeDestDir();
    void WMTimer();

    // Installation run (InstallRun.cpp): the last step of entering page 4.
    bool IsPortableInstall();
    void RunInstallation();

    // Finishing (Finish.cpp): the press of Finish on page 5.
    void FinishActions();
    void WriteUpdateLog();
    void SaveSettings();

protected:
    TNotifyEvent NotifyHandler(const std::string& name) override;
    TCloseQueryEvent CloseQueryHandler(const std::string& name) override;
    bool WndProc(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    // Construction (MainDlg.cpp).
    void LoadLogos();
    void ReadSettings();
    // Navigation (Navigation.cpp). False when the word processor runs and
    // the page must stay; true also when the extraction was given up.
    bool LoadLicense();
    // The common step of a page change: buttons, title, page, focus.
    void ShowPage(uint8_t NewPage, TControl* Focus);
};

// text with every "%s" replaced by value.
std::string FillIn(std::string text, const std::string& value);

// The wizard of the process, owned by start-up.
extern TMainDlgForm* MainDlgForm;
