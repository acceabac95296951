// The setup's message boxes: fixed caption, icon by kind, a system button row,
// task-modal, system button texts in US English.
#include "app/MsgBox.h"

#include "app/Messages.h"
#include "utils/InstUtils.h"

#include <windows.h>

namespace {

HWND Owner = nullptr;

UINT IconFlag(TMsgKind kind)
{
    switch (kind) {
    case mkWarning:
        return MB_ICONWARNING;
    case mkInformation:
        return MB_ICONINFORMATION;
    case mkQuestion:
        return MB_ICONQUESTION;
    default:
        return MB_ICONERROR;
    }
}

// The whole set picks the row; any set the system has no row for shows OK.
UINT ButtonFlag(TMsgButtons buttons)
{
    switch (buttons) {
    case btAbort | btRetry | btIgnore:
        return MB_ABORTRETRYIGNORE;
    case btOK | btCancel:
        return MB_OKCANCEL;
    case btRetry | btCancel:
        return MB_RETRYCANCEL;
    case btYes | btNo:
        return MB_YESNO;
    case btYes | btNo | btCancel:
        return MB_YESNOCANCEL;
    default:
        return MB_OK;
    }
}

}  // namespace

void SetMsgBoxOwner(void* hwnd)
{
    Owner = static_cast<HWND>(hwnd);
}

TMsgAnswer SetupMsgBox(const std::string& text, TMsgKind kind, TMsgButtons buttons)
{
    const UINT flags = IconFlag(kind) | ButtonFlag(buttons) | MB_TASKMODAL;
    const std::wstring wideText = ToWidePath(text);
    const std::wstring wideCaption = ToWidePath(Msg::SetupTitle);
    const int result = MessageBoxExW(Owner, wideText.c_str(), wideCaption.c_str(), flags,
                                     MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    // IDOK to IDNO are the answers' own values; a box not shown reads as OK.
    if (result >= IDOK && result <= IDNO)
        return static_cast<TMsgAnswer>(result);
    return maOK;
}
