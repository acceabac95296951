// The form on real windows: modal run and close query, the default and cancel
// buttons, accelerators, the page control, the guard around handlers.
#include "platform/Application.h"
#include "platform/ComCtrls.h"
#include "platform/ControlRegistry.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {
const TControlDef Rows[] = {
    {"TPageControl", "Pages", "", 0, 0, 300, 150, {.Id = 10}},
    {"TTabSheet", "Page0", "Pages", 0, 0, 0, 0, {.Id = 11}},
    {"TLabel", "EdtLbl", "Page0", 8, 8, 100, 16, {.Id = 12, .Caption = "&Name:", .Link = "Edt"}},
    {"TEdit", "Edt", "Page0", 8, 30, 200, 21, {.Id = 13, .AutoSize = true}},
    {"TCheckBox", "Chk", "Page0", 8, 60, 200, 17, {.Id = 14, .Caption = "&Remember"}},
    {"TTabSheet", "Page1", "Pages", 0, 0, 0, 0, {.Id = 15}},
    {"TButton", "HiddenPageBtn", "Page1", 8, 8, 80, 22, {.Id = 16, .Caption = "&Hidden", .OnEvent = "Record"}},
    {"TButton", "OkBtn", "", 10, 160, 80, 22, {.Id = 20, .Caption = "&OK", .Default = true, .OnEvent = "Record"}},
    {"TButton", "OtherBtn", "", 100, 160, 80, 22, {.Id = 21, .Caption = "O&ther", .OnEvent = "Record"}},
    {"TButton", "CancelBtn", "", 190, 160, 80, 22,
     {.Id = 22, .Caption = "Cancel", .Cancel = true, .OnEvent = "Record"}},
    {"TButton", "AbortBtn", "", 280, 160, 80, 22, {.Id = 23, .Caption = "&Abort", .OnEvent = "Abort"}},
};
const TFormDef TestLayout{400, 200, 13, "QueryClose", Rows, sizeof Rows / sizeof Rows[0]};

class TTestForm : public TForm {
public:
    std::vector<std::string> Clicks;
    std::vector<bool> Answers;  // answers of the close query, in turn; then allow
    int Queries = 0;
    TTestForm() : TForm("TTestForm") { CreateFromLayout(TestLayout); }

protected:
    TNotifyEvent NotifyHandler(const std::string& name) override
    {
        if (name == "Record")
            return [this](TControl* sender) { Clicks.push_back(sender->Name); };
        if (name == "Abort")
            return [this](TControl* sender) {
                Clicks.push_back(sender->Name);
                throw EAbort("silent");
            };
        return TForm::NotifyHandler(name);
    }
    TCloseQueryEvent CloseQueryHandler(const std::string& name) override
    {
        if (name != "QueryClose")
            return TForm::CloseQueryHandler(name);
        return [this](TControl*, bool& canClose) {
            canClose = Queries < static_cast<int>(Answers.size()) ? Answers[static_cast<size_t>(Queries)] : true;
            ++Queries;
        };
    }
};

class FormTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        InitCommonControlsRuntime();
        RegisterControlClasses();
    }
    void SetUp() override
    {
        Form = std::make_unique<TTestForm>();
        Form->Control<TPageControl>("Pages")->SetActivePageIndex(0);
        ShowWindow(Form->Handle, SW_SHOWNORMAL);
        SetForegroundWindow(Form->Handle);
        SetActiveWindow(Form->Handle);
        Pump();
    }
    void TearDown() override { SetModifiers(false, false, false); }
    static void Pump()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    static void SetModifiers(bool shift, bool ctrl, bool alt)
    {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        keys[VK_CONTROL] = ctrl ? 0x80 : 0;
        keys[VK_MENU] = alt ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    TControl* C(const char* name) const { return Form->FindControl(name); }
    bool Key(UINT msg, WPARAM key)
    {
        MSG m{GetFocus() ? GetFocus() : Form->Handle, msg, key, 0, 0, {0, 0}};
        return Form->PreTranslateMessage(m);
    }
    std::unique_ptr<TTestForm> Form;
};
}  // namespace

TEST_F(FormTest, EnterAndEscReachTheirButtons)
{
    struct TRow {
        const char* Label;
        const char* Focus;
        WPARAM Key;
        bool Shift, Ctrl, Alt;
        const char* Disabled;
        const char* Hidden;
        const char* Clicked;  // "" for none
    };
    const TRow rows[] = {
        {"Enter on the edit clicks the default button", "Edt", VK_RETURN, false, false, false, "", "", "OkBtn"},
        {"Enter on the check box clicks the default button", "Chk", VK_RETURN, false, false, false, "", "", "OkBtn"},
        {"Enter on a button clicks that button", "OtherBtn", VK_RETURN, false, false, false, "", "", "OtherBtn"},
        {"Esc clicks the cancel button", "Edt", VK_ESCAPE, false, false, false, "", "", "CancelBtn"},
        {"Esc on another button still clicks cancel", "OtherBtn", VK_ESCAPE, false, false, false, "", "",
         "CancelBtn"},
        {"Shift+Enter does nothing", "Edt", VK_RETURN, true, false, false, "", "", ""},
        {"Ctrl+Enter does nothing", "Edt", VK_RETURN, false, true, false, "", "", ""},
        {"Alt+Enter does nothing", "Edt", VK_RETURN, false, false, true, "", "", ""},
        {"Shift+Esc does nothing", "Edt", VK_ESCAPE, true, false, false, "", "", ""},
        {"a disabled default button is not clicked", "Edt", VK_RETURN, false, false, false, "OkBtn", "", ""},
        {"a hidden default button is not clicked", "Edt", VK_RETURN, false, false, false, "", "OkBtn", ""},
        {"a disabled cancel button is not clicked", "Edt", VK_ESCAPE, false, false, false, "CancelBtn", "", ""},
        {"a hidden cancel button is not clicked", "Edt", VK_ESCAPE, false, false, false, "", "CancelBtn", ""},
    };
    for (const TRow& r : rows) {
        SCOPED_TRACE(r.Label);
        Form->Clicks.clear();
        for (const char* name : {"OkBtn", "CancelBtn"}) {
            C(name)->SetEnabled(true);
            C(name)->SetVisible(true);
        }
        C(r.Focus)->SetFocus();
        ASSERT_TRUE(C(r.Focus)->Focused());
        if (*r.Disabled)
            C(r.Disabled)->SetEnabled(false);
        if (*r.Hidden)
            C(r.Hidden)->SetVisible(false);
        SetModifiers(r.Shift, r.Ctrl, r.Alt);
        const bool handled = Key(WM_KEYDOWN, r.Key);
        SetModifiers(false, false, false);
        EXPECT_EQ(handled, *r.Clicked != '\0');
        const std::vector<std::string> expected = *r.Clicked ? std::vector<std::string>{r.Clicked}
                                                             : std::vector<std::string>{};
        EXPECT_EQ(Form->Clicks, expected);
        EXPECT_TRUE(C(r.Focus)->Focused()) << "the key moved the focus";
    }
}

TEST_F(FormTest, AcceleratorsFocusClickAndToggle)
{
    C("OkBtn")->SetFocus();
    EXPECT_TRUE(Key(WM_SYSCHAR, 'n'));
    EXPECT_TRUE(C("Edt")->Focused()) << "Alt+N focuses the label's associated control";

    auto* chk = Form->Control<TCheckBox>("Chk");
    EXPECT_TRUE(Key(WM_SYSCHAR, 'R'));
    EXPECT_TRUE(chk->Focused());
    EXPECT_TRUE(chk->Checked());

    EXPECT_TRUE(Key(WM_SYSCHAR, 't'));
    EXPECT_EQ(Form->Clicks, std::vector<std::string>{"OtherBtn"});

    EXPECT_FALSE(Key(WM_SYSCHAR, 'h')) << "a button on a hidden page answered its accelerator";
    EXPECT_FALSE(Key(WM_SYSCHAR, 'z'));
    C("Edt")->SetEnabled(false);
    EXPECT_FALSE(Key(WM_SYSCHAR, 'n')) << "focus moved to a disabled control";
}

TEST_F(FormTest, TabCyclesThroughFocusableControls)
{
    C("Edt")->SetFocus();
    std::vector<std::string> seen;
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(Key(WM_KEYDOWN, VK_TAB));
        TControl* c = Form->ControlFromHandle(GetFocus());
        seen.push_back(c ? c->Name : "(none)");
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"Chk", "OkBtn", "OtherBtn", "CancelBtn", "AbortBtn", "Edt"}));
    SetModifiers(true, false, false);
    EXPECT_TRUE(Key(WM_KEYDOWN, VK_TAB));
    SetModifiers(false, false, false);
    EXPECT_TRUE(C("AbortBtn")->Focused());
}

TEST_F(FormTest, ModalRunEndsOnlyWhenTheCloseQueryAllows)
{
    Form->Answers = {false, true};
    PostMessageA(Form->Handle, WM_CLOSE, 0, 0);  // refused: the run goes on
    PostMessageA(Form->Handle, WM_CLOSE, 0, 0);  // allowed
    EXPECT_EQ(Form->ShowModal(), 2);
    EXPECT_EQ(Form->Queries, 2);
    EXPECT_FALSE(IsWindowVisible(Form->Handle));

    // A result set by a handler passes the same query.
    Form->Queries = 0;
    Form->Answers = {};
    Form->ModalResult = 0;
    auto* ok = Form->Control<TButton>("OkBtn");
    ok->OnClick = [this](TControl*) { Form->ModalResult = 1; };
    PostMessageA(ok->Handle, BM_CLICK, 0, 0);
    EXPECT_EQ(Form->ShowModal(), 1);
    EXPECT_EQ(Form->Queries, 1);
}

TEST_F(FormTest, SilentAbortEndsTheHandlerAndTheRunGoesOn)
{
    // Through a reflected notification inside the window procedure ...
    SendMessageA(C("AbortBtn")->Handle, BM_CLICK, 0, 0);
    // ... and through a key handled by the message loop.
    C("AbortBtn")->SetFocus();
    EXPECT_TRUE(Key(WM_KEYDOWN, VK_RETURN));
    EXPECT_EQ(Form->Clicks, (std::vector<std::string>{"AbortBtn", "AbortBtn"}));
    PostMessageA(Form->Handle, WM_CLOSE, 0, 0);
    EXPECT_EQ(Form->ShowModal(), 2);
}

TEST_F(FormTest, ActivatingAPageShowsItAndHidesThePreviousOne)
{
    auto* pages = Form->Control<TPageControl>("Pages");
    auto* page0 = Form->Control<TTabSheet>("Page0");
    auto* page1 = Form->Control<TTabSheet>("Page1");
    EXPECT_EQ(pages->ActivePageIndex(), 0);
    C("Edt")->SetFocus();
    pages->SetActivePage(page1);
    EXPECT_EQ(pages->ActivePageIndex(), 1);
    EXPECT_TRUE(page1->Visible());
    EXPECT_FALSE(page0->Visible());
    EXPECT_EQ(GetWindow(pages->Handle, GW_CHILD), page1->Handle) << "the active page is not in front";
    EXPECT_FALSE(IsChild(page0->Handle, GetFocus())) << "the focus stayed on the hidden page";
    EXPECT_EQ(page1->PageIndex(), 1);
}

TEST_F(FormTest, LabelAutoSizeKeepsItsCorner)
{
    auto* lbl = Form->Control<TLabel>("EdtLbl");
    lbl->AutoSize = true;
    lbl->SetCaption("&Short");
    const RECT small = lbl->BoundsRect();
    lbl->SetCaption("A much longer caption than before");
    const RECT large = lbl->BoundsRect();
    EXPECT_EQ(small.left, 8);
    EXPECT_EQ(small.top, 8);
    EXPECT_EQ(large.left, 8);
    EXPECT_EQ(large.top, 8);
    EXPECT_GT(large.right - large.left, small.right - small.left);
    EXPECT_EQ(large.bottom - large.top, small.bottom - small.top);
    EXPECT_EQ(Form->Control<TEdit>("Edt")->BoundsRect().bottom - 30, 21) << "automatic edit height";
}
