#pragma once

#include "Canvas.h"

// Small dark displays that show a chosen mode as a glyph.

constexpr int kWaveformWidth = 26, kWaveformHeight = 20;
constexpr int kHardSyncWidth = 28, kHardSyncHeight = 26;
constexpr int kShiverSyncWidth = 28, kShiverSyncHeight = 18;
constexpr int kFilterPassWidth = 40, kFilterPassHeight = 24;
constexpr int kBendWindowWidth = 44, kBendWindowHeight = 18;
constexpr int kBendWindowSteps = 31;

// 0 sine, 1 saw, 2 square, 3 triangle, 4 sinc, 5 poly-saw.
void DrawWaveform(Canvas& canvas, int wave);
// 0 oscillator 2 drives 1 (arrow up, oscillator 1's strip on top), 1 none, 2 oscillator 1 drives 2.
void DrawHardSync(Canvas& canvas, int mode);
// 0 none, 1 voice, 2 osc, 3 all: the dots are oscillator 1 (top row) and 2 (bottom
// row) of two voices (columns); lines join what moves together.
void DrawShiverSync(Canvas& canvas, int mode);
// 0 lowpass, 1 bandpass, 2 highpass, 3 peak, 4 band reject: the response curve.
void DrawFilterPass(Canvas& canvas, int type);
// Window sizes 1 to 31 (step 0 to 30) as a bar of growing width.
void DrawBendWindow(Canvas& canvas, int step);
