// The pure rules of the control layer.
#include "platform/Controls.h"
#include "platform/ControlRegistry.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

#include <gtest/gtest.h>

TEST(ScaleByTextHeight, MultipliesByTheTextHeightRatioRounded)
{
    struct TRow {
        const char* Label;
        int Value, TextHeight, Expected;
    };
    const TRow rows[] = {
        {"client width, 16 px font", 492, 16, 606},   // 605.54
        {"client height, 16 px font", 351, 16, 432},  // exactly 432
        {"design font: unchanged", 492, 13, 492},
        {"half rounds up", 13, 19, 19},
        {"just below half rounds down", 6, 14, 6},  // 6.46
        {"half away from zero for negative font heights", -13, 19, -19},
        {"font height -15 at 16 px", -15, 16, -18},  // -18.46
        {"zero", 0, 20, 0},
        {"smaller font", 351, 11, 297},  // 296.99
    };
    for (const TRow& r : rows)
        EXPECT_EQ(ScaleByTextHeight(r.Value, r.TextHeight, 13), r.Expected) << r.Label;
}

TEST(DefaultFontFace, ShellDlg2FromNt5On)
{
    EXPECT_STREQ(DefaultFontFace(VER_PLATFORM_WIN32_NT, 5), "MS Shell Dlg 2");
    EXPECT_STREQ(DefaultFontFace(VER_PLATFORM_WIN32_NT, 10), "MS Shell Dlg 2");
    EXPECT_STREQ(DefaultFontFace(VER_PLATFORM_WIN32_NT, 4), "MS Sans Serif");
    EXPECT_STREQ(DefaultFontFace(VER_PLATFORM_WIN32_WINDOWS, 5), "MS Sans Serif");
}

TEST(AdjustLineBreaks, EveryBreakBecomesCrLfAndTextEndsAtZero)
{
    struct TRow {
        const char* Label;
        std::string In, Out;
    };
    const TRow rows[] = {
        {"CR LF kept", "a\r\nb", "a\r\nb"},
        {"CR alone", "a\rb", "a\r\nb"},
        {"LF alone", "a\nb", "a\r\nb"},
        {"LF CR is two breaks", "a\n\rb", "a\r\n\r\nb"},
        {"mixed and trailing", "1\r2\n3\r\n", "1\r\n2\r\n3\r\n"},
        {"zero byte ends the text", std::string("ab\0cd", 5), "ab"},
        {"CR before the end", "x\r", "x\r\n"},
        {"empty", "", ""},
    };
    for (const TRow& r : rows)
        EXPECT_EQ(AdjustLineBreaks(r.In), r.Out) << r.Label;
}

TEST(ControlRegistry, TwelveClassesInOrderAndUnknownNamesFail)
{
    RegisterControlClasses();
    const std::vector<std::string> expected = {"TBevel", "TButton", "TCheckBox",  "TDirectoryListBox",
                                               "TDriveComboBox", "TEdit", "TImage", "TLabel",
                                               "TMemo",  "TPanel",  "TPageControl", "TTabSheet"};
    EXPECT_EQ(RegisteredControlClasses(), expected);
    EXPECT_NE(dynamic_cast<TMemo*>(CreateControl("TMemo").get()), nullptr);
    EXPECT_THROW(CreateControl("TListView"), ESetupError);
}
