#pragma once

// The file prompt of the editor's view (IGraphicsMac::PromptForFile while its view is open)
// on the window layer's file dialogs.

#include "IGraphicsStructs.h"

class WDL_String;

// `file` gives the suggested name and receives the chosen path (empty unless OK); `dir` gives
// the start folder ("~/Desktop" when empty, and then set to it) and receives the chosen
// file's folder followed by "/"; `extensions` is a blank-separated list of allowed types.
// Saving offers exactly those types; opening chooses one file of them.
void PromptForFileWithWindowLayer(WDL_String* file, EFileAction action, WDL_String* dir, const char* extensions);
