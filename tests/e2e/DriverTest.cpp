// The driver itself, checked against programs whose behaviour is known, so
// that a failing scenario points at the setup and not at the driver.
#include <gtest/gtest.h>

#include "Driver.h"

using namespace e2e;

namespace {

std::string ShowBoxExe() { return ToWinePath(SCRIVORA_SHOWBOX_EXE); }

struct TBoxCase {
    const char* Label;
    UINT Flags;
    const char* Caption;  // "" passes no caption
    const char* Text;     // "\r" as typed on the command line: backslash, r
    const char* ExpectedCaption;
    const char* ExpectedText;
    TMsgIcon Icon;
    const char* Buttons;
    const char* Press;
    DWORD Answer;
};

const TBoxCase kBoxes[] = {
    {"error_ok_no_caption", MB_ICONERROR | MB_TASKMODAL, "", "Exception EOutOfMemory", "Error",
     "Exception EOutOfMemory", TMsgIcon::Error, "OK", "OK", IDOK},
    {"question_yes_no", MB_ICONQUESTION | MB_YESNO | MB_TASKMODAL, "Scrivora Danish Spellchecker - Setup",
     "Line one\\rLine two", "Scrivora Danish Spellchecker - Setup", "Line one\rLine two", TMsgIcon::Question,
     "Yes|No", "No", IDNO},
    {"information_ok", MB_ICONINFORMATION | MB_TASKMODAL, "Caption", "Info", "Caption", "Info",
     TMsgIcon::Information, "OK", "OK", IDOK},
    {"warning_ok_cancel", MB_ICONWARNING | MB_OKCANCEL, "Caption", "Warn", "Caption", "Warn", TMsgIcon::Warning,
     "OK|Cancel", "Cancel", IDCANCEL},
    {"error_abort_retry_ignore", MB_ICONERROR | MB_ABORTRETRYIGNORE, "Caption", "Cannot create",
     "Caption", "Cannot create", TMsgIcon::Error, "Abort|Retry|Ignore", "Ignore", IDIGNORE},
    {"no_icon", MB_OK, "Caption", "Plain", "Caption", "Plain", TMsgIcon::None, "OK", "OK", IDOK},
};

void PrintTo(const TBoxCase& c, std::ostream* os) { *os << c.Label; }

class MsgBoxReading : public ::testing::TestWithParam<TBoxCase> {};

TEST_P(MsgBoxReading, ReadsAndAnswersTheBox)
{
    const TBoxCase& c = GetParam();
    TStartOptions options;
    options.Exe = ShowBoxExe();
    options.Args = std::to_string(c.Flags) + " \"" + c.Caption + "\" \"" + c.Text + "\"";
    TSetup program(options);
    const TMsgBox box = program.WaitForMsgBox();
    EXPECT_EQ(box.Caption, c.ExpectedCaption);
    EXPECT_EQ(box.Text, c.ExpectedText);
    EXPECT_EQ(box.Icon, c.Icon);
    EXPECT_EQ(box.ButtonList(), c.Buttons);
    box.Press(c.Press);
    EXPECT_EQ(program.WaitForExit(), c.Answer);
}

INSTANTIATE_TEST_SUITE_P(Boxes, MsgBoxReading, ::testing::ValuesIn(kBoxes),
                         [](const auto& info) { return std::string(info.param.Label); });

TEST(MsgBoxReading, PressingAMissingButtonNamesTheButtonsThere)
{
    TStartOptions options;
    options.Exe = ShowBoxExe();
    options.Args = "0 Caption Text";
    TSetup program(options);
    const TMsgBox box = program.WaitForMsgBox();
    try {
        box.Press("Yes");
        FAIL() << "pressed a button the box does not have";
    } catch (const TDriverError& e) {
        EXPECT_NE(std::string(e.what()).find("it has OK"), std::string::npos) << e.what();
    }
    box.Press("OK");
    EXPECT_EQ(program.WaitForExit(), static_cast<DWORD>(IDOK));
}

class Orvex : public ::testing::Test {
protected:
    void SetUp() override { RemoveTree(Home); }
    void TearDown() override { RemoveTree(Home); }
    const std::string Home = TempRoot() + "\\orvex home";
};

TEST_F(Orvex, MarksItsWindowRecordsItsStartAndEndsOnClose)
{
    const std::string exe = InstallOrvex(Home);
    ASSERT_TRUE(OrvexWindows().empty());
    TOrvex orvex(exe);
    EXPECT_NE(GetPropA(orvex.Window(), "1.x Nimbrel"), nullptr);
    EXPECT_EQ(OrvexWindows().size(), 1u);
    const auto record = ReadFileBytes(Home + "\\" + kOrvexRecord);
    ASSERT_TRUE(record.has_value());
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    EXPECT_EQ(*record, "\"" + exe + "\"\r\n" + cwd + "\r\n");
    EXPECT_EQ(orvex.Close(), 0u);
    EXPECT_TRUE(OrvexWindows().empty());
}

TEST(Registry, ValuesRoundTripAndTheKeyGoes)
{
    reg::DeleteKey();
    EXPECT_FALSE(reg::KeyExists());
    reg::WriteString("MAINDIR", "C:\\Apps\\Scrivora");
    reg::WriteDword("LAUNCH", 0);
    EXPECT_EQ(reg::ValueNames(), (std::vector<std::string>{"LAUNCH", "MAINDIR"}));
    EXPECT_EQ(reg::ReadString("MAINDIR"), "C:\\Apps\\Scrivora");
    EXPECT_EQ(reg::ReadDword("LAUNCH"), 0u);
    EXPECT_EQ(reg::ReadDword("MAINDIR"), std::nullopt);
    reg::DeleteValue("LAUNCH");
    EXPECT_EQ(reg::Read("LAUNCH").has_value(), false);
    reg::DeleteKey();
    EXPECT_FALSE(reg::KeyExists());
}

TEST(PayloadCopy, ReplacesOrRemovesTheFilesResource)
{
    const std::string garbage = TempRoot() + "\\garbage.exe", none = TempRoot() + "\\none.exe";
    MakeDirs(TempRoot());
    // Each call checks the resource of the copy itself and throws when it differs.
    EXPECT_NO_THROW(CopySetupWithPayload(garbage, std::string("not a payload")));
    EXPECT_NO_THROW(CopySetupWithPayload(none, std::nullopt));
    RemoveTree(TempRoot());
}

struct TDriveCase {
    const char* Label;
    TDriveKind Kind;
};

void PrintTo(const TDriveCase& c, std::ostream* os) { *os << c.Label; }

class Drives : public ::testing::TestWithParam<TDriveCase> {};

TEST_P(Drives, ComeAndGoWithTheirKind)
{
    const std::string target = TempRoot() + "\\stick";
    MakeDirs(target);
    WriteFileBytes(target + "\\marker.txt", "here");
    {
        TDrive drive('r', target, GetParam().Kind);
        EXPECT_EQ(GetDriveTypeA("R:\\"), static_cast<UINT>(GetParam().Kind));
        EXPECT_EQ(ReadFileBytes("R:\\marker.txt"), "here");
    }
    EXPECT_EQ(GetLogicalDrives() & (1u << ('r' - 'a')), 0u);
    EXPECT_EQ(GetDriveTypeA("R:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
    RemoveTree(TempRoot());
}

const TDriveCase kDrives[] = {
    {"removable", TDriveKind::Removable}, {"fixed", TDriveKind::Fixed},     {"network", TDriveKind::Network},
    {"cdrom", TDriveKind::CdRom},         {"ramdisk", TDriveKind::RamDisk},
};
INSTANTIATE_TEST_SUITE_P(Kinds, Drives, ::testing::ValuesIn(kDrives),
                         [](const auto& info) { return std::string(info.param.Label); });

}  // namespace
