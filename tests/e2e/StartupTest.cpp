// Start-up and shutdown of the real setup executable: the wizard window with
// its caption and icon, a clean end with exit code 0, and the fatal error box
// with exit code 1 when the payload cannot be loaded.
#include <gtest/gtest.h>

#include <algorithm>

#include "Driver.h"
#include "wizard/ControlIds.h"

using namespace e2e;

namespace {

class Startup : public ::testing::Test {
protected:
    void SetUp() override { ResetSetupState(); }
    void TearDown() override { ResetSetupState(); }
};

// Images in icon group 1 of the executable file.
int IconImagesOf(const std::string& exe)
{
    HMODULE m = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!m)
        return -1;
    int count = 0;
    if (HRSRC r = FindResourceA(m, MAKEINTRESOURCEA(1), RT_GROUP_ICON)) {
        // GRPICONDIR: reserved, type, then the image count, 16 bits each.
        if (const auto* dir = static_cast<const WORD*>(LockResource(LoadResource(m, r))))
            count = dir[2];
    }
    FreeLibrary(m);
    return count;
}

TEST_F(Startup, ShowsTheWizardWithTheSetupCaptionAndIcon)
{
    ASSERT_EQ(IconImagesOf(SetupExe()), 4) << "icon group 1 of " << SetupExe();
    TSetup setup;
    HWND wizard = setup.WaitForWizard();
    char caption[256] = {};
    GetWindowTextA(wizard, caption, sizeof caption);
    EXPECT_STREQ(caption, kSetupTitle);

    // The icon the window shows is read on the X side: window-icon.sh.
    EXPECT_EQ(setup.Quit(), 0u);
}

TEST_F(Startup, EntersTheWelcomePage)
{
    TSetup setup;
    setup.WaitForWizard();
    EXPECT_EQ(setup.ActivePage(), 0);
    EXPECT_EQ(setup.Text(idTopLbl), "Welcome to the Scrivora Danish Spellchecker");
    EXPECT_FALSE(setup.Visible(idBackBtn));
    EXPECT_TRUE(setup.Enabled(idNextBtn));
    EXPECT_EQ(setup.Text(idNextBtn), "&Next >");
    EXPECT_TRUE(setup.Enabled(idCancelBtn));
    EXPECT_EQ(setup.Text(idCancelBtn), "Cancel");
    EXPECT_EQ(setup.Quit(), 0u);
}

struct TCloseCase {
    const char* Label;
    bool ViaCancel;
};

void PrintTo(const TCloseCase& c, std::ostream* os) { *os << c.Label; }

class Closing : public Startup, public ::testing::WithParamInterface<TCloseCase> {};

TEST_P(Closing, OnTheFirstPageEndsWithExitCodeZeroAndLeavesNothing)
{
    TSetup setup;
    setup.WaitForWizard();
    EXPECT_EQ(setup.Quit(GetParam().ViaCancel), 0u);
    EXPECT_TRUE(setup.TopLevelWindows().empty());
    EXPECT_EQ(reg::ValueNames(), std::vector<std::string>{}) << "closing before the installation saves nothing";
    EXPECT_EQ(ListTree(setup.TempDir()), std::vector<std::string>{}) << "temporary files left in " << setup.TempDir();
}

const TCloseCase kCloseCases[] = {{"cancel_button", true}, {"title_bar", false}};
INSTANTIATE_TEST_SUITE_P(Ways, Closing, ::testing::ValuesIn(kCloseCases),
                         [](const auto& info) { return std::string(info.param.Label); });

struct TBrokenCase {
    const char* Label;
    std::optional<std::string> Payload;  // std::nullopt: no FILES resource at all
};

void PrintTo(const TBrokenCase& c, std::ostream* os) { *os << c.Label; }

// A shown window with the setup caption that is not a message box.
bool WizardShown(const TSetup& setup)
{
    const auto boxes = setup.MsgBoxes();
    for (HWND w : setup.TopLevelWindows())
        if (IsWindowVisible(w) && std::find(boxes.begin(), boxes.end(), w) == boxes.end())
            return true;
    return false;
}

class BrokenPayload : public Startup, public ::testing::WithParamInterface<TBrokenCase> {};

TEST_P(BrokenPayload, ShowsTheErrorBoxBeforeAnyWindowAndExitsWithOne)
{
    const std::string exe = TempRoot() + "\\broken\\ScrivoraDanishSpellcheckerSetup.exe";
    MakeDirs(TempRoot() + "\\broken");
    CopySetupWithPayload(exe, GetParam().Payload);
    TStartOptions options;
    options.Exe = exe;
    TSetup setup(options);
    WaitUntil(kTimeout, [&] { return !setup.MsgBoxes().empty() || WizardShown(setup) || !setup.Running(); });
    ASSERT_FALSE(WizardShown(setup)) << "the wizard came up although the payload cannot be loaded";
    const TMsgBox box = setup.WaitForMsgBox(0);
    EXPECT_EQ(box.Text.rfind("Exception ", 0), 0u) << "text: " << box.Text;
    EXPECT_GT(box.Text.size(), std::string("Exception ").size()) << "the box names no error type";
    EXPECT_EQ(box.Caption, "Error") << "the box gives no caption of its own";
    EXPECT_EQ(box.Icon, TMsgIcon::Error);
    EXPECT_EQ(box.ButtonList(), "OK");
    box.Press("OK");
    EXPECT_EQ(setup.WaitForExit(), 1u);
}

const TBrokenCase kBrokenCases[] = {
    {"garbage", std::string("this is no zlib stream at all")},
    {"truncated_zlib", std::string("\x78\x9c\x4b\x4c\x4a", 5)},
    {"missing", std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Payloads, BrokenPayload, ::testing::ValuesIn(kBrokenCases),
                         [](const auto& info) { return std::string(info.param.Label); });

}  // namespace
