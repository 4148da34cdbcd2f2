#pragma once

// Images the GUI tests and benchmark make for themselves.

#include "lice.h"

#include <algorithm>
#include <cmath>
#include <numbers>

// A knob strip of nFrames square frames of side s stacked top to bottom: a disc with
// a pointer at the frame's angle, over transparency.
inline LICE_IBitmap* MakeKnobStrip(int side, int nFrames)
{
  auto* strip = new LICE_MemBitmap(side, side * nFrames);
  LICE_Clear(strip, 0);
  const float c = side / 2.0f;
  for (int f = 0; f < nFrames; ++f)
  {
    const float cy = f * side + c;
    LICE_FillCircle(strip, c, cy, c - 2, 0xFF3070B0, 1.0f, BLEND_COPY, true);
    const double a = -0.75 * std::numbers::pi + 1.5 * std::numbers::pi * f / std::max(nFrames - 1, 1);
    LICE_Line(strip, (int)c, (int)cy, (int)(c + std::sin(a) * (c - 4)), (int)(cy - std::cos(a) * (c - 4)), 0xFFFFFFFF,
              1.0f, BLEND_COPY, true);
  }
  return strip;
}

// A background with a gradient, so misplaced pixels show.
inline LICE_IBitmap* MakeBackground(int w, int h)
{
  auto* bg = new LICE_MemBitmap(w, h);
  LICE_GradRect(bg, 0, 0, w, h, 0.15f, 0.2f, 0.25f, 1.0f, 0.3f / w, 0.0f, 0.2f / w, 0.0f, 0.0f, 0.25f / h, 0.0f, 0.0f,
                BLEND_COPY);
  return bg;
}

// A two-state strip (off above on) of w x h frames.
inline LICE_IBitmap* MakeSwitchStrip(int w, int h)
{
  auto* strip = new LICE_MemBitmap(w, 2 * h);
  LICE_FillRect(strip, 0, 0, w, h, 0xFF404040, 1.0f, BLEND_COPY);
  LICE_FillRect(strip, 0, h, w, h, 0xFF40E040, 1.0f, BLEND_COPY);
  return strip;
}

