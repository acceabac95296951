// The wizard form: construction, page changes, title sizing, tab order and
// the keyboard, on the real windows with a payload built around the product logos.
#include "payload/ArchiveFormat.h"
#include "payload/AttachFiles.h"
#include "platform/Application.h"
#include "platform/ControlRegistry.h"
#include "utils/InstUtils.h"
#include "wizard/MainDlg.h"
#include "wizard/ResConst.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {
std::string LogoBytes(const char* name)
{
    std::ifstream in(std::string(WIZARD_LOGO_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << "logo " << name;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

constexpr char LicenseText[] = "First line\rSecond line\nThird line\r\n";

// The two logos; the license as given, or none.
std::unique_ptr<TAttachedFiles> MakePayload(bool withLicense)
{
    std::string raw, z;
    Archive::AppendEntry(raw, "Logo.bmp", 40000.0, LogoBytes("Logo.bmp"));
    Archive::AppendEntry(raw, "LogoSmall.bmp", 40000.0, LogoBytes("LogoSmall.bmp"));
    if (withLicense)
        Archive::AppendEntry(raw, "License.txt", 40000.0, LicenseText);
    EXPECT_TRUE(Archive::Compress(raw, 9, z));
    return std::make_unique<TAttachedFiles>(reinterpret_cast<const uint8_t*>(z.data()),
                                            static_cast<uint32_t>(z.size()));
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP bm{};
    GetObjectA(bitmap, sizeof bm, &bm);
    return {bm.bmWidth, bm.bmHeight};
}

class MainDlgTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        InitCommonControlsRuntime();
        RegisterControlClasses();
        // A folder that passes the home-folder test of page 2.
        HomeDir = GetTempDir() + "~wizard-home-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(HomeDir.c_str(), nullptr);
        std::ofstream(HomeDir + "\\orvex.exe") << "stand-in";
    }
    static void TearDownTestSuite() { DeleteTree(HomeDir); }
    void SetUp() override
    {
        Payload = MakePayload(true);
        AttachedFiles = Payload.get();
        try {
            Dlg = std::make_unique<TMainDlgForm>();
        } catch (const ESetupError& e) {
            FAIL() << "construction raised " << e.TypeName() << ": " << e.Message;
        }
    }
    void TearDown() override
    {
        Dlg.reset();
        AttachedFiles = nullptr;
    }
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
    // Walks from page 0 to page, with the home folder in the edit.
    void GoForwardTo(int page)
    {
        Dlg->DestDirEdt->SetCaption(HomeDir);
        for (int p = Dlg->PgCtrl->ActivePageIndex(); p < page; ++p)
            Dlg->GoToPage(static_cast<uint8_t>(p), static_cast<uint8_t>(p + 1));
        ASSERT_EQ(Dlg->PgCtrl->ActivePageIndex(), page);
    }
    static std::string HomeDir;
    std::unique_ptr<TAttachedFiles> Payload;
    std::unique_ptr<TMainDlgForm> Dlg;
};
std::string MainDlgTest::HomeDir;

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
    EXPECT_TRUE(Dlg->DirSyncEnabled) << "set as the last step of construction";
    EXPECT_EQ(Dlg->ModalResult, 0);
    EXPECT_EQ(PageTitles[6], "");
    EXPECT_FALSE(Dlg->TopPanel->ParentBackground) << "the header band must paint itself white";
}

TEST_F(MainDlgTest, ConstructionFillsInTheProductAndLoadsBothLogos)
{
    EXPECT_EQ(PageTitles[0], "Welcome to the Scrivora Danish Spellchecker");
    TMainDlgForm second;
    EXPECT_EQ(PageTitles[0], "Welcome to the Scrivora Danish Spellchecker") << "formatted once only";
    EXPECT_EQ(Dlg->WelcomeLbl->Caption(),
              "This program will install the Danish Spellchecker\rfor Scrivora Word Processor on your computer."
              "\r\r\r\r\rClick Next to continue. Click Cancel to quit Setup.");
    EXPECT_EQ(Dlg->StartLbl->Caption(),
              "You are now ready to install the Scrivora Danish Spellchecker.\r\rClick Next to begin installation. "
              "Click Back if you want to review or change installation settings.");
    EXPECT_EQ(Dlg->FinishLbl->Caption(),
              "The Scrivora Danish Spellchecker has been successfully installed on your computer.\r\r"
              "Click Finish to exit this Setup.");
    const SIZE large = BitmapSize(Dlg->LogoImage->Bitmap());
    const SIZE small = BitmapSize(Dlg->LogoSmallImage->Bitmap());
    EXPECT_EQ(large.cx, 120);
    EXPECT_EQ(large.cy, 260);
    EXPECT_EQ(small.cx, 32);
    EXPECT_EQ(small.cy, 32);
    EXPECT_EQ(Dlg->DestDirEdt->Caption(), Dlg->MainDir) << "the edit shows the home folder exactly";
}

TEST_F(MainDlgTest, LicenseIsLoadedOnTheFirstEntryFromPageZeroOnly)
{
    GoForwardTo(1);
    EXPECT_EQ(Dlg->LicenseMemo->LineCount(), 3);
    EXPECT_EQ(Dlg->LicenseMemo->Caption(), "First line\r\nSecond line\r\nThird line\r\n");
    EXPECT_TRUE(Dlg->NextBtn->Enabled()) << "the common step enables Next again";
    EXPECT_TRUE(Dlg->CancelBtn->Enabled()) << "the common step enables Cancel again";

    // Without a license in the payload a second extraction would end the wizard.
    Payload = MakePayload(false);
    AttachedFiles = Payload.get();
    Dlg->BackBtn->Click();
    Dlg->NextBtn->Click();
    EXPECT_EQ(Dlg->PgCtrl->ActivePageIndex(), 1);
    EXPECT_FALSE(Dlg->CloseAllowed) << "the license was extracted a second time";
    EXPECT_EQ(Dlg->LicenseMemo->LineCount(), 3);
}

TEST_F(MainDlgTest, LicenseThatCannotBeExtractedEndsTheWizardAfterTheCommonStep)
{
    Payload = MakePayload(false);
    AttachedFiles = Payload.get();
    Dlg->NextBtn->Click();
    EXPECT_TRUE(Dlg->CloseAllowed);
    EXPECT_EQ(Dlg->ModalResult, 2);
    EXPECT_EQ(Dlg->PgCtrl->ActivePageIndex(), 1);
    EXPECT_EQ(Dlg->TopLbl->Caption(), "License Agreement");
    EXPECT_TRUE(Dlg->NextBtn->Enabled());
    EXPECT_TRUE(Dlg->BackBtn->Visible());
    bool canClose = false;
    Dlg->FormCloseQuery(Dlg.get(), canClose);
    EXPECT_TRUE(canClose) << "after EndWizard the close needs no question";
}

TEST_F(MainDlgTest, HomeFolderEntersPageThreeAsMainDir)
{
    GoForwardTo(3);
    EXPECT_EQ(Dlg->MainDir, HomeDir);
    EXPECT_EQ(Dlg->TopLbl->Caption(), "Ready to Install");
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
    // Page 4 starts the installation run: the end-to-end tests cover it.
    Dlg->DestDirEdt->SetCaption(HomeDir);
    std::vector<int> order = {0, 1, 2, 3, 5, 3, 2, 1, 0};
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
    // "Specify Home Folder" is longer than "License Agreement".
    for (int page : {0, 1, 2, 1}) {
        Dlg->GoToPage(0, static_cast<uint8_t>(page));
        const RECT r = Dlg->TopLbl->BoundsRect();
        EXPECT_EQ(r.left, 20) << "page " << page;
        EXPECT_EQ(r.top, 14) << "page " << page;
        widths.push_back(r.right - r.left);
    }
    EXPECT_GT(widths[0], widths[1]) << "does not shrink to \"License Agreement\"";
    EXPECT_GT(widths[2], widths[1]) << "does not grow to \"Specify Home Folder\"";
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
    Dlg->DestDirEdt->SetCaption(HomeDir);
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

    // Enter on the edit clicks Next: page 3, the folder holds "orvex.exe".
    MSG enter{Dlg->DestDirEdt->Handle, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    EXPECT_TRUE(Dlg->PreTranslateMessage(enter));
    EXPECT_EQ(Dlg->PgCtrl->ActivePageIndex(), 3);
    EXPECT_EQ(FocusName(), "NextBtn");

    // Esc clicks Cancel.
    MSG esc{Dlg->NextBtn->Handle, WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
    EXPECT_TRUE(Dlg->PreTranslateMessage(esc));
    EXPECT_EQ(Dlg->ModalResult, 2);
}
