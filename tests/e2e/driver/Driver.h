// End-to-end driver: starts the real setup executable under Wine and works it
// from outside with window messages, as a user would with mouse and keyboard.
// Every wait polls with a generous timeout; a failed wait or lookup throws
// TDriverError, which GoogleTest reports with its message.
#pragma once

#include <windows.h>

#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/Handles.h"

namespace e2e {

constexpr DWORD kTimeout = 30000;  // milliseconds; generous, Wine starts slowly
constexpr char kSetupTitle[] = "Scrivora Danish Spellchecker - Setup";

class TDriverError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Polls `ready` until it returns true; false when the timeout has passed.
template <typename F>
bool WaitUntil(DWORD timeoutMs, F ready)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (ready())
            return true;
        if (GetTickCount64() >= end)
            return false;
        Sleep(20);
    }
}

// --- Programs under test ------------------------------------------------------

// The setup executable and the word processor stand-in, as Windows paths.
// SCRIVORA_SETUP_EXE and SCRIVORA_ORVEX_EXE override the built ones.
std::string SetupExe();
std::string OrvexExe();

// A Unix path as Wine sees it through drive Z: ("/a/b" -> "Z:\a\b"); other
// paths are returned unchanged.
std::string ToWinePath(const std::string& path);
// The Unix path behind a Windows path (Wine's own mapping).
std::string ToUnixPath(const std::string& winPath);

// --- Message boxes ------------------------------------------------------------

enum class TMsgIcon { None, Error, Warning, Information, Question, Unknown };
const char* IconName(TMsgIcon icon);
inline std::ostream& operator<<(std::ostream& os, TMsgIcon icon) { return os << IconName(icon); }

// A message box of the setup's process, read when it was found.
struct TMsgBox {
    HWND Hwnd = nullptr;
    std::string Caption;
    std::string Text;
    TMsgIcon Icon = TMsgIcon::None;
    std::vector<std::string> Buttons;  // captions left to right, "&" kept ("&Yes", "OK")

    // Presses the button whose caption, "&" aside, is `button` ("Yes", "OK")
    // and waits until the box has gone.
    void Press(const std::string& button) const;
    // "&" removed: "Yes|No".
    std::string ButtonList() const;
};

// --- The setup process --------------------------------------------------------

struct TStartOptions {
    std::string Exe;      // empty: SetupExe()
    std::string Args;     // the command line after the quoted program path
    std::string WorkDir;  // empty: the driver's current folder
    // Temporary folder given as TMP and TEMP; empty: a fresh folder of the
    // driver's own, emptied before the start.
    std::string TempDir;
    // Further environment variables; a value of std::nullopt removes one.
    std::vector<std::pair<std::string, std::optional<std::string>>> Env;
};

class TSetup {
public:
    explicit TSetup(TStartOptions options = {});
    ~TSetup();  // ends a process that still runs, so that no test leaks one
    TSetup(const TSetup&) = delete;
    TSetup& operator=(const TSetup&) = delete;

    DWORD Pid() const { return ProcessId; }
    const std::string& TempDir() const { return Temp; }
    bool Running() const;

    // The visible top-level window of the process with the setup caption.
    HWND WaitForWizard(DWORD timeoutMs = kTimeout);
    HWND Wizard() const;  // as found by WaitForWizard; throws before
    // The process's other top-level windows carrying the setup caption
    // (a hidden application window, when the program has one).
    std::vector<HWND> TopLevelWindows() const;

    // Controls of the wizard by their IDs (wizard/ControlIds.h).
    HWND Control(int id) const;  // throws when there is none
    bool HasControl(int id) const;
    std::string Text(int id) const;
    bool Visible(int id) const;  // the control and all its parents are shown
    bool Enabled(int id) const;
    bool Checked(int id) const;
    int FocusId() const;  // ID of the focused control; 0 when the focus is on none of them
    // The one visible page 0 to 5; -1 when none is visible, -2 when several are.
    int ActivePage() const;
    int ItemCount(int id) const;  // list box or combo box
    int Selection(int id) const;  // -1 when no item is selected
    std::string ItemText(int id, int index) const;

    // User actions. Each returns once the setup has handled it: its handler
    // has returned, a message box of it is up, or the process has ended.
    void Click(int id);  // the button must be visible and enabled
    void SetChecked(int id, bool checked);  // clicks the check box when needed
    void Type(int id, const std::string& text);  // WM_SETTEXT, EN_CHANGE follows
    void Select(int id, int index);  // list item or combo item, with the change notification
    void CloseByTitleBar();          // WM_SYSCOMMAND SC_CLOSE
    // Closes through Cancel (`viaCancel`) or the title bar, answers the close
    // question with Yes when one comes, and returns the exit code.
    DWORD Quit(bool viaCancel = true, DWORD timeoutMs = kTimeout);
    // Waits until the setup has handled every message posted to it so far.
    void Settle() const;

    // Message boxes of the process (dialog class #32770 that is not the wizard).
    TMsgBox WaitForMsgBox(DWORD timeoutMs = kTimeout) const;
    std::vector<HWND> MsgBoxes() const;

    // The exit code; throws when the process still runs after the timeout.
    DWORD WaitForExit(DWORD timeoutMs = kTimeout);
    void Kill();

private:
    std::string Temp;
    TKernelHandle Process;
    DWORD ProcessId = 0;
    DWORD ThreadId = 0;
    HWND WizardWnd = nullptr;
};

// Reads a box of any process (the driver's own helpers use it too).
TMsgBox ReadMsgBox(HWND box);

// --- Registry: HKCU\Software\Scrivora Word Processor\Install -----------------

namespace reg {
constexpr char InstallKey[] = "Software\\Scrivora Word Processor\\Install";
struct TValue {
    DWORD Type = REG_NONE;
    std::string Data;  // raw bytes
};
bool KeyExists();
void DeleteKey();  // the key with its values; no error when missing
std::vector<std::string> ValueNames();
std::optional<TValue> Read(const std::string& name);
std::optional<std::string> ReadString(const std::string& name);  // data up to the first zero byte
std::optional<DWORD> ReadDword(const std::string& name);         // nullopt also when not 4 bytes
void Write(const std::string& name, DWORD type, const std::string& data);
void WriteString(const std::string& name, const std::string& value);
void WriteDword(const std::string& name, DWORD value);
void DeleteValue(const std::string& name);
}  // namespace reg

// --- Files ------------------------------------------------------------------

bool FileExists(const std::string& path);
bool DirExists(const std::string& path);
std::optional<std::string> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& data);  // makes the parent folders
void MakeDirs(const std::string& path);
void RemoveTree(const std::string& path);  // a file or a folder with its contents; no error when missing
std::vector<std::string> ListDir(const std::string& folder);  // names, sorted, without "." and ".."
std::vector<std::string> ListTree(const std::string& folder);  // relative paths of the files below, sorted
FILETIME LastWriteTime(const std::string& path);  // throws when missing
std::string CommonAppData();  // CSIDL_COMMON_APPDATA, no trailing backslash
std::string ProgramFiles();   // CSIDL_PROGRAM_FILES, no trailing backslash
std::string TempRoot();       // the driver's own temporary folder, no trailing backslash

// Copies the setup executable to `dest`, its FILES resource replaced by
// `payload`, or removed when `payload` is std::nullopt.
void CopySetupWithPayload(const std::string& dest, const std::optional<std::string>& payload,
                          const std::string& source = SetupExe());

// Puts orvex.exe into `homeDir` (made when missing) and returns its path.
std::string InstallOrvex(const std::string& homeDir);
// The record a started orvex.exe writes into its folder: its command line on
// the first line, its current folder on the second.
constexpr char kOrvexRecord[] = "orvex-started.txt";

// --- The word processor stand-in ---------------------------------------------

// Top-level windows carrying the word processor's marker property.
std::vector<HWND> OrvexWindows();
// Asks every such window to close and waits until none is left.
void CloseOrvexWindows(DWORD timeoutMs = kTimeout);

// A running orvex.exe; closed again by the destructor.
class TOrvex {
public:
    explicit TOrvex(const std::string& exe = OrvexExe());
    ~TOrvex();
    TOrvex(const TOrvex&) = delete;
    TOrvex& operator=(const TOrvex&) = delete;
    HWND Window() const { return Wnd; }
    DWORD Close(DWORD timeoutMs = kTimeout);  // WM_CLOSE; returns the exit code

private:
    TKernelHandle Process;
    HWND Wnd = nullptr;
};

// --- Drives -----------------------------------------------------------------

// Drive kinds as GetDriveTypeA reports them.
enum class TDriveKind : UINT {
    Removable = DRIVE_REMOVABLE,
    Fixed = DRIVE_FIXED,
    Network = DRIVE_REMOTE,
    CdRom = DRIVE_CDROM,
    RamDisk = DRIVE_RAMDISK,
};

// Adds drive `letter` as `kind`, pointing at the existing folder `target`
// (a Windows path), or removes it, through Wine's mount manager: the link in
// dosdevices and the kind change at once, also while the setup runs.
void DefineDrive(char letter, const std::string& target, TDriveKind kind);
void RemoveDrive(char letter);

// A drive that exists for the lifetime of the object.
class TDrive {
public:
    TDrive(char letter, const std::string& target, TDriveKind kind);
    ~TDrive();
    TDrive(const TDrive&) = delete;
    TDrive& operator=(const TDrive&) = delete;
    std::string Root() const;  // "F:\"

private:
    char Letter;
};

// --- Clean state ------------------------------------------------------------

// Removes what a setup run leaves behind: the Install key, the folder
// Scrivora in the common application data folder and the driver's
// temporary folder; closes stand-in windows.
void ResetSetupState();

}  // namespace e2e
