#include "platform/text/font_face.h"

#include FT_OUTLINE_H
#include FT_SYNTHESIS_H

#include <cstring>
#include <map>
#include <tuple>

namespace cocoa
{
namespace
{
constexpr size_t kMaxCachedGlyphs = 4096;
// Shear of a slanted face when the file has no italic: about 11 degrees, as is usual.
constexpr double kSyntheticSlant = 0.2;

FT_Library library()
{
  static FT_Library instance = [] {
    FT_Library lib = nullptr;
    FT_Init_FreeType(&lib);
    return lib;
  }();
  return instance;
}

using GlyphKey = std::tuple<const FontFace*, unsigned, bool>;

std::map<GlyphKey, CachedGlyph>& glyphs()
{
  static auto* cache = new std::map<GlyphKey, CachedGlyph>;
  return *cache;
}

void clearGlyphs()
{
  for (auto& [key, glyph] : glyphs())
    if (glyph.coverage) cairo_surface_destroy(glyph.coverage);
  glyphs().clear();
}

CachedGlyph render(const FontFace& font, unsigned glyph, bool antialiased)
{
  CachedGlyph result;
  FT_Face face = font.face;
  const FT_Int32 flags = FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP | (antialiased ? 0 : FT_LOAD_TARGET_MONO);
  if (FT_Load_Glyph(face, glyph, flags) != 0) return result;
  FT_GlyphSlot slot = face->glyph;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE)
  {
    if (font.source.syntheticBold) FT_GlyphSlot_Embolden(slot);
    if (font.source.syntheticItalic)
    {
      FT_Matrix shear = {0x10000, static_cast<FT_Fixed>(kSyntheticSlant * 0x10000), 0, 0x10000};
      FT_Outline_Transform(&slot->outline, &shear);
    }
  }
  if (FT_Render_Glyph(slot, antialiased ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0) return result;
  const FT_Bitmap& bitmap = slot->bitmap;
  result.left = slot->bitmap_left;
  result.top = slot->bitmap_top;
  if (bitmap.width == 0 || bitmap.rows == 0) return result;
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_A8, static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows));
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS)
  {
    cairo_surface_destroy(surface);
    return result;
  }
  unsigned char* out = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (unsigned y = 0; y < bitmap.rows; ++y)
  {
    const unsigned char* in = bitmap.buffer + static_cast<long>(y) * bitmap.pitch;
    unsigned char* row = out + static_cast<long>(y) * stride;
    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
      for (unsigned x = 0; x < bitmap.width; ++x) row[x] = (in[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
    else
      std::memcpy(row, in, bitmap.width);
  }
  cairo_surface_mark_dirty(surface);
  result.coverage = surface;
  return result;
}
}  // namespace

FontFace::~FontFace()
{
  std::lock_guard<std::recursive_mutex> lock(faceMutex());
  // Glyphs of this face are keyed by its address, which a new face may reuse.
  for (auto it = glyphs().begin(); it != glyphs().end();)
  {
    if (std::get<0>(it->first) == this)
    {
      if (it->second.coverage) cairo_surface_destroy(it->second.coverage);
      it = glyphs().erase(it);
    }
    else
      ++it;
  }
  if (face) FT_Done_Face(face);
}

std::recursive_mutex& faceMutex()
{
  static auto* mutex = new std::recursive_mutex;
  return *mutex;
}

std::shared_ptr<FontFace> openFontFace(const ResolvedFont& font, double size)
{
  std::lock_guard<std::recursive_mutex> lock(faceMutex());
  static auto* faces = new std::map<std::tuple<std::string, int, bool, bool, double>, std::weak_ptr<FontFace>>;
  const auto key = std::make_tuple(font.path, font.index, font.syntheticBold, font.syntheticItalic, size);
  if (auto found = faces->find(key); found != faces->end())
    if (auto face = found->second.lock()) return face;
  FT_Face face = nullptr;
  if (!library() || FT_New_Face(library(), font.path.c_str(), font.index, &face) != 0) return nullptr;
  // FreeType sizes are 26.6 fixed point; one unit of the platform is one pixel.
  FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(size * 64 + 0.5), 72, 72);
  auto result = std::make_shared<FontFace>();
  result->face = face;
  result->source = font;
  result->size = size;
  (*faces)[key] = result;
  return result;
}

const CachedGlyph& cachedGlyph(const std::shared_ptr<FontFace>& face, unsigned glyph, bool antialiased)
{
  std::lock_guard<std::recursive_mutex> lock(faceMutex());
  const GlyphKey key(face.get(), glyph, antialiased);
  auto found = glyphs().find(key);
  if (found != glyphs().end()) return found->second;
  if (glyphs().size() >= kMaxCachedGlyphs) clearGlyphs();
  return glyphs().emplace(key, render(*face, glyph, antialiased)).first->second;
}

size_t glyphCacheSize()
{
  std::lock_guard<std::recursive_mutex> lock(faceMutex());
  return glyphs().size();
}
}  // namespace cocoa
