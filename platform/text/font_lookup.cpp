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
// measures and draws the same on every machine. "Geneva" is the editor's face: its
// labels, menus, values and tooltip bubbles, and the bubbles are sized by a per-byte
// estimate made for the Mac face, about 0.45 of the text size a character. DejaVu Sans
// runs wider than that, DejaVu Sans Condensed stays inside it for every help text, and
// it is the same design, so the editor reads like the window layer's own controls.
constexpr Alias kAliases[] = {
    {"geneva", "DejaVu Sans Condensed"},
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

// Where a family is not installed (a stand-in on a machine set up by hand, or a name no
// font here has), fontconfig would pick whatever its configuration prefers; the face
// every setup installs is picked instead, so text measures the same everywhere.
constexpr const char* kFallbackFamily = "DejaVu Sans";

const Alias* aliasFor(const std::string& macFamily);

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

bool namesFamily(FcPattern* match, const std::string& family)
{
  FcChar8* name = nullptr;
  for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
    if (lower(reinterpret_cast<const char*>(name)) == lower(family)) return true;
  return false;
}

// The face fontconfig finds for a family and style; with exactFamily, only a face of
// that family counts (a file may name its family in several ways).
std::optional<ResolvedFont> match(const std::string& family, const FontRequest& request, bool exactFamily)
{
  std::optional<ResolvedFont> result;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, request.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult matchResult;
  if (FcPattern* found = FcFontMatch(nullptr, pattern, &matchResult))
  {
    FcChar8* file = nullptr;
    if ((!exactFamily || namesFamily(found, family)) && FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch)
    {
      ResolvedFont font;
      font.path = reinterpret_cast<const char*>(file);
      FcPatternGetInteger(found, FC_INDEX, 0, &font.index);
      FcChar8* text = nullptr;
      if (FcPatternGetString(found, FC_FAMILY, 0, &text) == FcResultMatch)
        font.family = reinterpret_cast<const char*>(text);
      if (FcPatternGetString(found, FC_STYLE, 0, &text) == FcResultMatch)
        font.style = reinterpret_cast<const char*>(text);
      int weight = FC_WEIGHT_REGULAR;
      int slant = FC_SLANT_ROMAN;
      FcPatternGetInteger(found, FC_WEIGHT, 0, &weight);
      FcPatternGetInteger(found, FC_SLANT, 0, &slant);
      font.syntheticBold = request.bold && weight < FC_WEIGHT_DEMIBOLD;
      font.syntheticItalic = request.italic && slant == FC_SLANT_ROMAN;
      result = font;
    }
    FcPatternDestroy(found);
  }
  FcPatternDestroy(pattern);
  return result;
}

const Alias* aliasFor(const std::string& macFamily)
{
  const std::string key = lower(trimmed(macFamily));
  for (const Alias& alias : kAliases)
    if (key == alias.mac) return &alias;
  return nullptr;
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
  if (const Alias* alias = aliasFor(macFamily)) return alias->linux;
  return macFamily.empty() ? kFallbackFamily : macFamily;
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
    result = match(linuxFamilyFor(request.family), request, true);
    if (!result) result = match(kFallbackFamily, request, false);
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
