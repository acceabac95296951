// The home folder page: the edit follows the folder list, and the drive
// picker follows the drives that come and go.
#include "wizard/DestDir.h"
#include "wizard/MainDlg.h"

#include "utils/InstUtils.h"

#include <shlobj.h>

namespace {
// The folder list and the drive picker test folders, join paths and classify
// drives the way the rest of the setup does.
struct TInstallFileCtrlServices {
    TInstallFileCtrlServices()
    {
        SetFileCtrlServices({&DirExists, &AddBackslash, &DrivePart, &SameFileText, &IsExternalDrive,
                             &GetSpecialFolder});
    }
} InstallFileCtrlServices;

constexpr int FirstListedDrive = 2;  // C:
constexpr int LastDrive = 25;        // Z:

bool HasDrive(DWORD mask, char letter)
{
    return letter >= 'a' && letter <= 'z' && (mask & (1u << (letter - 'a')));
}
}  // namespace

void TMainDlgForm::DestDirLstBxChange(TControl*)
{
    if (!DirSyncEnabled)
        return;
    DestDirEdt->SetCaption(DestDirLstBx->Directory());
    NormalizeDestDir();
}

void TMainDlgForm::NormalizeDestDir()
{
    DestDirEdt->SetCaption(
        NormalizeDestDirText(DestDirEdt->Caption(), DestDirCmbBx->Drive(), GetSpecialFolder(CSIDL_PROGRAM_FILES)));
}

void TMainDlgForm::WMTimer()
{
    const DWORD newMask = GetLogicalDrives();
    if (newMask == DestDirCmbBx->DriveMask)
        return;
    const DWORD oldMask = DestDirCmbBx->DriveMask;
    const std::string oldText = DestDirCmbBx->Text();
    DestDirCmbBx->BuildList();
    if (newMask < oldMask) {
        if (HasDrive(newMask, DestDirCmbBx->Drive())) {
            DestDirCmbBx->SelectText(oldText);
            return;
        }
        // Without a known Program Files folder the picker keeps its drive.
        const std::string programFiles = GetSpecialFolder(CSIDL_PROGRAM_FILES);
        if (!programFiles.empty())
            DestDirCmbBx->SetDrive(LowerChar(programFiles[0]));
        return;
    }
    for (int bit = FirstListedDrive; bit <= LastDrive; ++bit)
        if ((newMask & (1u << bit)) && !(oldMask & (1u << bit))) {
            DestDirCmbBx->SetDrive(static_cast<char>('a' + bit));
            return;
        }
}
