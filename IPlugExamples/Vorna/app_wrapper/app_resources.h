#pragma once

// The application's windows as the window layer knows them: the registered dialog and menu
// resources, their ids and the command ids of their items and controls.

#include "swell-types.h"

#include <cstdint>

// Dialog and menu resources.
constexpr int IDD_DIALOG_MAIN = 40001;
constexpr int IDD_DIALOG_PREF = 40002;
constexpr int IDR_MENU1 = 40004;

// Menu commands.
constexpr int ID_ABOUT = 40005;
constexpr int ID_PREFERENCES = 40006;
constexpr int ID_QUIT = 40007;

// Controls of the preferences dialog.
constexpr int IDC_COMBO_AUDIO_DRIVER = 40008;
constexpr int IDC_COMBO_AUDIO_IN_DEV = 40009;
constexpr int IDC_COMBO_AUDIO_OUT_DEV = 40010;
constexpr int IDC_COMBO_AUDIO_IOVS = 40011;
constexpr int IDC_COMBO_AUDIO_SIGVS = 40012;
constexpr int IDC_COMBO_AUDIO_SR = 40013;
constexpr int IDC_COMBO_AUDIO_IN_L = 40014;
constexpr int IDC_COMBO_AUDIO_IN_R = 40015;
constexpr int IDC_COMBO_AUDIO_OUT_R = 40016;
constexpr int IDC_COMBO_AUDIO_OUT_L = 40017;
constexpr int IDC_COMBO_MIDI_IN_DEV = 40018;
constexpr int IDC_COMBO_MIDI_OUT_DEV = 40019;
constexpr int IDC_COMBO_MIDI_IN_CHAN = 40020;
constexpr int IDC_COMBO_MIDI_OUT_CHAN = 40021;
constexpr int IDC_BUTTON_OSX_AUDIO_MIDI_SETUP = 40022;
constexpr int IDC_CB_MONO_INPUT = 40023;
constexpr int IDAPPLY = 40024;

constexpr int kMainWindowWidth = 770;
constexpr int kMainWindowHeight = 650;

// A resource's identifier as the window layer matches it: by address, the number being the
// address.
inline const char* ResourceId(int id)
{
  return reinterpret_cast<const char*>(static_cast<intptr_t>(id));
}

// Makes the preferences dialog's controls in its content view.
void CreatePreferencesControls(HWND view, int flags);

extern SWELL_DialogResourceIndex* SWELL_curmodule_dialogresource_head;
