// The setup process and its wizard window, worked from outside.
#include <algorithm>
#include <cstdio>
#include <map>

#include "Driver.h"
#include "Windows.h"
#include "app/Messages.h"
#include "wizard/ControlIds.h"

namespace e2e {
namespace {

using namespace detail;

const int kPages[] = {idWelcomeTabSheet, idLicenseTabSheet,    idDestDirTabSheet,
                      idStartTabSheet,   idInstallingTabSheet, idFinishTabSheet};

struct TNoCase {
    bool operator()(const std::string& a, const std::string& b) const { return lstrcmpiA(a.c_str(), b.c_str()) < 0; }
};

// The driver's environment with the changes of `options` applied, as a block
// for CreateProcessA.
std::string EnvironmentBlock(const TStartOptions& options, const std::string& temp)
{
    std::map<std::string, std::string, TNoCase> vars;
    if (LPCH env = GetEnvironmentStringsA()) {
        for (LPCH p = env; *p; p += lstrlenA(p) + 1) {
            const std::string entry = p;
            const size_t eq = entry.find('=', 1);  // "=C:=C:\..." entries begin with '='
            if (eq != std::string::npos)
                vars[entry.substr(0, eq)] = entry.substr(eq + 1);
        }
        FreeEnvironmentStringsA(env);
    }
    vars["TMP"] = temp;
    vars["TEMP"] = temp;
    for (const auto& [name, value] : options.Env) {
        if (value)
            vars[name] = *value;
        else
            vars.erase(name);
    }
    std::string block;
    for (const auto& [name, value] : vars)
        block += name + "=" + value + '\0';
    return block + '\0';
}

bool HasChildId(HWND parent, int id)
{
    for (HWND child : ChildWindows(parent))
        if (GetDlgCtrlID(child) == id)
            return true;
    return false;
}

// A message box is a dialog; the wizard, whatever its class, has a page control.
bool IsMsgBox(HWND w) { return IsWindowVisible(w) && ClassOf(w) == "#32770" && !HasChildId(w, idPgCtrl); }

std::string CloseQuestionText()
{
    char text[1024];
    std::snprintf(text, sizeof text, Msg::CloseQuestion, Msg::ProductName, Msg::ProductName);
    return text;
}

}  // namespace

TSetup::TSetup(TStartOptions options)
{
    const std::string exe = options.Exe.empty() ? SetupExe() : options.Exe;
    Temp = options.TempDir;
    if (Temp.empty()) {
        Temp = TempRoot() + "\\tmp";
        RemoveTree(Temp);
    }
    MakeDirs(Temp);
    std::string cmdline = "\"" + exe + "\"" + (options.Args.empty() ? "" : " " + options.Args);
    std::string env = EnvironmentBlock(options, Temp);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(exe.c_str(), cmdline.data(), nullptr, nullptr, FALSE, 0, env.data(),
                        options.WorkDir.empty() ? nullptr : options.WorkDir.c_str(), &si, &pi))
        throw TDriverError("cannot start " + exe + ": error " + std::to_string(GetLastError()));
    CloseHandle(pi.hThread);
    Process = TKernelHandle(pi.hProcess);
    ProcessId = pi.dwProcessId;
}

TSetup::~TSetup() { Kill(); }

bool TSetup::Running() const { return WaitForSingleObject(Process.Get(), 0) == WAIT_TIMEOUT; }

void TSetup::Kill()
{
    if (Process && Running()) {
        TerminateProcess(Process.Get(), 255);
        WaitForSingleObject(Process.Get(), kTimeout);
    }
}

HWND TSetup::WaitForWizard(DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil(timeoutMs, [&] {
        for (HWND w : TopLevelWindowsOf(ProcessId))
            if (IsWindowVisible(w) && CaptionOf(w) == kSetupTitle && !IsMsgBox(w)) {
                found = w;
                return true;
            }
        return !Running();
    });
    if (!found) {
        std::string why = Running() ? "no window appeared" : "the process ended";
        for (HWND box : MsgBoxes())
            why += "; a message box is open: " + Quoted(ReadMsgBox(box).Text);
        throw TDriverError("setup wizard " + Quoted(kSetupTitle) + " not found: " + why);
    }
    WizardWnd = found;
    ThreadId = GetWindowThreadProcessId(found, nullptr);
    return found;
}

HWND TSetup::Wizard() const
{
    if (!WizardWnd)
        throw TDriverError("the wizard window has not been looked for (WaitForWizard)");
    return WizardWnd;
}

std::vector<HWND> TSetup::TopLevelWindows() const
{
    std::vector<HWND> out;
    for (HWND w : TopLevelWindowsOf(ProcessId))
        if (CaptionOf(w) == kSetupTitle)
            out.push_back(w);
    return out;
}

HWND TSetup::Control(int id) const
{
    for (HWND child : ChildWindows(Wizard()))
        if (GetDlgCtrlID(child) == id)
            return child;
    throw TDriverError("the wizard has no control with ID " + std::to_string(id));
}

bool TSetup::HasControl(int id) const { return HasChildId(Wizard(), id); }

std::string TSetup::Text(int id) const { return TextOf(Control(id)); }

bool TSetup::Visible(int id) const { return IsWindowVisible(Control(id)) != FALSE; }

bool TSetup::Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }

bool TSetup::Checked(int id) const
{
    DWORD_PTR state = 0;
    SendMessageTimeoutA(Control(id), BM_GETCHECK, 0, 0, SMTO_NORMAL, kTimeout, &state);
    return state == BST_CHECKED;
}

int TSetup::FocusId() const
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    Wizard();
    if (!GetGUIThreadInfo(ThreadId, &info))
        return 0;
    // The focus may sit in a part of a control (the edit of a combo box).
    for (HWND w = info.hwndFocus; w && w != WizardWnd; w = GetParent(w)) {
        const int id = GetDlgCtrlID(w);
        if (id >= idTopPanel && id <= idCancelBtn && IsChild(WizardWnd, w))
            return id;
    }
    return 0;
}

int TSetup::ActivePage() const
{
    int page = -1;
    for (int i = 0; i < 6; ++i)
        if (Visible(kPages[i]))
            page = page == -1 ? i : -2;
    return page;
}

namespace {
bool IsCombo(HWND w)
{
    std::string cls = ClassOf(w);
    CharLowerA(cls.data());
    return cls.find("combo") != std::string::npos;
}
LRESULT Ask(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(w, msg, wp, lp, SMTO_NORMAL, kTimeout, &result))
        throw TDriverError("the setup did not answer message " + std::to_string(msg));
    return static_cast<LRESULT>(result);
}
}  // namespace

int TSetup::ItemCount(int id) const
{
    HWND w = Control(id);
    return static_cast<int>(Ask(w, IsCombo(w) ? CB_GETCOUNT : LB_GETCOUNT));
}

int TSetup::Selection(int id) const
{
    HWND w = Control(id);
    return static_cast<int>(Ask(w, IsCombo(w) ? CB_GETCURSEL : LB_GETCURSEL));
}

std::string TSetup::ItemText(int id, int index) const
{
    HWND w = Control(id);
    const bool combo = IsCombo(w);
    // Across processes Wine returns list texts as UTF-16 even to the ANSI
    // call; ask in UTF-16 and convert.
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(w, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(index), 0, SMTO_NORMAL,
                             kTimeout, &len))
        throw TDriverError("the setup did not answer for item " + std::to_string(index));
    if (static_cast<LRESULT>(len) < 0)
        throw TDriverError("control " + std::to_string(id) + " has no item " + std::to_string(index));
    std::wstring wide(static_cast<size_t>(len) + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(w, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(wide.data()), SMTO_NORMAL, kTimeout, &got);
    wide.resize(static_cast<LRESULT>(got) > 0 ? static_cast<size_t>(got) : 0);
    std::string text(wide.size() * 2, '\0');
    text.resize(static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                                        text.data(), static_cast<int>(text.size()), nullptr, nullptr)));
    return text;
}

void TSetup::Settle() const
{
    if (!WizardWnd)
        return;
    // Sent messages are handled before posted ones: the first reply comes
    // before what is queued, the second once the thread asks for messages
    // again, that is after it (or from a message box's loop inside it).
    for (int i = 0; i < 2; ++i) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(WizardWnd, WM_NULL, 0, 0, SMTO_NORMAL, kTimeout, &result)) {
            if (GetLastError() == ERROR_TIMEOUT && Running())
                throw TDriverError("the setup stayed busy for " + std::to_string(kTimeout / 1000) + " seconds");
            return;  // the window or the process is gone
        }
    }
}

void TSetup::Click(int id)
{
    HWND w = Control(id);
    if (!IsWindowVisible(w) || !IsWindowEnabled(w))
        throw TDriverError("cannot click control " + std::to_string(id) + " " + Quoted(TextOf(w)) + ": it is " +
                           (IsWindowVisible(w) ? "disabled" : "hidden"));
    PostMessageA(w, BM_CLICK, 0, 0);
    Settle();
}

void TSetup::SetChecked(int id, bool checked)
{
    if (Checked(id) != checked)
        Click(id);
    if (Checked(id) != checked)
        throw TDriverError("check box " + std::to_string(id) + " did not change");
}

void TSetup::Type(int id, const std::string& text)
{
    Ask(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    Settle();
}

void TSetup::Select(int id, int index)
{
    HWND w = Control(id);
    const bool combo = IsCombo(w);
    if (Ask(w, combo ? CB_SETCURSEL : LB_SETCURSEL, index) == (combo ? CB_ERR : LB_ERR) && index >= 0)
        throw TDriverError("control " + std::to_string(id) + " has no item " + std::to_string(index));
    // As after a click: the control tells its parent.
    PostMessageA(GetParent(w), WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(w));
    Settle();
}

void TSetup::CloseByTitleBar()
{
    PostMessageA(Wizard(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Settle();
}

DWORD TSetup::Quit(bool viaCancel, DWORD timeoutMs)
{
    if (viaCancel)
        Click(idCancelBtn);
    else
        CloseByTitleBar();
    const std::string question = CloseQuestionText();
    std::string unexpected;
    WaitUntil(timeoutMs, [&] {
        if (!Running())
            return true;
        for (HWND box : MsgBoxes()) {
            TMsgBox m = ReadMsgBox(box);
            if (m.Text != question) {
                unexpected = m.Text;
                return true;
            }
            m.Press("Yes");
        }
        return false;
    });
    if (!unexpected.empty())
        throw TDriverError("closing the setup brought up " + Quoted(unexpected));
    return WaitForExit(0);
}

std::vector<HWND> TSetup::MsgBoxes() const
{
    std::vector<HWND> out;
    for (HWND w : TopLevelWindowsOf(ProcessId))
        if (w != WizardWnd && IsMsgBox(w))
            out.push_back(w);
    return out;
}

TMsgBox TSetup::WaitForMsgBox(DWORD timeoutMs) const
{
    HWND box = nullptr;
    WaitUntil(timeoutMs, [&] {
        auto boxes = MsgBoxes();
        if (!boxes.empty())
            box = boxes.front();
        return box || !Running();
    });
    if (!box)
        throw TDriverError(Running() ? "no message box appeared" : "the setup ended without a message box");
    return ReadMsgBox(box);
}

DWORD TSetup::WaitForExit(DWORD timeoutMs)
{
    if (WaitForSingleObject(Process.Get(), timeoutMs) != WAIT_OBJECT_0) {
        std::string why;
        for (HWND box : MsgBoxes())
            why += "; a message box is open: " + Quoted(ReadMsgBox(box).Text);
        throw TDriverError("the setup is still running" + why);
    }
    DWORD code = 0;
    GetExitCodeProcess(Process.Get(), &code);
    return code;
}

}  // namespace e2e
