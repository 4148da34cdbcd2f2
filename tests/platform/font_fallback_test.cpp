// Run with fontconfig told that the condensed faces are missing and that its default
// sans face is a monospaced one (see CMakeLists.txt).
#include "platform/text/font_lookup.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

using namespace cocoa;

namespace
{
// The file fontconfig itself picks for a family, with no say of ours.
std::string fontconfigsChoice(const char* family)
{
  std::string path;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  if (FcPattern* match = FcFontMatch(nullptr, pattern, &result))
  {
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) path = reinterpret_cast<const char*>(file);
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return path;
}
}  // namespace

TEST(FontFallback, FamiliesThatAreNotInstalledGiveWayToDejaVuSans)
{
  // The set-up holds: no condensed face, and fontconfig left to itself picks the
  // monospaced one.
  ASSERT_NE(fontconfigsChoice("DejaVu Sans Condensed").find("/DejaVuSansMono.ttf"), std::string::npos);

  const auto regular = resolveFont(parseFontName("Geneva"));
  const auto bold = resolveFont(parseFontName("Geneva Bold"));
  const auto unknown = resolveFont(parseFontName("No Such Face"));
  ASSERT_TRUE(regular && bold && unknown);
  EXPECT_NE(regular->path.find("/DejaVuSans.ttf"), std::string::npos) << regular->path;
  EXPECT_NE(bold->path.find("/DejaVuSans-Bold.ttf"), std::string::npos) << bold->path;
  EXPECT_FALSE(bold->syntheticBold);
  EXPECT_NE(unknown->path.find("/DejaVuSans.ttf"), std::string::npos) << unknown->path;
}
