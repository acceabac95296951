// The wizard window as data: every control with its class, parent, geometry
// and settings, drawn for a form font whose "0" is 13 pixels high.
#pragma once

#include "platform/Forms.h"

extern const TFormDef WizardLayout;
