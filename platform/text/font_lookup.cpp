#include "platform/text/font_lookup.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdlib>
#include <tuple>
#include <cctype>
#include <map>
#include <mutex>

namespace cocoa
{
namespace
{
struct Alias
{
  const char* mac;
  const char* linux;
};

// Faces Mac code names, mapped to the DejaVu families the setup installs, so that text
// measures and draws the same on every machine.
constexpr Alias kAliases[] = {
    {"geneva", "DejaVu Sans"},
    {"lucida grande", "DejaVu Sans"},
    {"lucidagrande", "DejaVu Sans"},
    {"helvetica", "DejaVu Sans"},
    {"helvetica neue", "DejaVu Sans"},
    {"helveticaneue", "DejaVu Sans"},
    {"arial", "DejaVu Sans"},
    {"arialmt", "DejaVu Sans"},
    {"verdana", "DejaVu Sans"},
    {"tahoma", "DejaVu Sans"},
    {"system font", "DejaVu Sans"},
    {".applesystemuifont", "DejaVu Sans"},
    {".lucidagrandeui", "DejaVu Sans"},
    {"monaco", "DejaVu Sans Mono"},
    {"menlo", "DejaVu Sans Mono"},
    {"courier", "DejaVu Sans Mono"},
    {"courier new", "DejaVu Sans Mono"},
    {"times", "DejaVu Serif"},
    {"times new roman", "DejaVu Serif"},
    {"georgia", "DejaVu Serif"},
};

std::string lower(std::string text)
{
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

bool stripSuffix(std::string* name, const std::string& suffix)
{
  if (name->size() < suffix.size()) return false;
  if (lower(name->substr(name->size() - suffix.size())) != lower(suffix)) return false;
  name->erase(name->size() - suffix.size());
  return true;
}

std::mutex& lookupMutex()
{
  static auto* mutex = new std::mutex;
  return *mutex;
}

std::map<std::tuple<std::string, bool, bool>, std::optional<ResolvedFont>>& lookupCache()
{
  static auto* cache = new std::map<std::tuple<std::string, bool, bool>, std::optional<ResolvedFont>>;
  return *cache;
}

bool initialiseFontconfig()
{
  static const bool initialised = [] {
    if (!FcInit()) return false;
    // Lets fontconfig give back its configuration when the process ends.
    std::atexit(FcFini);
    return true;
  }();
  return initialised;
}

std::string trimmed(const std::string& text)
{
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}
}  // namespace

FontRequest parseFontName(const std::string& name)
{
  FontRequest request;
  std::string rest = trimmed(name);
  // PostScript-style suffixes first ("Arial-BoldItalicMT"), then spelled-out styles.
  stripSuffix(&rest, "MT");
  for (bool again = true; again;)
  {
    again = false;
    for (const char* suffix : {" Italic", " Oblique", "-Italic", "-Oblique", "Italic", "Oblique"})
      if (rest.size() > 8 && stripSuffix(&rest, suffix)) { request.italic = true; again = true; break; }
    for (const char* suffix : {" Bold", "-Bold", "Bold"})
      if (rest.size() > 6 && stripSuffix(&rest, suffix)) { request.bold = true; again = true; break; }
    if (!rest.empty() && (rest.back() == '-' || rest.back() == ' ')) { rest.pop_back(); again = true; }
  }
  request.family = trimmed(rest);
  return request;
}

std::string linuxFamilyFor(const std::string& macFamily)
{
  const std::string key = lower(trimmed(macFamily));
  for (const Alias& alias : kAliases)
    if (key == alias.mac) return alias.linux;
  return macFamily.empty() ? "DejaVu Sans" : macFamily;
}

std::optional<ResolvedFont> resolveFont(const FontRequest& request)
{
  std::lock_guard<std::mutex> lock(lookupMutex());
  auto& cache = lookupCache();
  const auto key = std::make_tuple(request.family, request.bold, request.italic);
  if (auto found = cache.find(key); found != cache.end()) return found->second;

  std::optional<ResolvedFont> result;
  if (initialiseFontconfig())
  {
    const std::string family = linuxFamilyFor(request.family);
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, request.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult matchResult;
    if (FcPattern* match = FcFontMatch(nullptr, pattern, &matchResult))
    {
      FcChar8* file = nullptr;
      if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
      {
        ResolvedFont font;
        font.path = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(match, FC_INDEX, 0, &font.index);
        FcChar8* text = nullptr;
        if (FcPatternGetString(match, FC_FAMILY, 0, &text) == FcResultMatch)
          font.family = reinterpret_cast<const char*>(text);
        if (FcPatternGetString(match, FC_STYLE, 0, &text) == FcResultMatch)
          font.style = reinterpret_cast<const char*>(text);
        int weight = FC_WEIGHT_REGULAR;
        int slant = FC_SLANT_ROMAN;
        FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
        FcPatternGetInteger(match, FC_SLANT, 0, &slant);
        font.syntheticBold = request.bold && weight < FC_WEIGHT_DEMIBOLD;
        font.syntheticItalic = request.italic && slant == FC_SLANT_ROMAN;
        result = font;
      }
      FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
  }
  cache[key] = result;
  return result;
}

bool registerFontFile(const std::string& path)
{
  std::lock_guard<std::mutex> lock(lookupMutex());
  if (!initialiseFontconfig()) return false;
  if (!FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(path.c_str()))) return false;
  // Names looked up before may now find the new face.
  lookupCache().clear();
  return true;
}
}  // namespace cocoa
