#pragma once

#include <optional>
#include <string>

namespace cocoa
{
// A face name as Mac code gives it ("Lucida Grande", "Helvetica Bold", "Arial-BoldMT"),
// split into family and style.
struct FontRequest
{
  std::string family;
  bool bold = false;
  bool italic = false;
};

struct ResolvedFont
{
  std::string path;
  int index = 0;
  std::string family;  // as the font file names it
  std::string style;
  bool syntheticBold = false;  // the file has no bold: thicken the outlines
  bool syntheticItalic = false;
};

FontRequest parseFontName(const std::string& name);
// The Linux family standing in for a Mac one; names without a stand-in are passed through.
std::string linuxFamilyFor(const std::string& macFamily);
// Looks the face up through fontconfig (cached); a family not installed gives DejaVu Sans.
// Null when fontconfig finds no file at all.
std::optional<ResolvedFont> resolveFont(const FontRequest& request);
// Makes the faces of a font file available to this process; false when it holds none.
bool registerFontFile(const std::string& path);
}  // namespace cocoa
