#pragma once

#include "lice_bitmap.h"

// The scratch bitmaps every cached font shares: one the glyphs are rendered into, white
// on black, and one the native way draws through for bitmaps without a context. They
// live from first need until the last font is destroyed; fonts and scratch belong to
// the thread that draws.
namespace lice_text
{
// At least w x h, its context set for rendering glyphs (text white, background
// black and filled); null when no context can be had.
LICE_SysBitmap* GlyphScratch(int w, int h);
// At least w x h; null when no context can be had.
LICE_SysBitmap* NativeScratch(int w, int h);

void RetainScratch();
void ReleaseScratch();

// Pixels the native and glyph ways keep free left of the text: 2, or
// lineHeight / 16 + 2 from a line height of 16.
inline int Margin(int lineHeight) { return lineHeight < 16 ? 2 : lineHeight / 16 + 2; }
}  // namespace lice_text
