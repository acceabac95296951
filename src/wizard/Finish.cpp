// The press of Finish: the install records for the word processor, its
// start when asked for, and the saved settings.
#include "wizard/MainDlg.h"

#include "payload/AttachFiles.h"
#include "platform/Handles.h"
#include "utils/InstUtils.h"
#include "wizard/DataFolder.h"
#include "wizard/UpdateLogFile.h"

#include <windows.h>

#include <cstring>

namespace {
constexpr char InstallKey[] = "Software\\Scrivora Word Processor\\Install";
}  // namespace

void TMainDlgForm::FinishActions()
{
    // A portable word processor does not read the shared records.
    if (!IsPortableInstall()) {
        InstallTime = NowLocal();
        // The raw double; the folder is the word processor's and is not made
        // here, so without it there is no stamp.
        std::string stamp(sizeof InstallTime, '\0');
        std::memcpy(&stamp[0], &InstallTime, sizeof InstallTime);
        WriteFileData(JoinPath(DataFolder(), "Scrivora\\Hidden\\install_stamp"), stamp);
        // Raises EAbort when the log cannot be read or written: the wizard
        // then stays on its last page for another try.
        WriteUpdateLog();
    }
    if (FinishChkBx->Checked())
        WinExec(("\"" + JoinPath(MainDir, "orvex.exe\"")).c_str(), SW_SHOW);
    SaveSettings();
    EndWizard(1);
}

void TMainDlgForm::WriteUpdateLog()
{
    MergeIntoUpdateLog(JoinPath(DataFolder(), "Scrivora\\Update.log"), AttachedFiles->PublicFiles, InstallTime);
}

void TMainDlgForm::SaveSettings()
{
    // Failures are silent: the values then stay as they were.
    TRegKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, InstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(),
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key.Get(), "MAINDIR", 0, REG_SZ, reinterpret_cast<const BYTE*>(MainDir.c_str()),
                   static_cast<DWORD>(MainDir.size() + 1));
    const DWORD launch = FinishChkBx->Checked() ? 1 : 0;
    RegSetValueExA(key.Get(), "LAUNCH", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&launch), sizeof launch);
}
