// Helpers of the navigation and construction scenarios: walking the wizard
// page by page, and pictures of the wizard for a reviewer.
#pragma once

#include "Driver.h"

#include <string>

namespace e2e {

// Waits for the wizard and for its activation to have set the focus: a
// click that races the activation loses its press when the focus moves.
void WaitForActiveWizard(TSetup& setup);

// Clicks Next (Back) until `page` is the active page; throws when a click
// does not move one page.
void WalkTo(TSetup& setup, int page);

// The text as the memo shows it: every line break CR LF, as loaded.
std::string WithCrLf(const std::string& text);

// Saves what the screen shows of `window` as a 24-bit bitmap file.
void SaveWindowPicture(HWND window, const std::string& bmpPath);

}  // namespace e2e
