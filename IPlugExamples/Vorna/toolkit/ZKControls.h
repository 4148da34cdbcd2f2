#pragma once

// The toolkit's controls, for the editor to include in one line.

#include "CZK.h"
#include "ControlLook.h"
#include "IBeatKeyboardZK.h"
#include "IButtonTextControlZK.h"
#include "ICheckBoxControlWSignal.h"
#include "IControlZK.h"
#include "IFloatValTextCtrlWSignalZK.h"
#include "IIntValTextControlZK.h"
#include "IKnobControlMappedZK.h"
#include "IKnobControlZK.h"
#include "IListControlZK.h"
#include "IPanelControlZK.h"
#include "ISwitchControlZK.h"
#include "ITextControlZK.h"
#include "ITooltipControlZK.h"
