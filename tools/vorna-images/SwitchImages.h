#pragma once

#include "Canvas.h"

// Switches: round buttons with a lamp, the panic button, the three-way AM view
// switch and the pre/post-filter switch.

constexpr int kButtonSize = 20;        // square frame
constexpr int kSmallButtonSize = 13;   // square frame
constexpr int kPanicSize = 28;         // square frame
constexpr int kViewSwitchWidth = 26, kViewSwitchHeight = 12;
constexpr int kPrePostWidth = 26, kPrePostHeight = 16;

void DrawButton(Canvas& canvas, bool on);
void DrawSmallButton(Canvas& canvas, bool on);
void DrawPanicButton(Canvas& canvas, bool pressed);
// position 0: the AM controls shown (left lamp), 1: neither, 2: the OAM controls (right lamp).
void DrawViewSwitch(Canvas& canvas, int position);
// Where the signal is taken: before the filter (post = false) or after it.
void DrawPrePostSwitch(Canvas& canvas, bool post);
