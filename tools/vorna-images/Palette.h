#pragma once

#include "Colour.h"

// The instrument's colours. The panels are light because the editor writes its
// labels in dark grey; values written in cream sit in dark wells.
namespace palette
{
constexpr Rgba kSlate = Rgb8(50, 54, 60);          // the case around the panels
constexpr Rgba kSlateLight = Rgb8(64, 69, 76);
constexpr Rgba kPanel = Rgb8(218, 214, 204);       // the oscillator bands and the master strip
constexpr Rgba kPanelLow = Rgb8(202, 198, 187);
constexpr Rgba kPanelEdgeLight = Rgb8(242, 239, 231);
constexpr Rgba kPanelEdgeDark = Rgb8(150, 145, 134);
constexpr Rgba kGroove = Rgb8(172, 167, 156);      // section dividers on a panel
constexpr Rgba kWell = Rgb8(40, 43, 48);           // behind values written in cream
constexpr Rgba kWellRim = Rgb8(26, 28, 31);

constexpr Rgba kShadow = Rgb8(0, 0, 0, 0.35f);
constexpr Rgba kTrack = Rgb8(168, 163, 152);       // the unlit path of a knob's value
constexpr Rgba kKnobTop = Rgb8(96, 99, 106);
constexpr Rgba kKnobBottom = Rgb8(40, 42, 46);
constexpr Rgba kKnobRim = Rgb8(24, 25, 28);
constexpr Rgba kPointer = Rgb8(250, 245, 228);
constexpr Rgba kUnipolar = Rgb8(232, 142, 36);     // value arcs that start at the minimum
constexpr Rgba kBipolar = Rgb8(34, 160, 178);      // value arcs that start at the centre

constexpr Rgba kScreen = Rgb8(30, 34, 39);         // small displays of a chosen mode
constexpr Rgba kScreenRim = Rgb8(18, 20, 23);
constexpr Rgba kGlyph = Rgb8(150, 228, 204);
constexpr Rgba kGlyphDim = Rgb8(72, 98, 92);

constexpr Rgba kLedOn = Rgb8(150, 232, 86);
constexpr Rgba kLedOff = Rgb8(66, 74, 62);
constexpr Rgba kPanicDark = Rgb8(104, 30, 28);
constexpr Rgba kPanicLit = Rgb8(232, 56, 44);
}  // namespace palette
