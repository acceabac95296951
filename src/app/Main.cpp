// Process entry: start-up, the one modal run of the wizard, shutdown.
#include "app/Messages.h"
#include "app/MsgBox.h"
#include "payload/AttachFiles.h"
#include "platform/Application.h"
#include "platform/ControlRegistry.h"
#include "platform/ErrorBox.h"
#include "platform/SystemLibrary.h"
#include "utils/InstUtils.h"
#include "wizard/MainDlg.h"

namespace {
void RunSetup(HINSTANCE instance)
{
    RegisterControlClasses();
    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    AttachedFiles = new TAttachedFiles();
    MainDlgForm = new TMainDlgForm();
    // The wizard is the window that stands for the program on the taskbar.
    SetApplicationWindow(MainDlgForm->Handle, icon, Msg::SetupTitle);
    SetMsgBoxOwner(MainDlgForm->Handle);
    MainDlgForm->ShowModal();
    if (InstallStarted)
        MainDlgForm->SaveSettings();
    SetMsgBoxOwner(nullptr);
    delete MainDlgForm;
    MainDlgForm = nullptr;
    delete AttachedFiles;
    AttachedFiles = nullptr;
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Before OLE and everything else that may load a library: none may come
    // from the setup's folder or the current one. No static initialiser of
    // ours loads one before this point.
    RestrictDllSearch();
    ApplicationInit();
    UINT exitCode = 1;
    try {
        InitSpecialFolderLookup();
        InitCommonControlsRuntime();
        RunSetup(instance);
        exitCode = 0;
    } catch (...) {
        // Fatal: nothing more runs, nothing is freed, the temporary files stay.
        ShowExceptionBox(CurrentErrorTypeName());
    }
    ApplicationExit(exitCode);
}
