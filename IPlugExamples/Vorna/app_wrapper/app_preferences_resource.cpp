// The preferences dialog's controls, in creation order (dialog units; combo boxes are
// drop-down lists, labels left-aligned).

#include "app_resources.h"
#include "swell-ctl.h"
#include "swell-dlg.h"
#include "swell-wnd.h"

#include <iterator>

namespace
{
constexpr int kDropDown = CBS_DROPDOWNLIST;
constexpr int kLeft = -1;

#define GROUP(text, x, y, w, h) {"__SWELL_GROUP", 0, text, -1, x, y, w, h, 0}
#define LABEL(text, x, y, w, h) {"__SWELL_LABEL", kLeft, text, -1, x, y, w, h, 0}
#define COMBO(id, x, y, w, h) {"__SWELL_COMBO", 0, "", id, x, y, w, h, kDropDown}
#define BUTTON(isDefault, text, id, x, y, w, h) {"__SWELL_BUTTON", isDefault, text, id, x, y, w, h, 0}
#define CHECKBOX(text, id, x, y, w, h) {"__SWELL_CHECKBOX", 0, text, id, x, y, w, h, 0}

const SWELL_DialogListEntry kPreferencesControls[] = {
  GROUP("Audio Settings", 5, 10, 300, 230),
  LABEL("Driver Type", 20, 32, 60, 20),
  COMBO(IDC_COMBO_AUDIO_DRIVER, 20, 50, 150, 100),
  LABEL("Input Device", 20, 75, 80, 20),
  COMBO(IDC_COMBO_AUDIO_IN_DEV, 20, 90, 150, 100),
  LABEL("Output Device", 20, 115, 80, 20),
  COMBO(IDC_COMBO_AUDIO_OUT_DEV, 20, 130, 150, 100),
  LABEL("In 1 (L)", 20, 155, 90, 20),
  COMBO(IDC_COMBO_AUDIO_IN_L, 20, 170, 46, 100),
  LABEL("In 2 (R)", 75, 155, 90, 20),
  COMBO(IDC_COMBO_AUDIO_IN_R, 75, 170, 46, 100),
  CHECKBOX("Mono", IDC_CB_MONO_INPUT, 125, 128, 56, 100),
  LABEL("Out 1 (L)", 20, 195, 60, 20),
  COMBO(IDC_COMBO_AUDIO_OUT_L, 20, 210, 46, 100),
  LABEL("Out 2 (R)", 75, 195, 60, 20),
  COMBO(IDC_COMBO_AUDIO_OUT_R, 75, 210, 46, 100),
  LABEL("IO Vector Size", 200, 32, 80, 20),
  COMBO(IDC_COMBO_AUDIO_IOVS, 200, 50, 90, 100),
  LABEL("Signal Vector Size", 200, 75, 100, 20),
  COMBO(IDC_COMBO_AUDIO_SIGVS, 200, 90, 90, 100),
  LABEL("Sampling Rate", 200, 115, 80, 20),
  COMBO(IDC_COMBO_AUDIO_SR, 200, 130, 90, 100),
  BUTTON(0, "Audio Midi Setup...", IDC_BUTTON_OSX_AUDIO_MIDI_SETUP, 180, 170, 110, 40),
  GROUP("MIDI Settings", 5, 255, 300, 120),
  LABEL("Input Device", 20, 275, 100, 20),
  COMBO(IDC_COMBO_MIDI_IN_DEV, 20, 293, 150, 100),
  LABEL("Output Device", 20, 320, 100, 20),
  COMBO(IDC_COMBO_MIDI_OUT_DEV, 20, 338, 150, 100),
  LABEL("Input Channel", 200, 275, 100, 20),
  COMBO(IDC_COMBO_MIDI_IN_CHAN, 200, 293, 90, 100),
  LABEL("Output Channel", 200, 320, 100, 20),
  COMBO(IDC_COMBO_MIDI_OUT_CHAN, 200, 338, 90, 100),
  BUTTON(1, "OK", IDOK, 192, 383, 50, 20),
  BUTTON(0, "Apply", IDAPPLY, 132, 383, 50, 20),
  BUTTON(0, "Cancel", IDCANCEL, 252, 383, 50, 20),
};
static_assert(std::size(kPreferencesControls) == 35);

#undef GROUP
#undef LABEL
#undef COMBO
#undef BUTTON
#undef CHECKBOX
}  // namespace

void CreatePreferencesControls(HWND view, int flags)
{
  SWELL_MakeSetCurParms(1, 1, 0, 0, view, false, !(flags & 8));
  SWELL_GenerateDialogFromList(kPreferencesControls, int(std::size(kPreferencesControls)));
}
