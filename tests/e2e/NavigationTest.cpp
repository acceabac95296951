// Page navigation of the real setup: the state after each page change, the
// running word processor, the license load and question, the home-folder
// test and the close question.
#include <gtest/gtest.h>

#include "Driver.h"
#include "NavigationSupport.h"
#include "app/Messages.h"
#include "wizard/ControlIds.h"

#include <cstdio>

using namespace e2e;

namespace {

std::string CloseQuestion()
{
    char text[1024];
    std::snprintf(text, sizeof text, Msg::CloseQuestion, Msg::ProductName, Msg::ProductName);
    return text;
}

class Navigation : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSetupState();
        Home = TempRoot() + "\\Home";
        InstallOrvex(Home);
    }
    void TearDown() override { ResetSetupState(); }
    // The home folder comes from the option, so that nothing is in the registry.
    TStartOptions WithHome(const std::string& exe = std::string()) const
    {
        TStartOptions options;
        options.Exe = exe;
        options.Args = "\"-d" + Home + "\"";
        return options;
    }
    static void ExpectBox(const TMsgBox& box, const std::string& text, TMsgIcon icon, const std::string& buttons)
    {
        EXPECT_EQ(box.Text, text);
        EXPECT_EQ(box.Caption, kSetupTitle);
        EXPECT_EQ(box.Icon, icon);
        EXPECT_EQ(box.ButtonList(), buttons);
    }
    std::string Home;
};

struct TPageState {
    int Page;
    const char* Title;
    bool BackVisible, BackEnabled, NextEnabled;
    const char* NextCaption;
    bool CancelEnabled;
    int Focus;  // 0: the page leaves the focus where it was
};

// Pages 4 and 5 follow the installation run and are covered with it.
const TPageState kPageStates[] = {
    {0, "Welcome to the Scrivora Danish Spellchecker", false, true, true, "&Next >", true, 0},
    {1, "License Agreement", true, true, true, "&Next >", true, idLicenseMemo},
    {2, "Specify Home Folder", true, true, true, "&Next >", true, idDestDirEdt},
    {3, "Ready to Install", true, true, true, "&Next >", true, idNextBtn},
};

// checkFocus false after a click that left the page as it was: the click
// itself moved the focus to the button, as a mouse click does.
void ExpectState(const TSetup& setup, const TPageState& s, bool checkFocus = true)
{
    EXPECT_EQ(setup.ActivePage(), s.Page);
    EXPECT_EQ(setup.Text(idTopLbl), s.Title);
    EXPECT_EQ(setup.Visible(idBackBtn), s.BackVisible);
    EXPECT_EQ(setup.Enabled(idBackBtn), s.BackEnabled);
    EXPECT_EQ(setup.Text(idBackBtn), "< &Back");
    EXPECT_EQ(setup.Enabled(idNextBtn), s.NextEnabled);
    EXPECT_EQ(setup.Text(idNextBtn), s.NextCaption);
    EXPECT_EQ(setup.Enabled(idCancelBtn), s.CancelEnabled);
    EXPECT_EQ(setup.Text(idCancelBtn), "Cancel");
    if (s.Focus && checkFocus) {
        EXPECT_EQ(setup.FocusId(), s.Focus);
    }
}

TEST_F(Navigation, EachPageEntryFromEitherSideSetsButtonsTitleAndFocus)
{
    TSetup setup(WithHome());
    WaitForActiveWizard(setup);
    ExpectState(setup, kPageStates[0]);
    for (int page : {1, 2, 3, 2, 1, 0}) {
        SCOPED_TRACE("entering page " + std::to_string(page) + " from page " + std::to_string(setup.ActivePage()));
        WalkTo(setup, page);
        ExpectState(setup, kPageStates[page]);
    }
    EXPECT_EQ(setup.Quit(), 0u);
}

TEST_F(Navigation, PicturesOfPagesZeroToThree)
{
    TSetup setup(WithHome());
    WaitForActiveWizard(setup);
    for (int page = 0; page <= 3; ++page) {
        WalkTo(setup, page);
        // Every part painted, as a user would see the page after a moment.
        RedrawWindow(setup.Wizard(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        setup.Settle();
        SaveWindowPicture(setup.Wizard(), std::string(SCRIVORA_SCREENS_DIR) + "\\page" + std::to_string(page) + ".bmp");
    }
    EXPECT_EQ(setup.Quit(), 0u);
}

TEST_F(Navigation, LicenseIsLoadedOnlyWhileTheWordProcessorIsClosedAndOnlyOnce)
{
    const std::string license = WithCrLf(ReadFileBytes(SCRIVORA_LICENSE_FILE).value_or("(license file missing)"));
    TSetup setup(WithHome());
    WaitForActiveWizard(setup);
    {
        TOrvex orvex;
        setup.Click(idNextBtn);
        const TMsgBox box = setup.WaitForMsgBox();
        ExpectBox(box, Msg::RunningInstances, TMsgIcon::Information, "OK");
        EXPECT_EQ(ListTree(setup.TempDir()), std::vector<std::string>{}) << "extracted while the word processor runs";
        box.Press("OK");
        setup.Settle();
        ExpectState(setup, kPageStates[0], false);
        EXPECT_EQ(setup.Text(idLicenseMemo), "");
    }
    setup.Click(idNextBtn);
    ASSERT_EQ(setup.ActivePage(), 1);
    EXPECT_EQ(setup.Text(idLicenseMemo), license);
    EXPECT_EQ(ListTree(setup.TempDir()), std::vector<std::string>{}) << "the license file is left behind";

    // Loaded once: no second test for the word processor either.
    TOrvex orvex;
    setup.Click(idBackBtn);
    setup.Click(idNextBtn);
    EXPECT_EQ(setup.MsgBoxes().size(), 0u) << "asked again for the running word processor";
    EXPECT_EQ(setup.ActivePage(), 1);
    EXPECT_EQ(setup.Text(idLicenseMemo), license);
    orvex.Close();
    EXPECT_EQ(setup.Quit(), 0u);
}

TEST_F(Navigation, LicenseWithoutItsFileEndsTheSetupWithoutTheCloseQuestion)
{
    const std::string exe = TempRoot() + "\\nolicense\\setup.exe";
    MakeDirs(TempRoot() + "\\nolicense");
    CopySetupWithPayload(exe, ReadFileBytes(std::string(SCRIVORA_PAYLOADS_DIR) + "\\no_license.bin"));
    TSetup setup(WithHome(exe));
    WaitForActiveWizard(setup);
    setup.Click(idNextBtn);
    EXPECT_EQ(setup.WaitForExit(), 0u);
    EXPECT_EQ(reg::ValueNames(), std::vector<std::string>{});
}

TEST_F(Navigation, DeclinedLicenseAsksAndYesEndsWithoutSaving)
{
    TSetup setup(WithHome());
    WaitForActiveWizard(setup);
    WalkTo(setup, 1);
    setup.SetChecked(idLicenseChkBx, false);
    setup.Click(idNextBtn);
    TMsgBox box = setup.WaitForMsgBox();
    ExpectBox(box, Msg::LicenseNotAccepted, TMsgIcon::Information, "Yes|No");
    box.Press("No");
    setup.Settle();
    EXPECT_EQ(setup.ActivePage(), 1);
    EXPECT_FALSE(setup.Checked(idLicenseChkBx));

    // Accepted, then cleared again after a visit to page 2: asked again.
    setup.SetChecked(idLicenseChkBx, true);
    WalkTo(setup, 2);
    WalkTo(setup, 1);
    setup.SetChecked(idLicenseChkBx, false);
    setup.Click(idNextBtn);
    box = setup.WaitForMsgBox();
    EXPECT_EQ(box.Text, Msg::LicenseNotAccepted);
    box.Press("Yes");
    // A close question would keep the process alive: WaitForExit names it.
    EXPECT_EQ(setup.WaitForExit(), 0u);
    EXPECT_EQ(reg::ValueNames(), std::vector<std::string>{});
}

TEST_F(Navigation, FolderWithoutTheWordProcessorKeepsPageTwoWithTheNormalisedText)
{
    TSetup setup(WithHome());
    WaitForActiveWizard(setup);
    WalkTo(setup, 2);
    const std::string missing = TempRoot() + "\\Empty";
    MakeDirs(missing);
    setup.Type(idDestDirEdt, "  " + missing + "\\  ");
    setup.Click(idNextBtn);
    const TMsgBox box = setup.WaitForMsgBox();
    ExpectBox(box, Msg::NotAHomeFolder, TMsgIcon::Information, "OK");
    EXPECT_EQ(setup.Text(idDestDirEdt), missing) << "the edit is normalised before the test";
    box.Press("OK");
    setup.Settle();
    ExpectState(setup, kPageStates[2], false);

    setup.Type(idDestDirEdt, Home);
    setup.Click(idNextBtn);
    EXPECT_EQ(setup.ActivePage(), 3);
    EXPECT_EQ(setup.Quit(), 0u);
}

struct TCancelCase {
    const char* Label;
    int Page;
    bool ViaCancel;
};

void PrintTo(const TCancelCase& c, std::ostream* os) { *os << c.Label; }

class CloseQuestionOn : public Navigation, public ::testing::WithParamInterface<TCancelCase> {};

TEST_P(CloseQuestionOn, NoKeepsEverythingAndYesEndsWithoutSaving)
{
    const TCancelCase& c = GetParam();
    TSetup setup(WithHome());
    WaitForActiveWizard(setup);
    WalkTo(setup, c.Page);
    // Something of the page's own that No must keep.
    if (c.Page == 1)
        setup.SetChecked(idLicenseChkBx, false);
    if (c.Page == 2)
        setup.Type(idDestDirEdt, "C:\\Typed");
    const bool checked = setup.Checked(idLicenseChkBx);
    const std::string edit = setup.Text(idDestDirEdt);

    if (c.ViaCancel)
        setup.Click(idCancelBtn);
    else
        setup.CloseByTitleBar();
    const TMsgBox box = setup.WaitForMsgBox();
    ExpectBox(box, CloseQuestion(), TMsgIcon::Question, "Yes|No");
    box.Press("No");
    setup.Settle();
    ASSERT_TRUE(setup.Running());
    ExpectState(setup, kPageStates[c.Page], false);
    EXPECT_EQ(setup.Checked(idLicenseChkBx), checked);
    EXPECT_EQ(setup.Text(idDestDirEdt), edit);

    EXPECT_EQ(setup.Quit(c.ViaCancel), 0u);
    EXPECT_EQ(reg::ValueNames(), std::vector<std::string>{});
}

const TCancelCase kCancelCases[] = {
    {"page0_cancel", 0, true}, {"page1_cancel", 1, true},     {"page2_cancel", 2, true},
    {"page3_cancel", 3, true}, {"page2_title_bar", 2, false},
};
INSTANTIATE_TEST_SUITE_P(Pages, CloseQuestionOn, ::testing::ValuesIn(kCancelCases),
                         [](const auto& info) { return std::string(info.param.Label); });

}  // namespace
