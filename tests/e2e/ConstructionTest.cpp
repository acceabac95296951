// Construction of the real setup: the home folder and the launch box from
// the registry and the option "-d", the logos through one temporary file,
// and the fatal end when a logo cannot be loaded.
#include <gtest/gtest.h>

#include "Driver.h"
#include "NavigationSupport.h"
#include "wizard/ControlIds.h"

#include <algorithm>
#include <optional>

using namespace e2e;

namespace {

class Construction : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSetupState();
        Home = TempRoot() + "\\Home Dir";
        MakeDirs(Home);
    }
    void TearDown() override { ResetSetupState(); }
    // "<home>", "<HOME>" (upper case) and "<default>" in text replaced.
    std::string Expand(std::string text) const
    {
        std::string upper = Home;
        CharUpperA(upper.data());
        const std::pair<const char*, std::string> tokens[] = {
            {"<home>", Home}, {"<HOME>", upper}, {"<default>", ProgramFiles() + "\\Scrivora"}};
        for (const auto& [token, value] : tokens)
            for (size_t at; (at = text.find(token)) != std::string::npos;)
                text.replace(at, std::string(token).size(), value);
        return text;
    }
    std::string Home;
};

struct TValueDef {
    DWORD Type;
    std::string Data;  // tokens of Expand allowed
};

struct TSettingsCase {
    const char* Label;
    std::optional<TValueDef> MainDir, Launch;  // nullopt: no value
    const char* Args;
    const char* Edit;  // tokens of Expand allowed
    bool LaunchChecked;
};

void PrintTo(const TSettingsCase& c, std::ostream* os) { *os << c.Label; }

std::string Dword(DWORD v) { return std::string(reinterpret_cast<const char*>(&v), sizeof v); }
std::string Sz(const std::string& s) { return s + '\0'; }

class Settings : public Construction, public ::testing::WithParamInterface<TSettingsCase> {};

TEST_P(Settings, GiveTheHomeFolderAndTheLaunchBox)
{
    const TSettingsCase& c = GetParam();
    if (c.MainDir || c.Launch) {
        if (c.MainDir)
            reg::Write("MAINDIR", c.MainDir->Type, Expand(c.MainDir->Data));
        if (c.Launch)
            reg::Write("LAUNCH", c.Launch->Type, c.Launch->Data);
    } else {
        reg::DeleteKey();
    }
    const std::vector<std::string> valuesBefore = reg::ValueNames();
    TStartOptions options;
    options.Args = Expand(c.Args);
    TSetup setup(options);
    setup.WaitForWizard();
    EXPECT_EQ(setup.Text(idDestDirEdt), Expand(c.Edit));
    EXPECT_EQ(setup.Checked(idFinishChkBx), c.LaunchChecked);
    EXPECT_EQ(ListTree(setup.TempDir()), std::vector<std::string>{}) << "a logo file is left behind";
    EXPECT_TRUE(reg::KeyExists()) << "construction creates the key";
    EXPECT_EQ(reg::ValueNames(), valuesBefore) << "construction only reads";
    EXPECT_EQ(setup.Quit(), 0u);
}

const TSettingsCase kSettingsCases[] = {
    {"no_key", std::nullopt, std::nullopt, "", "<default>", true},
    {"maindir_other_case", TValueDef{REG_SZ, Sz("<HOME>")}, std::nullopt, "", "<HOME>", true},
    {"maindir_trailing_backslash", TValueDef{REG_SZ, Sz("<home>\\")}, std::nullopt, "", "<home>\\", true},
    {"maindir_missing", TValueDef{REG_SZ, Sz("<home>\\Missing")}, std::nullopt, "", "<default>", true},
    {"maindir_dotdot", TValueDef{REG_SZ, Sz("<home>\\..\\Home Dir")}, std::nullopt, "", "<default>", true},
    {"maindir_empty", TValueDef{REG_SZ, ""}, std::nullopt, "", "<default>", true},
    {"maindir_binary_unterminated", TValueDef{REG_BINARY, "<home>"}, std::nullopt, "", "<home>", true},
    {"maindir_cut_at_zero", TValueDef{REG_SZ, Sz(Sz("<home>") + "junk")}, std::nullopt, "", "<home>", true},
    {"maindir_huge", TValueDef{REG_BINARY, std::string(70000, 'a')}, std::nullopt, "", "<default>", true},
    {"launch_0", std::nullopt, TValueDef{REG_DWORD, Dword(0)}, "", "<default>", false},
    {"launch_1", std::nullopt, TValueDef{REG_DWORD, Dword(1)}, "", "<default>", true},
    {"launch_7", std::nullopt, TValueDef{REG_DWORD, Dword(7)}, "", "<default>", true},
    {"launch_string_0", std::nullopt, TValueDef{REG_SZ, Sz("0")}, "", "<default>", true},
    {"launch_eight_zero_bytes", std::nullopt, TValueDef{REG_BINARY, std::string(8, '\0')}, "", "<default>", true},
    {"launch_four_zero_bytes", std::nullopt, TValueDef{REG_BINARY, std::string(4, '\0')}, "", "<default>", false},
    {"option_wins_over_maindir", TValueDef{REG_SZ, Sz("<home>")}, std::nullopt, "-dD:\\Apps\\Scrivora",
     "D:\\Apps\\Scrivora", true},
    {"option_upper_case_ignored", TValueDef{REG_SZ, Sz("<home>")}, std::nullopt, "-DD:\\Apps", "<home>", true},
    {"option_slash_ignored", TValueDef{REG_SZ, Sz("<home>")}, std::nullopt, "/dD:\\Apps", "<home>", true},
    {"option_alone_empty", TValueDef{REG_SZ, Sz("<home>")}, std::nullopt, "-d", "", true},
    {"option_quoted_whole", std::nullopt, std::nullopt, "\"-d<home>\\Sub Dir\"", "<home>\\Sub Dir", true},
    {"option_quoted_folder", std::nullopt, std::nullopt, "-d\"<home>\\Sub Dir\"", "<home>\\Sub Dir", true},
    {"option_second_ignored", TValueDef{REG_SZ, Sz("<home>")}, std::nullopt, "first -dD:\\Apps", "<home>", true},
};
INSTANTIATE_TEST_SUITE_P(Cases, Settings, ::testing::ValuesIn(kSettingsCases),
                         [](const auto& info) { return std::string(info.param.Label); });

TEST_F(Construction, OptionLongerThan256CharactersIsTakenWhole)
{
    const std::string folder = "C:\\" + std::string(300, 'a');
    TStartOptions options;
    options.Args = "-d" + folder;
    TSetup setup(options);
    setup.WaitForWizard();
    EXPECT_EQ(setup.Text(idDestDirEdt), folder);
    EXPECT_EQ(setup.Quit(), 0u);
}

TEST_F(Construction, WelcomeTitleIsFormattedOnce)
{
    TSetup setup;
    WaitForActiveWizard(setup);
    const std::string title = "Welcome to the Scrivora Danish Spellchecker";
    EXPECT_EQ(setup.Text(idTopLbl), title);
    setup.Click(idNextBtn);
    setup.Click(idBackBtn);
    EXPECT_EQ(setup.Text(idTopLbl), title);
    EXPECT_EQ(setup.Text(idWelcomeLbl).rfind("This program will install the Danish Spellchecker\r", 0), 0u)
        << setup.Text(idWelcomeLbl);
    EXPECT_EQ(setup.Quit(), 0u);
}

struct TLogoCase {
    const char* Label;
    const char* Payload;  // file in the test payload folder
    const char* Error;    // expected box text; nullptr: the wizard comes up
};

void PrintTo(const TLogoCase& c, std::ostream* os) { *os << c.Label; }

class Logos : public Construction, public ::testing::WithParamInterface<TLogoCase> {};

TEST_P(Logos, EndTheSetupWithExitCodeOneWhenTheyCannotBeLoaded)
{
    const TLogoCase& c = GetParam();
    const std::string exe = TempRoot() + "\\logos\\setup.exe";
    MakeDirs(TempRoot() + "\\logos");
    const auto payload = ReadFileBytes(std::string(SCRIVORA_PAYLOADS_DIR) + "\\" + c.Payload);
    ASSERT_TRUE(payload) << "test payload " << c.Payload;
    CopySetupWithPayload(exe, payload);
    TStartOptions options;
    options.Exe = exe;
    TSetup setup(options);
    if (!c.Error) {
        // Without the small logo the large one, still in the file, shows twice.
        setup.WaitForWizard();
        EXPECT_EQ(ListTree(setup.TempDir()), std::vector<std::string>{}) << "a logo file is left behind";
        EXPECT_EQ(setup.Quit(), 0u);
        return;
    }
    const TMsgBox box = setup.WaitForMsgBox();
    EXPECT_EQ(box.Text, c.Error);
    EXPECT_EQ(box.Icon, TMsgIcon::Error);
    EXPECT_EQ(box.ButtonList(), "OK");
    box.Press("OK");
    EXPECT_EQ(setup.WaitForExit(), 1u);
}

const TLogoCase kLogoCases[] = {
    {"no_logo", "no_logo.bin", "Exception EAbort"},
    {"broken_small_logo", "broken_small_logo.bin", "Exception EInvalidGraphic"},
    {"no_small_logo", "no_small_logo.bin", nullptr},
};
INSTANTIATE_TEST_SUITE_P(Payloads, Logos, ::testing::ValuesIn(kLogoCases),
                         [](const auto& info) { return std::string(info.param.Label); });

}  // namespace
