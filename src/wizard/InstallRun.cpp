#include "wizard/MainDlg.h"

bool TMainDlgForm::IsPortableInstall()
{
    return false;
}

void TMainDlgForm::RunInstallation() {}
