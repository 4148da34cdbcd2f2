#include "swell-gdi.h"
#include "swell-gdi-internal.h"

#include "assocarray.h"

#include "platform/foundation/nsstring.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

namespace
{
constexpr float kDefaultFontSize = 10;
constexpr float kMinFontSize = 2;
constexpr float kMaxFontSize = 8192;
constexpr size_t kMaxFaceNameBytes = 899;
constexpr float kNameLookupSize = 10;

// Face names as callers give them (style suffixes included) to the name the font is then
// made from, so a face is looked up only once however often it is asked for. Entries stay
// for the process.
WDL_StringKeyedArray<char*> s_fontnamecache(true, WDL_StringKeyedArray<char*>::freecharptr);
std::recursive_mutex s_fontnamecache_mutex;

std::string fontNameFor(const std::string& name)
{
  std::lock_guard<std::recursive_mutex> lock(s_fontnamecache_mutex);
  if (char* cached = s_fontnamecache.Get(name.c_str())) return cached;
  // The face the name stands for, under the name the text engine knows it by.
  std::string used = name;
  if (cocoa::CTFontRef probe = cocoa::CTFontCreateWithName(name, kNameLookupSize, nullptr))
  {
    used = cocoa::CTFontCopyDisplayName(probe).str();
    cocoa::CTFontRelease(probe);
  }
  char* value = strdup(used.c_str());
  if (value && s_fontnamecache.Insert(name.c_str(), value) < 0) std::free(value);
  return used;
}

float fontSizeFor(int height, int width)
{
  const float size = static_cast<float>(height ? std::abs(static_cast<long>(height)) : std::abs(static_cast<long>(width)));
  return size < kMinFontSize || size > kMaxFontSize ? kDefaultFontSize : size;
}

unsigned char qualityFor(int quality)
{
  if (quality == NONANTIALIASED_QUALITY) return kFontQualityAliased;
  if (quality == ANTIALIASED_QUALITY) return kFontQualityAntialiased;
  return kFontQualityDefault;
}
}  // namespace

HFONT CreateFont(int height, int width, int, int, int weight, BOOL italic, BOOL, BOOL, int, int, int, int quality,
                 int, const char* face)
{
  if (!face) face = "";
  std::string name(face, utf8PrefixLength(face, strnlen(face, kMaxFaceNameBytes + 1), kMaxFaceNameBytes));
  if (weight >= FW_BOLD) name += " Bold";
  if (italic) name += " Italic";

  // A name that is not text makes the font from the empty name: the default face.
  std::u32string decoded;
  if (!cocoa::decodeUtf8(name, &decoded)) name.clear();

  const float size = fontSizeFor(height, width);
  const std::string used = name.empty() ? std::string() : fontNameFor(name);
  cocoa::CTFontRef font = cocoa::CTFontCreateWithName(used, size, nullptr);
  if (!font) font = cocoa::CTFontCreateUIFontForLanguage(cocoa::kCTFontUIFontLabel, size, nullptr);
  if (!font) return nullptr;

  HGDIOBJ__* obj = takeObjectRecord();
  if (!obj)
  {
    cocoa::CTFontRelease(font);
    return nullptr;
  }
  obj->type = kGdiFont;
  obj->font = font;
  obj->quality = qualityFor(quality);
  return obj;
}

HFONT CreateFontIndirect(const LOGFONT* lf)
{
  if (!lf) return nullptr;
  // The record's name need not be terminated within its field.
  char face[sizeof(lf->lfFaceName) + 1];
  std::memcpy(face, lf->lfFaceName, sizeof(lf->lfFaceName));
  face[sizeof(lf->lfFaceName)] = 0;
  return CreateFont(lf->lfHeight, lf->lfWidth, lf->lfEscapement, lf->lfOrientation, lf->lfWeight, lf->lfItalic,
                    lf->lfUnderline, lf->lfStrikeOut, lf->lfCharSet, lf->lfOutPrecision, lf->lfClipPrecision,
                    lf->lfQuality, lf->lfPitchAndFamily, face);
}

int AddFontResourceEx(const char* path, unsigned flags, void*)
{
  if (!path || !*path || SWELL_GDI_GetOSXVersion() < 0x1060) return 0;
  return cocoa::CTFontManagerRegisterFontsForURL(path, (flags & 1) ? cocoa::kCTFontManagerScopeProcess
                                                                  : cocoa::kCTFontManagerScopeUser)
             ? 1
             : 0;
}
