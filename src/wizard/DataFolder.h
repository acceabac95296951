// The machine-wide data folder of the word processor's install records and
// shared add-on folders.
#pragma once

#include "utils/InstUtils.h"

#include <string>

// CSIDL_COMMON_APPDATA, or CSIDL_PERSONAL when that is not available; empty
// when neither is. Looked up afresh at every call.
inline std::string DataFolder()
{
    const std::string common = GetSpecialFolder(35);
    return common.empty() ? GetSpecialFolder(5) : common;
}
