// The wizard window: construction from the layout, the settings it starts
// with, and destruction.
#include "wizard/MainDlg.h"

#include "app/Messages.h"
#include "payload/AttachFiles.h"
#include "utils/InstUtils.h"
#include "wizard/Layout.h"
#include "wizard/ResConst.h"
#include "wizard/StartSettings.h"

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
constexpr UINT_PTR DriveTimer = 1;
constexpr char InstallKey[] = "Software\\Scrivora Word Processor\\Install";
constexpr int CSIDL_ProgramFiles = 38;
}  // namespace

std::string FillIn(std::string text, const std::string& value)
{
    for (size_t at = text.find("%s"); at != std::string::npos; at = text.find("%s", at + value.size()))
        text.replace(at, 2, value);
    return text;
}

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
    // The table keeps the formatted title; a second form finds no %s left.
    PageTitles[0] = FillIn(PageTitles[0], Msg::ProductName);
    // The header band stays white under visual styles too.
    TopPanel->SetParentBackground(false);
    LoadLogos();
    WelcomeLbl->SetCaption(FillIn(WelcomeLbl->Caption(), "Danish Spellchecker"));
    StartLbl->SetCaption(FillIn(StartLbl->Caption(), Msg::ProductName));
    FinishLbl->SetCaption(FillIn(FinishLbl->Caption(), Msg::ProductName));
    ReadSettings();
    DestDirEdt->SetCaption(MainDir);
    DestDirLstBx->SetDirectory(MainDir);
    SetTimer(Handle, DriveTimer, 1000, nullptr);
    GoToPage(NoPage, 0);
    DirSyncEnabled = true;
}

TMainDlgForm::~TMainDlgForm()
{
    KillTimer(Handle, DriveTimer);
}

void TMainDlgForm::LoadLogos()
{
    // Both pictures pass through one file. A failed extraction leaves the
    // file as it was: missing raises EAbort, the large logo shows twice.
    const std::string path = MakeTempFileName();
    const std::wstring widePath = ToWidePath(path);
    AttachedFiles->ExtractFile(nullptr, "Logo.bmp", path);
    LogoImage->LoadFromFile(widePath);
    AttachedFiles->ExtractFile(nullptr, "LogoSmall.bmp", path);
    LogoSmallImage->LoadFromFile(widePath);
    DeleteFileW(widePath.c_str());
}

void TMainDlgForm::ReadSettings()
{
    // Created when missing, though only reading follows; a failure leaves the
    // key null and every value reads as missing.
    TRegKey key;
    RegCreateKeyExA(HKEY_CURRENT_USER, InstallKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                    key.Receive(), nullptr);
    const std::optional<std::string> mainDir = ReadRegValue(key.Get(), "MAINDIR");
    MainDir = mainDir ? RegText(*mainDir) : std::string();
    if (MainDir.empty() || !DirExists(MainDir))
        MainDir = JoinPath(GetSpecialFolder(CSIDL_ProgramFiles), "Scrivora");
    // The option is taken as given: not tested, not normalised, maybe empty.
    if (const std::optional<std::string> param = FirstParameter(GetCommandLineA()))
        if (const std::optional<std::string> folder = HomeFolderOption(*param))
            MainDir = *folder;
    FinishChkBx->SetChecked(LaunchChecked(ReadRegValue(key.Get(), "LAUNCH")));
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
