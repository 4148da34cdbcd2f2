#pragma once

// FreeType faces and the glyph cache, inside the platform only.

#include "platform/text/font_lookup.h"

#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <mutex>
#include <unordered_map>

namespace cocoa
{
// One font file at one size. FreeType is not thread-safe per face: use under faceMutex().
struct FontFace
{
  FT_Face face = nullptr;
  ResolvedFont source;
  double size = 0;
  // Unhinted advances by glyph, filled as glyphs are measured: text is measured far more
  // often than new glyphs appear.
  std::unordered_map<unsigned, double> advances;
  ~FontFace();
};

std::recursive_mutex& faceMutex();
// Shared faces, one per (file, size).
std::shared_ptr<FontFace> openFontFace(const ResolvedFont& font, double size);

// A rendered glyph: coverage in an A8 surface, placed relative to the pen on the baseline
// (left to the right, top upward).
struct CachedGlyph
{
  cairo_surface_t* coverage = nullptr;  // null for glyphs with no ink (space)
  int left = 0;
  int top = 0;
};

// Rendered glyphs by face, glyph and anti-aliasing; bounded, emptied whole when full.
const CachedGlyph& cachedGlyph(const std::shared_ptr<FontFace>& face, unsigned glyph, bool antialiased);
size_t glyphCacheSize();
}  // namespace cocoa
