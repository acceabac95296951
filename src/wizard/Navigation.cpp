// Page navigation: the check or action of each page change, the common step
// that shows the page, and how the wizard closes.
#include "wizard/MainDlg.h"

#include "app/Messages.h"
#include "app/MsgBox.h"
#include "payload/AttachFiles.h"
#include "utils/InstUtils.h"
#include "wizard/ResConst.h"

namespace {
constexpr uint8_t LastPage = 5;
constexpr uint8_t FinishPress = 6;

BOOL CALLBACK EnumInstanceProc(HWND window, LPARAM found) noexcept
{
    if (!GetPropA(window, "1.x Nimbrel"))
        return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

HCURSOR WaitCursor()
{
    static const HCURSOR cursor = LoadCursorA(nullptr, IDC_WAIT);
    return cursor;
}
}  // namespace

void TMainDlgForm::GoToPage(uint8_t OldPage, uint8_t NewPage)
{
    TControl* focus = nullptr;
    switch (NewPage) {
    case 0:
    case LastPage:
        break;
    case 1:
        if (OldPage == 0 && LicenseMemo->LineCount() == 0 && !LoadLicense())
            return;
        focus = LicenseMemo;
        break;
    case 2:
        if (OldPage == 1 && !LicenseChkBx->Checked()) {
            if (SetupMsgBox(Msg::LicenseNotAccepted, mkInformation, btYes | btNo) == maYes)
                EndWizard(2);
            return;
        }
        focus = DestDirEdt;
        break;
    case 3:
        NormalizeDestDir();
        if (!IsExistingFile(JoinPath(DestDirEdt->Caption(), "orvex.exe"))) {
            SetupMsgBox(Msg::NotAHomeFolder, mkInformation, btOK);
            return;
        }
        MainDir = DestDirEdt->Caption();
        focus = NextBtn;
        break;
    case 4:
        if (InstanceRunning()) {
            SetupMsgBox(Msg::RunningInstances, mkInformation, btOK);
            return;
        }
        break;
    case FinishPress:
        FinishActions();
        return;
    default:
        return;  // no such page
    }
    ShowPage(NewPage, focus);
    if (NewPage == 4)
        RunInstallation();
}

bool TMainDlgForm::LoadLicense()
{
    if (InstanceRunning()) {
        SetupMsgBox(Msg::RunningInstances, mkInformation, btOK);
        return false;
    }
    NextBtn->SetEnabled(false);
    CancelBtn->SetEnabled(false);
    SetCursor(WaitCursor());
    const std::string path = MakeTempFileName();
    if (AttachedFiles->ExtractFile(nullptr, "License.txt", path)) {
        const std::wstring widePath = ToWidePath(path);
        // An unreadable text leaves the memo as it is; the page is shown all
        // the same, and the next entry from page 0 tries again.
        try {
            LicenseMemo->LoadFromFile(widePath);
        } catch (...) {
        }
        DeleteFileW(widePath.c_str());
        PgCtrl->SetActivePage(LicenseTabSheet);
    } else {
        // The user gave up on the file: the page is still set up, then the wizard closes.
        EndWizard(2);
    }
    return true;
}

void TMainDlgForm::ShowPage(uint8_t NewPage, TControl* Focus)
{
    BackBtn->SetVisible(NewPage != 0);
    BackBtn->SetEnabled(NewPage < 4);
    BackBtn->SetCaption("< &Back");
    NextBtn->SetEnabled(NewPage != 4);
    NextBtn->SetCaption(NewPage == LastPage ? "&Finish" : "&Next >");
    CancelBtn->SetEnabled(NewPage != LastPage);
    CancelBtn->SetCaption("Cancel");
    TopLbl->SetCaption(PageTitles[NewPage]);
    PgCtrl->SetActivePageIndex(NewPage);
    if (Focus)
        Focus->SetFocus();
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
    if (!CloseAllowed)
        CloseAllowed = SetupMsgBox(FillIn(Msg::CloseQuestion, Msg::ProductName), mkQuestion, btYes | btNo) == maYes;
    CanClose = CloseAllowed;
}

void TMainDlgForm::EndWizard(int Code)
{
    // Before the result: the close that follows must pass without the question.
    CloseAllowed = true;
    ModalResult = Code;
}

bool TMainDlgForm::InstanceRunning()
{
    bool found = false;
    EnumWindows(EnumInstanceProc, reinterpret_cast<LPARAM>(&found));
    return found;
}
