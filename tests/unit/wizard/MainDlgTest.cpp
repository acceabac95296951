// The wizard form: the common step of a page change, title sizing, tab order
// and the keyboard, on the real windows (no payload, no logos).
#include "platform/Application.h"
#include "platform/ControlRegistry.h"
#include "wizard/MainDlg.h"
#include "wizard/ResConst.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {
class MainDlgTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        InitCommonControlsRuntime();
        RegisterControlClasses();
    }
    void SetUp() override { Dlg = std::make_unique<TMainDlgForm>(); }
    void Show()
    {
        ShowWindow(Dlg->Handle, SW_SHOWNORMAL);
        SetForegroundWindow(Dlg->Handle);
        SetActiveWindow(Dlg->Handle);
        Pump();
    }
    static void Pump()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    std::string FocusName() const
    {
        TControl* c = Dlg->ControlFromHandle(GetFocus());
        return c ? c->Name : "(none)";
    }
    std::unique_ptr<TMainDlgForm> Dlg;
};

std::vector<std::string> VisiblePages(const TMainDlgForm& dlg)
{
    std::vector<std::string> names;
    for (TTabSheet* page : dlg.PgCtrl->Pages)
        if (page->Visible())
            names.push_back(page->Name);
    return names;
}
}  // namespace

TEST_F(MainDlgTest, ConstructionEntersPageZero)
{
    EXPECT_EQ(Dlg->Caption(), "Scrivora Danish Spellchecker - Setup");
    EXPECT_EQ(Dlg->PgCtrl->ActivePageIndex(), 0);
    EXPECT_EQ(VisiblePages(*Dlg), std::vector<std::string>{"WelcomeTabSheet"});
    EXPECT_EQ(Dlg->TopLbl->Caption(), PageTitles[0]);
    EXPECT_FALSE(Dlg->CloseAllowed);
    EXPECT_FALSE(Dlg->DirSyncEnabled);
    EXPECT_EQ(Dlg->ModalResult, 0);
    EXPECT_EQ(PageTitles[6], "");
    EXPECT_FALSE(Dlg->TopPanel->ParentBackground) << "the header band must paint itself white";
}

TEST_F(MainDlgTest, CommonStepSetsButtonsTitleAndPage)
{
    struct TRow {
        int Page;
        bool BackVisible, BackEnabled, NextEnabled;
        const char* NextCaption;
        bool CancelEnabled;
    };
    const TRow rows[] = {
        {0, false, true, true, "&Next >", true}, {1, true, true, true, "&Next >", true},
        {2, true, true, true, "&Next >", true},  {3, true, true, true, "&Next >", true},
        {4, true, false, false, "&Next >", true}, {5, true, false, true, "&Finish", false},
    };
    // Forward and then backward, so that every state is entered from another.
    std::vector<int> order = {0, 1, 2, 3, 4, 5, 3, 0};
    for (int page : order) {
        const TRow& row = rows[page];
        SCOPED_TRACE("page " + std::to_string(page));
        Dlg->GoToPage(static_cast<uint8_t>(Dlg->PgCtrl->ActivePageIndex()), static_cast<uint8_t>(page));
        EXPECT_EQ(Dlg->BackBtn->Visible(), row.BackVisible);
        EXPECT_EQ(Dlg->BackBtn->Enabled(), row.BackEnabled);
        EXPECT_EQ(Dlg->BackBtn->Caption(), "< &Back");
        EXPECT_EQ(Dlg->NextBtn->Enabled(), row.NextEnabled);
        EXPECT_EQ(Dlg->NextBtn->Caption(), row.NextCaption);
        EXPECT_EQ(Dlg->CancelBtn->Enabled(), row.CancelEnabled);
        EXPECT_EQ(Dlg->CancelBtn->Caption(), "Cancel");
        EXPECT_EQ(Dlg->TopLbl->Caption(), PageTitles[page]);
        EXPECT_EQ(Dlg->PgCtrl->ActivePageIndex(), page);
        EXPECT_EQ(VisiblePages(*Dlg).size(), 1u);
    }
}

TEST_F(MainDlgTest, BackAndNextMoveOnePage)
{
    Dlg->NextBtn->Click();
    Dlg->NextBtn->Click();
    EXPECT_EQ(Dlg->PgCtrl->ActivePageIndex(), 2);
    Dlg->BackBtn->Click();
    EXPECT_EQ(Dlg->PgCtrl->ActivePageIndex(), 1);
}

TEST_F(MainDlgTest, TopLblFollowsEachTitleFromItsCorner)
{
    std::vector<LONG> widths;
    for (int page : {0, 4, 1, 4}) {
        Dlg->GoToPage(0, static_cast<uint8_t>(page));
        const RECT r = Dlg->TopLbl->BoundsRect();
        EXPECT_EQ(r.left, 20) << "page " << page;
        EXPECT_EQ(r.top, 14) << "page " << page;
        widths.push_back(r.right - r.left);
    }
    EXPECT_GT(widths[0], widths[1]) << "does not shrink to \"Installing\"";
    EXPECT_GT(widths[2], widths[1]) << "does not grow to \"License Agreement\"";
    EXPECT_EQ(widths[1], widths[3]);
}

TEST_F(MainDlgTest, CancelAsksTheFormToClose)
{
    Dlg->CancelBtn->Click();
    EXPECT_EQ(Dlg->ModalResult, 2);
    Dlg->ModalResult = 0;
    Dlg->EndWizard(1);
    EXPECT_TRUE(Dlg->CloseAllowed);
    EXPECT_EQ(Dlg->ModalResult, 1);
}

TEST_F(MainDlgTest, TabOrderIsThePageThenTheButtons)
{
    struct TRow {
        int Page;
        std::vector<std::string> Order;
    };
    const TRow rows[] = {
        {0, {"NextBtn", "CancelBtn"}},
        {1, {"LicenseMemo", "LicenseChkBx", "BackBtn", "NextBtn", "CancelBtn"}},
        {2, {"DestDirEdt", "DestDirLstBx", "DestDirCmbBx", "BackBtn", "NextBtn", "CancelBtn"}},
        {5, {"FinishChkBx", "NextBtn"}},
    };
    for (const TRow& row : rows) {
        Dlg->GoToPage(0, static_cast<uint8_t>(row.Page));
        std::vector<std::string> forward, backward;
        const TControl* c = nullptr;
        for (size_t i = 0; i <= row.Order.size(); ++i) {
            c = Dlg->FindNextControl(c, true);
            forward.push_back(c ? c->Name : "(none)");
        }
        std::vector<std::string> expected = row.Order;
        expected.push_back(row.Order.front());  // wraps around
        EXPECT_EQ(forward, expected) << "page " << row.Page;
        c = Dlg->FindNextControl(nullptr, false);
        EXPECT_EQ(c ? c->Name : "(none)", row.Order.back()) << "page " << row.Page;
    }
}

TEST_F(MainDlgTest, KeyboardOnTheShownWizard)
{
    Show();
    Dlg->GoToPage(0, 2);
    ASSERT_EQ(FocusName(), "DestDirEdt") << "the focus control of page 2";

    MSG tab{Dlg->DestDirEdt->Handle, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_TRUE(Dlg->PreTranslateMessage(tab));
    EXPECT_EQ(FocusName(), "DestDirLstBx");

    // Alt+F: the accelerator of DestDirLbl focuses its associated edit.
    MSG altF{Dlg->DestDirLstBx->Handle, WM_SYSCHAR, 'f', 0, 0, {0, 0}};
    EXPECT_TRUE(Dlg->PreTranslateMessage(altF));
    EXPECT_EQ(FocusName(), "DestDirEdt");
    // Alt+L: LicenseLbl lies on a hidden page and has no associated control.
    MSG altL{Dlg->DestDirEdt->Handle, WM_SYSCHAR, 'l', 0, 0, {0, 0}};
    EXPECT_FALSE(Dlg->PreTranslateMessage(altL));

    // Enter on the edit clicks Next: page 3 (no folder check in this version).
    MSG enter{Dlg->DestDirEdt->Handle, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    EXPECT_TRUE(Dlg->PreTranslateMessage(enter));
    EXPECT_EQ(Dlg->PgCtrl->ActivePageIndex(), 3);
    EXPECT_EQ(FocusName(), "NextBtn");

    // Esc clicks Cancel.
    MSG esc{Dlg->NextBtn->Handle, WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
    EXPECT_TRUE(Dlg->PreTranslateMessage(esc));
    EXPECT_EQ(Dlg->ModalResult, 2);
}
