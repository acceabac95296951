#include "wizard/MainDlg.h"

void TMainDlgForm::FinishActions() {}

void TMainDlgForm::WriteUpdateLog() {}

void TMainDlgForm::SaveSettings() {}
