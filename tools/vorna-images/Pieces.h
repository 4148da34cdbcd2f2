#pragma once

#include "Canvas.h"

// Pieces several image families share, so a knob, a button and a display look as
// if made by one hand.

// A soft shadow of a disc, cast down and to the right.
void DiscShadow(Canvas& canvas, double cx, double cy, double r, double blur);
// A soft shadow of a rounded rectangle.
void BoxShadow(Canvas& canvas, Box box, double radius, double blur, Rgba colour);
// A dark turned cap lit from the upper left, with a thin rim.
void KnobCap(Canvas& canvas, double cx, double cy, double r);
// A small dark display, recessed into the panel.
void Screen(Canvas& canvas, Box box, double radius);
// A round lamp, glowing when on.
void Lamp(Canvas& canvas, double cx, double cy, double r, bool on);
