// Real message boxes, read and answered from a hook on this thread that sees
// the box's WM_INITDIALOG return, when its controls are final.
#include "app/MsgBox.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// What the hook saw of the box.
struct TSeenBox {
    int Shown = 0;
    std::wstring Caption;
    std::wstring Text;
    HWND Owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0xdeadbeef));
    HICON Icon = nullptr;
    std::vector<int> Buttons;  // control IDs, sorted
    std::vector<std::wstring> ButtonTexts;  // in the order of Buttons
    bool OtherWindowEnabled = true;
};

TSeenBox* Seen = nullptr;
int PressId = 0;        // the button the hook clicks
HWND OtherWindow = nullptr;

std::wstring WindowText(HWND hwnd)
{
    wchar_t buf[1024];
    return std::wstring(buf, GetWindowTextW(hwnd, buf, 1024));
}

std::wstring ClassName(HWND hwnd)
{
    wchar_t buf[64];
    return std::wstring(buf, GetClassNameW(hwnd, buf, 64));
}

void ReadBox(HWND box)
{
    Seen->Shown++;
    Seen->Caption = WindowText(box);
    Seen->Owner = GetWindow(box, GW_OWNER);
    Seen->OtherWindowEnabled = OtherWindow && IsWindowEnabled(OtherWindow);
    std::vector<std::pair<int, std::wstring>> buttons;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring cls = ClassName(child);
        // The box itself is not yet visible here, so look at the style bit.
        const bool visible = GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE;
        if (_wcsicmp(cls.c_str(), L"Button") == 0 && visible)
            buttons.emplace_back(GetDlgCtrlID(child), WindowText(child));
        else if (_wcsicmp(cls.c_str(), L"Static") == 0) {
            if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                Seen->Icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
            else if (Seen->Text.empty())
                Seen->Text = WindowText(child);
        }
    }
    std::sort(buttons.begin(), buttons.end());
    for (const auto& b : buttons) {
        Seen->Buttons.push_back(b.first);
        Seen->ButtonTexts.push_back(b.second);
    }
    // Click the wanted button, as a user would; if it is missing, end the box
    // anyway so that the test goes on and reports the difference.
    HWND press = GetDlgItem(box, PressId);
    if (press && (GetWindowLongW(press, GWL_STYLE) & WS_VISIBLE))
        PostMessageW(press, BM_CLICK, 0, 0);
    else
        EndDialog(box, 0);
}

LRESULT CALLBACK InitDialogHook(int code, WPARAM wp, LPARAM lp)
{
    try {
        const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lp);
        if (code == HC_ACTION && call->message == WM_INITDIALOG && Seen && Seen->Shown == 0 &&
            ClassName(call->hwnd) == L"#32770")
            ReadBox(call->hwnd);
    } catch (...) {
        // Nothing may unwind through user32; the test sees the box as unread.
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

// Shows one box with the hook set and returns what was seen.
TSeenBox Show(const std::string& text, TMsgKind kind, TMsgButtons buttons, int press, TMsgAnswer& answer)
{
    TSeenBox seen;
    Seen = &seen;
    PressId = press;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, InitDialogHook, nullptr, GetCurrentThreadId());
    EXPECT_NE(hook, nullptr);
    answer = SetupMsgBox(text, kind, buttons);
    UnhookWindowsHookEx(hook);
    Seen = nullptr;
    return seen;
}

HICON SystemIcon(WORD id)
{
    return LoadIconW(nullptr, MAKEINTRESOURCEW(id));
}

// A plain top-level window of this thread, to be owner or bystander.
class MsgBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        Window = CreateWindowExW(0, L"Static", L"bystander", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_NE(Window, nullptr);
    }
    void TearDown() override
    {
        SetMsgBoxOwner(nullptr);
        OtherWindow = nullptr;
        DestroyWindow(Window);
    }
    HWND Window = nullptr;
};

TEST_F(MsgBox, ShowsTheFixedCaptionAndCode1252TextTaskModalWithoutOwner)
{
    OtherWindow = Window;
    TMsgAnswer answer = maNo;
    const TSeenBox seen = Show("Line one\rPrice 5 \x80, \xE6\xF8\xE5", mkInformation, btOK, IDOK, answer);
    ASSERT_EQ(seen.Shown, 1);
    EXPECT_EQ(seen.Caption, L"Scrivora Danish Spellchecker - Setup");
    EXPECT_EQ(seen.Text, L"Line one\rPrice 5 \u20AC, \u00E6\u00F8\u00E5");
    EXPECT_EQ(seen.Owner, nullptr);
    EXPECT_FALSE(seen.OtherWindowEnabled) << "the box is not task-modal";
    EXPECT_TRUE(IsWindowEnabled(Window));
    EXPECT_EQ(answer, maOK);
}

TEST_F(MsgBox, BelongsToTheOwnerOnceSet)
{
    SetMsgBoxOwner(Window);
    TMsgAnswer answer = maOK;
    const TSeenBox seen = Show("owned", mkQuestion, btYes | btNo, IDNO, answer);
    ASSERT_EQ(seen.Shown, 1);
    EXPECT_EQ(seen.Owner, Window);
    EXPECT_EQ(seen.Caption, L"Scrivora Danish Spellchecker - Setup");
    EXPECT_EQ(answer, maNo);
}

TEST_F(MsgBox, IconFollowsTheKindAndFallsBackToError)
{
    const struct {
        int Kind;
        WORD Icon;
    } cases[] = {
        {mkWarning, 32515}, {mkError, 32513}, {mkInformation, 32516},  // IDI_WARNING, IDI_ERROR, IDI_INFORMATION
        {mkQuestion, 32514}, {4, 32513},     {255, 32513},           // IDI_QUESTION
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.Kind));
        TMsgAnswer answer = maNo;
        const TSeenBox seen = Show("icon", static_cast<TMsgKind>(c.Kind), btOK, IDOK, answer);
        ASSERT_EQ(seen.Shown, 1);
        EXPECT_NE(seen.Icon, nullptr);
        EXPECT_EQ(seen.Icon, SystemIcon(c.Icon));
        EXPECT_EQ(answer, maOK);
    }
}

TEST_F(MsgBox, ButtonRowFollowsTheWholeSetAndThePressedButtonComesBack)
{
    const struct {
        const char* Label;
        TMsgButtons Buttons;
        std::vector<int> Shown;
        int Press;
        TMsgAnswer Answer;
    } cases[] = {
        {"abort retry ignore: ignore", btAbort | btRetry | btIgnore, {IDABORT, IDRETRY, IDIGNORE}, IDIGNORE, maIgnore},
        {"abort retry ignore: abort", btAbort | btRetry | btIgnore, {IDABORT, IDRETRY, IDIGNORE}, IDABORT, maAbort},
        {"ok cancel: cancel", btOK | btCancel, {IDOK, IDCANCEL}, IDCANCEL, maCancel},
        {"retry cancel: retry", btRetry | btCancel, {IDCANCEL, IDRETRY}, IDRETRY, maRetry},
        {"yes no: no", btYes | btNo, {IDYES, IDNO}, IDNO, maNo},
        {"yes no cancel: yes", btYes | btNo | btCancel, {IDCANCEL, IDYES, IDNO}, IDYES, maYes},
        {"ok", btOK, {IDOK}, IDOK, maOK},
        {"yes alone", btYes, {IDOK}, IDOK, maOK},
        {"abort retry", btAbort | btRetry, {IDOK}, IDOK, maOK},
        {"empty set", 0, {IDOK}, IDOK, maOK},
    };
    const wchar_t* texts[] = {L"", L"OK", L"Cancel", L"&Abort", L"&Retry", L"&Ignore", L"&Yes", L"&No"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        TMsgAnswer answer = static_cast<TMsgAnswer>(0xef);
        const TSeenBox seen = Show("buttons", mkWarning, c.Buttons, c.Press, answer);
        ASSERT_EQ(seen.Shown, 1);
        EXPECT_EQ(seen.Buttons, c.Shown);
        for (size_t i = 0; i < seen.Buttons.size(); ++i) {
            if (seen.Buttons[i] >= IDOK && seen.Buttons[i] <= IDNO) {
                EXPECT_EQ(seen.ButtonTexts[i], texts[seen.Buttons[i]]);
            }
        }
        EXPECT_EQ(static_cast<int>(answer), static_cast<int>(c.Answer));
    }
}

TEST_F(MsgBox, ABoxThatCannotBeShownReadsAsOK)
{
    SetMsgBoxOwner(reinterpret_cast<HWND>(static_cast<INT_PTR>(0xdeadbeef)));  // no such window
    TMsgAnswer answer = maNo;
    const TSeenBox seen = Show("never shown", mkQuestion, btYes | btNo, IDNO, answer);
    EXPECT_EQ(seen.Shown, 0);
    EXPECT_EQ(answer, maOK);
}

}  // namespace
