#pragma once

#include "Canvas.h"

// Knob strips: a dark cap with a cream pointer and a value arc round it. A
// unipolar knob's amber arc grows from the minimum (lower left); a bipolar knob's
// teal arc grows from the centre mark at the top, either way. The pointer sweeps
// 270 degrees from -135 to +135.

enum class KnobKind
{
  Unipolar,
  Bipolar,
};

struct KnobGeometry
{
  int width, height;         // of one frame
  double cx, cy;             // where the knob turns
  double trackInner, trackOuter;
  double capRadius;
  double pointerFrom, pointerTo, pointerWidth;  // radii along the pointer
};

// The large knob's frame keeps room on its right (the editor narrows its mouse
// area by 10 pixels there) and at its bottom, where the label overlaps the last
// rows; the knob turns left of and above the frame's centre, right over its label
// and value box, which the editor shifts 4 and 5 pixels left.
constexpr KnobGeometry kLargeKnob = {46, 44, 18.5, 21.5, 13.0, 16.0, 10.8, 3.5, 9.9, 2.2};
constexpr KnobGeometry kSmallKnob = {28, 28, 14.0, 13.5, 10.0, 12.5, 8.2, 2.4, 7.6, 1.8};
constexpr KnobGeometry kMiniKnob = {22, 22, 11.0, 11.0, 7.8, 9.8, 6.3, 1.8, 5.8, 1.6};

// The knob at value (0 to 1).
void DrawKnob(Canvas& canvas, const KnobGeometry& g, KnobKind kind, double value);
// The noise colour: dark (reddish) noise to the left, bright (bluish) to the right,
// white at the centre; the arc takes the colour of the noise.
void DrawNoiseColourKnob(Canvas& canvas, double value);

// The frequency ratio: an outer bezel for the denominator and, drawn over it, a
// small inner knob for the numerator, both with sixteen positions.
constexpr int kRatioSteps = 16;
constexpr int kDenominatorSize = 82;               // square frame
constexpr double kDenominatorCentre = 41.0;
constexpr int kNumeratorSize = 44;                 // square frame
constexpr double kNumeratorCx = 20.0, kNumeratorCy = 22.0;
void DrawDenominatorDial(Canvas& canvas, int step);
void DrawNumeratorKnob(Canvas& canvas, int step);
