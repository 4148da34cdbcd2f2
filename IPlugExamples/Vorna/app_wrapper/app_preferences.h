#pragma once

// The preferences dialog: audio driver, devices, channels, vector sizes, sample rate, MIDI
// ports and channels. Every change goes into gState at once; the audio ones act when the
// stream is reopened (Apply, OK, Cancel), the others at once. Main thread only.

#include "swell-types.h"

#include <rtaudio/RtAudio.h>

LRESULT PreferencesDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// What WM_INITDIALOG fills: the driver list and its selection, then the audio and MIDI controls.
void PopulatePreferencesDialog(HWND hwnd);
// The device lists with the channel and rate lists, the mono box and the vector sizes.
void PopulateAudioDialogs(HWND hwnd);
// The device lists, and the channel and rate lists of the devices selected in them.
void PopulateDriverSpecificControls(HWND hwnd);
void PopulateAudioInputList(HWND hwnd, const RtAudio::DeviceInfo* info);
void PopulateAudioOutputList(HWND hwnd, const RtAudio::DeviceInfo* info);
void PopulateSampleRateList(HWND hwnd, const RtAudio::DeviceInfo* in, const RtAudio::DeviceInfo* out);
void PopulateMidiDialogs(HWND hwnd);

// The I/O vector sizes and the signal vector sizes the dialog offers.
inline constexpr const char* kIOVSOptions[] = {"32", "64", "128", "256", "512", "1024", "2048", "4096", "8192"};
inline constexpr const char* kSIGVSOptions[] = {"16", "32", "64", "128", "256", "512", "1024"};
