#include "wizard/MainDlg.h"

#include "app/Messages.h"
#include "wizard/Layout.h"
#include "wizard/ResConst.h"

bool InstallStarted = false;
TMainDlgForm* MainDlgForm = nullptr;

namespace {
using THandler = void (TMainDlgForm::*)(TControl*);
struct THandlerName {
    const char* Name;
    THandler Handler;
};
const THandlerName Handlers[] = {
    {"BNClick", &TMainDlgForm::BNClick},
    {"CancelBtnClick", &TMainDlgForm::CancelBtnClick},
    {"DestDirLstBxChange", &TMainDlgForm::DestDirLstBxChange},
};

constexpr uint8_t NoPage = 255;
constexpr uint8_t LastPage = 5;
}  // namespace

TMainDlgForm::TMainDlgForm() : TForm("TMainDlgForm")
{
    CreateFromLayout(WizardLayout);
    TopPanel = Control<TPanel>("TopPanel");
    TopLbl = Control<TLabel>("TopLbl");
    LogoSmallImage = Control<TImage>("LogoSmallImage");
    LeftPanel = Control<TPanel>("LeftPanel");
    LogoImage = Control<TImage>("LogoImage");
    LeftBevel = Control<TBevel>("LeftBevel");
    PgCtrl = Control<TPageControl>("PgCtrl");
    WelcomeTabSheet = Control<TTabSheet>("WelcomeTabSheet");
    WelcomeLbl = Control<TLabel>("WelcomeLbl");
    LicenseTabSheet = Control<TTabSheet>("LicenseTabSheet");
    LicenseLbl = Control<TLabel>("LicenseLbl");
    LicenseMemo = Control<TMemo>("LicenseMemo");
    LicenseChkBx = Control<TCheckBox>("LicenseChkBx");
    DestDirTabSheet = Control<TTabSheet>("DestDirTabSheet");
    DestDirLbl = Control<TLabel>("DestDirLbl");
    DestDirEdt = Control<TEdit>("DestDirEdt");
    DestDirLstBx = Control<TDirectoryListBox>("DestDirLstBx");
    DestDirCmbBx = Control<TDriveComboBox>("DestDirCmbBx");
    StartTabSheet = Control<TTabSheet>("StartTabSheet");
    StartLbl = Control<TLabel>("StartLbl");
    InstallingTabSheet = Control<TTabSheet>("InstallingTabSheet");
    FinishTabSheet = Control<TTabSheet>("FinishTabSheet");
    FinishLbl = Control<TLabel>("FinishLbl");
    FinishChkBx = Control<TCheckBox>("FinishChkBx");
    BottomBevelPanel = Control<TPanel>("BottomBevelPanel");
    BottomBevel = Control<TBevel>("BottomBevel");
    BottomPanel = Control<TPanel>("BottomPanel");
    BackBtn = Control<TButton>("BackBtn");
    NextBtn = Control<TButton>("NextBtn");
    CancelBtn = Control<TButton>("CancelBtn");

    SetCaption(Msg::SetupTitle);
    // The header band stays white under visual styles too.
    TopPanel->SetParentBackground(false);
    GoToPage(NoPage, 0);
}

TNotifyEvent TMainDlgForm::NotifyHandler(const std::string& name)
{
    for (const THandlerName& h : Handlers)
        if (name == h.Name)
            return [this, handler = h.Handler](TControl* sender) { (this->*handler)(sender); };
    return TForm::NotifyHandler(name);
}

TCloseQueryEvent TMainDlgForm::CloseQueryHandler(const std::string& name)
{
    if (name == "FormCloseQuery")
        return [this](TControl* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
    return TForm::CloseQueryHandler(name);
}

bool TMainDlgForm::WndProc(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    if (msg == WM_TIMER) {
        WMTimer();
        result = 0;
        return true;
    }
    return TForm::WndProc(msg, wp, lp, result);
}

void TMainDlgForm::GoToPage(uint8_t /*OldPage*/, uint8_t NewPage)
{
    if (NewPage > LastPage)
        return;
    TControl* focus = nullptr;
    switch (NewPage) {
    case 1:
        focus = LicenseMemo;
        break;
    case 2:
        focus = DestDirEdt;
        break;
    case 3:
        focus = NextBtn;
        break;
    default:
        break;
    }

    BackBtn->SetVisible(NewPage != 0);
    BackBtn->SetEnabled(NewPage < 4);
    BackBtn->SetCaption("< &Back");
    NextBtn->SetEnabled(NewPage != 4);
    NextBtn->SetCaption(NewPage == LastPage ? "&Finish" : "&Next >");
    CancelBtn->SetEnabled(NewPage != LastPage);
    CancelBtn->SetCaption("Cancel");
    TopLbl->SetCaption(PageTitles[NewPage]);
    PgCtrl->SetActivePageIndex(NewPage);
    if (focus)
        focus->SetFocus();
}

void TMainDlgForm::BNClick(TControl* Sender)
{
    const uint8_t OldPage = static_cast<uint8_t>(PgCtrl->ActivePageIndex());
    const uint8_t NewPage = static_cast<uint8_t>(Sender == BackBtn ? OldPage - 1 : OldPage + 1);
    GoToPage(OldPage, NewPage);
}

void TMainDlgForm::CancelBtnClick(TControl*)
{
    Close();
}

void TMainDlgForm::FormCloseQuery(TControl*, bool& CanClose)
{
    CanClose = true;
}

void TMainDlgForm::EndWizard(int Code)
{
    CloseAllowed = true;
    ModalResult = Code;
}

TMainDlgForm::~TMainDlgForm() = default;
