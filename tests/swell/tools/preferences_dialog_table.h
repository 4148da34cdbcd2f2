#pragma once

// A dialog shaped like the host's preferences dialog, for the tests and the benchmark: its
// 35 controls as a control table, the function that makes them, its resource record and a
// filling like the host's at WM_INITDIALOG.

#include "swell-ctl.h"
#include "swell-dlg.h"
#include "swell-wnd.h"

#include <initializer_list>

namespace preferences_dialog
{
#define LABEL(text, x, y, w, h) {"__SWELL_LABEL", -1, text, -1, x, y, w, h, 0}
#define COMBO(id, x, y, w) {"__SWELL_COMBO", 0, "", id, x, y, w, 100, CBS_DROPDOWNLIST}
#define GROUP(text, x, y, w, h) {"__SWELL_GROUP", 0, text, -1, x, y, w, h, 0}
#define BUTTON(def, text, id, x, y, w, h) {"__SWELL_BUTTON", def, text, id, x, y, w, h, 0}

// The host's preferences dialog: 35 controls in creation order.
inline const SWELL_DialogListEntry kPreferences[] = {
    GROUP("Audio Settings", 5, 10, 300, 230),
    LABEL("Driver Type", 20, 32, 60, 20),
    COMBO(40008, 20, 50, 150),
    LABEL("Input Device", 20, 75, 80, 20),
    COMBO(40009, 20, 90, 150),
    LABEL("Output Device", 20, 115, 80, 20),
    COMBO(40010, 20, 130, 150),
    LABEL("In 1 (L)", 20, 155, 90, 20),
    COMBO(40014, 20, 170, 46),
    LABEL("In 2 (R)", 75, 155, 90, 20),
    COMBO(40015, 75, 170, 46),
    {"__SWELL_CHECKBOX", 0, "Mono", 40023, 125, 128, 56, 100, 0},
    LABEL("Out 1 (L)", 20, 195, 60, 20),
    COMBO(40017, 20, 210, 46),
    LABEL("Out 2 (R)", 75, 195, 60, 20),
    COMBO(40016, 75, 210, 46),
    LABEL("IO Vector Size", 200, 32, 80, 20),
    COMBO(40011, 200, 50, 90),
    LABEL("Signal Vector Size", 200, 75, 100, 20),
    COMBO(40012, 200, 90, 90),
    LABEL("Sampling Rate", 200, 115, 80, 20),
    COMBO(40013, 200, 130, 90),
    BUTTON(0, "Audio Midi Setup...", 40022, 180, 170, 110, 40),
    GROUP("MIDI Settings", 5, 255, 300, 120),
    LABEL("Input Device", 20, 275, 100, 20),
    COMBO(40018, 20, 293, 150),
    LABEL("Output Device", 20, 320, 100, 20),
    COMBO(40019, 20, 338, 150),
    LABEL("Input Channel", 200, 275, 100, 20),
    COMBO(40020, 200, 293, 90),
    LABEL("Output Channel", 200, 320, 100, 20),
    COMBO(40021, 200, 338, 90),
    BUTTON(1, "OK", IDOK, 192, 383, 50, 20),
    BUTTON(0, "Apply", 40024, 132, 383, 50, 20),
    BUTTON(0, "Cancel", IDCANCEL, 252, 383, 50, 20),
};
#undef LABEL
#undef COMBO
#undef GROUP
#undef BUTTON

inline void makePreferences(HWND view, int flags)
{
  SWELL_MakeSetCurParms(1, 1, 0, 0, view, false, !(flags & 8));
  SWELL_GenerateDialogFromList(kPreferences, sizeof kPreferences / sizeof kPreferences[0]);
}

inline SWELL_DialogResourceIndex preferencesRecord()
{
  return SWELL_DialogResourceIndex{"prefs", "Preferences", 12 | 0x10, makePreferences, 320, 420, nullptr};
}


// Fills the dialog as the host does: every list gets entries, the driver list one selected.
inline void fillLikeTheHost(HWND dialog)
{
  SendMessage(GetDlgItem(dialog, 40008), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("CoreAudio"));
  SendMessage(GetDlgItem(dialog, 40008), CB_SETCURSEL, 0, 0);
  for (const char* size : {"32", "64", "128", "256", "512", "1024", "2048", "4096", "8192"})
    SendMessage(GetDlgItem(dialog, 40011), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(size));
  SendMessage(GetDlgItem(dialog, 40011), CB_SETCURSEL,
              SendMessage(GetDlgItem(dialog, 40011), CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>("512")), 0);
  for (int id : {40009, 40010, 40018, 40019})
    for (const char* name : {"Built-in", "USB Interface"}) SWELL_CB_AddString(dialog, id, name);
  CheckDlgButton(dialog, 40023, BST_CHECKED);
}
}  // namespace preferences_dialog
