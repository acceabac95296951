// The wizard window as the layout builds it, read back from the real windows.
#include "platform/Application.h"
#include "platform/ControlRegistry.h"
#include "platform/ExtCtrls.h"
#include "platform/FileCtrls.h"
#include "platform/StdCtrls.h"
#include "wizard/ControlIds.h"
#include "wizard/Layout.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// The layout alone: every handler name binds to nothing.
class TLayoutOnlyForm : public TForm {
public:
    TLayoutOnlyForm() : TForm("TLayoutOnlyForm") { CreateFromLayout(WizardLayout); }

protected:
    TNotifyEvent NotifyHandler(const std::string&) override { return [](TControl*) {}; }
    TCloseQueryEvent CloseQueryHandler(const std::string&) override { return [](TControl*, bool&) {}; }
};

class LayoutTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        InitCommonControlsRuntime();
        RegisterControlClasses();
    }
    void SetUp() override { Form = std::make_unique<TLayoutOnlyForm>(); }
    HWND Find(int id) const { return FindById(Form->Handle, id); }
    static HWND FindById(HWND root, int id)
    {
        for (HWND c = GetWindow(root, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (GetDlgCtrlID(c) == id)
                return c;
            if (HWND inner = FindById(c, id))
                return inner;
        }
        return nullptr;
    }
    std::unique_ptr<TLayoutOnlyForm> Form;
};

RECT RectInParent(HWND hwnd)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string Text(HWND hwnd)
{
    char buf[512];
    GetWindowTextA(hwnd, buf, sizeof buf);
    return buf;
}

std::string Describe(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right - r.left) +
           " x " + std::to_string(r.bottom - r.top) + ")";
}

// The auto-size rule: the caption's one-line extent plus four borders each way.
SIZE AutoSizeOf(HWND label)
{
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0)));
    const std::string text = Text(label);
    RECT r{};
    if (text.empty()) {
        TEXTMETRICA tm;
        GetTextMetricsA(dc, &tm);
        r.bottom = tm.tmHeight;
    } else {
        DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    }
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    return SIZE{r.right + 4 * GetSystemMetrics(SM_CXBORDER), r.bottom + 4 * GetSystemMetrics(SM_CYBORDER)};
}

constexpr int Auto = -1;  // sized by its text or its font
struct TExpected {
    const char* Name;
    int Id, ParentId;  // ParentId 0: the form
    int Left, Top, Width, Height;
    const char* Caption;
};
const TExpected Expected[] = {
    {"PgCtrl", idPgCtrl, 0, 120, 41, 375, 268, ""},
    {"TopPanel", idTopPanel, 0, 0, 0, 492, 46, ""},
    {"LeftPanel", idLeftPanel, 0, 0, 46, 123, 301, ""},
    {"BottomPanel", idBottomPanel, 0, 0, 307, 492, 44, ""},
    {"BottomBevelPanel", idBottomBevelPanel, 0, 0, 306, 492, 2, ""},
    {"TopLbl", idTopLbl, idTopPanel, 20, 14, Auto, Auto, ""},
    {"LogoSmallImage", idLogoSmallImage, idTopPanel, 440, 6, 34, 34, ""},
    {"LogoImage", idLogoImage, idLeftPanel, 1, 0, 120, 260, ""},
    {"LeftBevel", idLeftBevel, idLeftPanel, 121, 0, 2, 301, ""},
    {"BottomBevel", idBottomBevel, idBottomBevelPanel, 1, 0, 491, 2, ""},
    {"BackBtn", idBackBtn, idBottomPanel, 210, 12, 85, 22, ""},
    {"NextBtn", idNextBtn, idBottomPanel, 295, 12, 85, 22, ""},
    {"CancelBtn", idCancelBtn, idBottomPanel, 392, 12, 85, 22, ""},
    {"WelcomeLbl", idWelcomeLbl, idWelcomeTabSheet, 12, 27, 349, 115,
     "This program will install the %s\rfor Scrivora Word Processor on your computer.\r\r\r\r\r"
     "Click Next to continue. Click Cancel to quit Setup."},
    {"LicenseLbl", idLicenseLbl, idLicenseTabSheet, 12, 7, Auto, Auto, "Please read the following &License Agreement."},
    {"LicenseMemo", idLicenseMemo, idLicenseTabSheet, 12, 25, 345, 207, ""},
    {"LicenseChkBx", idLicenseChkBx, idLicenseTabSheet, 12, 237, 282, 17,
     "I &accept all the terms of the above License Agreement"},
    {"DestDirLbl", idDestDirLbl, idDestDirTabSheet, 11, 7, 345, 30,
     "Please specify the home &folder of Scrivora Word Processor on your computer:"},
    {"DestDirEdt", idDestDirEdt, idDestDirTabSheet, 11, 43, 345, 21, ""},
    {"DestDirLstBx", idDestDirLstBx, idDestDirTabSheet, 11, 65, 345, 157, ""},
    {"DestDirCmbBx", idDestDirCmbBx, idDestDirTabSheet, 11, 225, 345, Auto, ""},
    {"StartLbl", idStartLbl, idStartTabSheet, 11, 7, 345, 80,
     "You are now ready to install the %s.\r\rClick Next to begin installation. Click Back if you want to review "
     "or change installation settings."},
    {"FinishLbl", idFinishLbl, idFinishTabSheet, 11, 7, 345, 150,
     "The %s has been successfully installed on your computer.\r\rClick Finish to exit this Setup."},
    {"FinishChkBx", idFinishChkBx, idFinishTabSheet, 40, 190, 180, 17, "&Launch Scrivora Word Processor"},
};

const int PageIds[] = {idWelcomeTabSheet,  idLicenseTabSheet,    idDestDirTabSheet,
                       idStartTabSheet,    idInstallingTabSheet, idFinishTabSheet};
}  // namespace

TEST_F(LayoutTest, ClientAreaIs492By351AtDesignResolution)
{
    ASSERT_EQ(Form->TextHeight(), 13) << "the form font differs from the design font; the layout would scale";
    RECT client;
    GetClientRect(Form->Handle, &client);
    EXPECT_EQ(client.right, 492);
    EXPECT_EQ(client.bottom, 351);
    const LONG_PTR style = GetWindowLongPtrA(Form->Handle, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) << std::hex << style;
}

TEST_F(LayoutTest, EveryControlHasItsRectangleCaptionAndVisibility)
{
    for (const TExpected& e : Expected) {
        SCOPED_TRACE(e.Name);
        HWND hwnd = Find(e.Id);
        ASSERT_NE(hwnd, nullptr);
        EXPECT_EQ(Form->FindControl(e.Name)->Handle, hwnd) << "the control with this ID has another name";
        const int parentId = GetParent(hwnd) == Form->Handle ? 0 : GetDlgCtrlID(GetParent(hwnd));
        EXPECT_EQ(parentId, e.ParentId);
        const RECT r = RectInParent(hwnd);
        const SIZE autoSize = AutoSizeOf(hwnd);
        const int width = e.Width == Auto && std::string(e.Name).find("Lbl") != std::string::npos ? autoSize.cx : e.Width;
        const int height = e.Height == Auto && std::string(e.Name).find("Lbl") != std::string::npos ? autoSize.cy : e.Height;
        EXPECT_EQ(r.left, e.Left) << Describe(r);
        EXPECT_EQ(r.top, e.Top) << Describe(r);
        if (width != Auto) {
            EXPECT_EQ(r.right - r.left, width) << Describe(r);
        }
        if (height != Auto) {
            EXPECT_EQ(r.bottom - r.top, height) << Describe(r);
        }
        EXPECT_EQ(Text(hwnd), e.Caption);
        EXPECT_TRUE(GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_VISIBLE);
    }
}

TEST_F(LayoutTest, PagesFillTheDisplayAreaTwoPixelsLowerAndStartHidden)
{
    HWND pgCtrl = Find(idPgCtrl);
    EXPECT_EQ(TabCtrl_GetItemCount(pgCtrl), 0);
    RECT display;
    GetClientRect(pgCtrl, &display);
    TabCtrl_AdjustRect(pgCtrl, FALSE, &display);
    display.top += 2;
    for (int page = 0; page < 6; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        HWND sheet = Find(PageIds[page]);
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(GetParent(sheet), pgCtrl);
        const RECT r = RectInParent(sheet);
        EXPECT_TRUE(EqualRect(&r, &display)) << Describe(r) << " instead of " << Describe(display);
        EXPECT_FALSE(GetWindowLongPtrA(sheet, GWL_STYLE) & WS_VISIBLE);
        EXPECT_EQ(Text(sheet), "");
    }
    EXPECT_EQ(GetWindow(Find(idInstallingTabSheet), GW_CHILD), nullptr) << "the Installing page holds a control";
}

TEST_F(LayoutTest, BeforeTheFirstPageChangeTitleAndButtonsAreEmpty)
{
    EXPECT_EQ(Text(Find(idTopLbl)), "");
    for (int id : {idBackBtn, idNextBtn, idCancelBtn})
        EXPECT_EQ(Text(Find(id)), "") << "button " << id;
    EXPECT_TRUE(SendMessageA(Find(idLicenseChkBx), BM_GETCHECK, 0, 0) == BST_CHECKED);
    EXPECT_FALSE(SendMessageA(Find(idFinishChkBx), BM_GETCHECK, 0, 0) == BST_CHECKED);
}

TEST_F(LayoutTest, FontsAndSettingsOfTheLayout)
{
    LOGFONTA top{};
    GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(Find(idTopLbl), WM_GETFONT, 0, 0)), sizeof top, &top);
    EXPECT_STREQ(top.lfFaceName, "Arial");
    EXPECT_EQ(top.lfHeight, -15);
    EXPECT_EQ(top.lfWeight, FW_BOLD);
    LOGFONTA body{};
    GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(Find(idWelcomeLbl), WM_GETFONT, 0, 0)), sizeof body, &body);
    EXPECT_STREQ(body.lfFaceName, "MS Shell Dlg 2");
    EXPECT_EQ(body.lfHeight, -11);
    EXPECT_EQ(Form->Control<TPanel>("TopPanel")->Color, 0xFFFFFFu);
    EXPECT_EQ(Form->Control<TPanel>("TopPanel")->BevelInner, bvRaised);
    EXPECT_EQ(Form->Control<TPanel>("TopPanel")->BevelOuter, bvLowered);
    EXPECT_EQ(static_cast<TControl*>(Form->DefaultButton), Form->FindControl("NextBtn"));
    EXPECT_EQ(static_cast<TControl*>(Form->CancelButton), Form->FindControl("CancelBtn"));
    EXPECT_EQ(Form->Control<TLabel>("DestDirLbl")->FocusControl, Form->FindControl("DestDirEdt"));
    EXPECT_EQ(Form->Control<TLabel>("LicenseLbl")->FocusControl, nullptr);
    EXPECT_EQ(static_cast<TControl*>(Form->Control<TDriveComboBox>("DestDirCmbBx")->DirList), Form->FindControl("DestDirLstBx"));
    EXPECT_EQ(SendMessageA(Find(idDestDirLstBx), LB_GETITEMHEIGHT, 0, 0), 17);
    const LONG_PTR memo = GetWindowLongPtrA(Find(idLicenseMemo), GWL_STYLE);
    EXPECT_TRUE((memo & (ES_READONLY | WS_VSCROLL | ES_MULTILINE)) == (ES_READONLY | WS_VSCROLL | ES_MULTILINE));
    EXPECT_FALSE(memo & (ES_AUTOHSCROLL | WS_HSCROLL)) << "memo lines must wrap";
    EXPECT_TRUE(GetWindowLongPtrA(Find(idLicenseMemo), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(GetWindowLongPtrA(Find(idDestDirEdt), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(LayoutTest, LaterSiblingsLieAbove)
{
    // Z order from the top: the bands cover the page control.
    std::vector<int> ids;
    for (HWND c = GetWindow(Form->Handle, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        ids.push_back(GetDlgCtrlID(c));
    EXPECT_EQ(ids, (std::vector<int>{idBottomBevelPanel, idBottomPanel, idLeftPanel, idTopPanel, idPgCtrl}));
}
