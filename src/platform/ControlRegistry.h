// The control classes by name: a layout row names its class, the registry
// makes the control.
#pragma once

#include "platform/Controls.h"

#include <memory>
#include <string>
#include <vector>

using TControlFactory = std::unique_ptr<TControl> (*)();

// A later registration under the same name replaces the earlier one.
void RegisterControlClass(const std::string& name, TControlFactory factory);
// Throws ESetupError for a name that was never registered.
std::unique_ptr<TControl> CreateControl(const std::string& className);
std::vector<std::string> RegisteredControlClasses();

// TBevel, TButton, TCheckBox, TDirectoryListBox, TDriveComboBox, TEdit,
// TImage, TLabel, TMemo, TPanel, TPageControl, TTabSheet, with the window
// classes of the setup's own.
void RegisterControlClasses();
