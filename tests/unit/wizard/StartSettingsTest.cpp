// The settings construction starts from: registry values of any size and
// type, and the first command-line parameter.
#include "platform/Handles.h"
#include "wizard/StartSettings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TParamCase {
    const char* Label;
    const char* CommandLine;
    const char* First;  // nullptr: no parameter
};

TEST(FirstParameter, SplitsAsTheStandardParsing)
{
    const TParamCase cases[] = {
        {"program only", "\"C:\\Setup Dir\\setup.exe\"", nullptr},
        {"program and blanks", "setup.exe  \t ", nullptr},
        {"plain", "setup.exe -dD:\\Apps", "-dD:\\Apps"},
        {"quoted program", "\"C:\\A B\\setup.exe\" -dD:\\Apps", "-dD:\\Apps"},
        {"quoted folder", "setup.exe -d\"C:\\Program Files\\X\"", "-dC:\\Program Files\\X"},
        {"quoted whole", "setup.exe \"-dC:\\Program Files\\X\"", "-dC:\\Program Files\\X"},
        {"backslash before quote", "setup.exe \"-dC:\\A B\\\" next", "-dC:\\A B\\"},
        {"control characters separate", "setup.exe\x01-dX\x1fY", "-dX"},
        {"second ignored", "setup.exe first -dX", "first"},
        {"unclosed quote", "setup.exe \"-dC:\\A B", "-dC:\\A B"},
        {"empty command line", "", nullptr},
    };
    for (const TParamCase& c : cases) {
        const auto got = FirstParameter(c.CommandLine);
        if (c.First)
            EXPECT_EQ(got.value_or("(none)"), c.First) << c.Label;
        else
            EXPECT_FALSE(got) << c.Label << ": got " << got.value_or("");
    }
}

TEST(FirstParameter, TakesAVeryLongParameterWhole)
{
    const std::string folder = "C:\\" + std::string(5000, 'a');
    EXPECT_EQ(FirstParameter(("setup.exe -d" + folder).c_str()).value_or(""), "-d" + folder);
}

TEST(HomeFolderOption, OnlyLowerCaseDashD)
{
    const struct {
        const char* Param;
        const char* Folder;  // nullptr: not the option
    } cases[] = {
        {"-dD:\\Apps\\Scrivora", "D:\\Apps\\Scrivora"}, {"-d", ""}, {"-DD:\\Apps", nullptr},
        {"/dD:\\Apps", nullptr},  {"-", nullptr},  {"d-", nullptr}, {"", nullptr},
    };
    for (const auto& c : cases) {
        const auto got = HomeFolderOption(c.Param);
        if (c.Folder)
            EXPECT_EQ(got.value_or("(none)"), c.Folder) << "param " << c.Param;
        else
            EXPECT_FALSE(got) << "param " << c.Param << ": got " << got.value_or("");
    }
}

TEST(LaunchChecked, MissingOrNotFourBytesIsChecked)
{
    const struct {
        const char* Label;
        std::optional<std::string> Data;
        bool Checked;
    } cases[] = {
        {"missing", std::nullopt, true},
        {"zero", std::string(4, '\0'), false},
        {"one", std::string("\x01\0\0\0", 4), true},
        {"high byte", std::string("\0\0\0\x80", 4), true},
        {"empty", std::string(), true},
        {"string \"0\"", std::string("0\0", 2), true},
        {"eight zero bytes", std::string(8, '\0'), true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LaunchChecked(c.Data), c.Checked) << c.Label;
}

class RegValues : public ::testing::Test {
protected:
    void SetUp() override
    {
        KeyName = "Software\\ScrivoraWizardTest" + std::to_string(GetCurrentProcessId());
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, KeyName.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  Key.Receive(), nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override
    {
        Key.Close();
        RegDeleteKeyA(HKEY_CURRENT_USER, KeyName.c_str());
    }
    void Set(const char* name, DWORD type, const std::string& data)
    {
        ASSERT_EQ(RegSetValueExA(Key.Get(), name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                 static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
    }
    std::string KeyName;
    TRegKey Key;
};

TEST_F(RegValues, ReadsAnySizeAndTypeAndCutsTextAtTheFirstZero)
{
    const std::string big(100000, 'x');
    Set("big", REG_BINARY, big);
    Set("nul", REG_SZ, std::string("C:\\Home\0rest", 12));
    Set("unterminated", REG_BINARY, "C:\\Home");
    Set("empty", REG_SZ, "");
    EXPECT_EQ(ReadRegValue(Key.Get(), "big").value_or("").size(), big.size());
    EXPECT_EQ(RegText(ReadRegValue(Key.Get(), "nul").value_or("")), "C:\\Home");
    EXPECT_EQ(RegText(ReadRegValue(Key.Get(), "unterminated").value_or("")), "C:\\Home");
    EXPECT_EQ(RegText(ReadRegValue(Key.Get(), "empty").value_or("(none)")), "");
    EXPECT_FALSE(ReadRegValue(Key.Get(), "missing"));
    EXPECT_FALSE(ReadRegValue(nullptr, "big")) << "a key that could not be opened holds nothing";
}

}  // namespace
