#include "wizard/MainDlg.h"

void TMainDlgForm::DestDirLstBxChange(TControl*) {}

void TMainDlgForm::NormalizeDestDir() {}

void TMainDlgForm::WMTimer() {}
