// The cursors the platform does not have: diagonal resize (both ways), resize in every
// direction and not-allowed, drawn here at 16 x 16 with the hot spot in the middle.

#include "swell-cursor-images.h"

namespace
{
constexpr int kSide = 16;
constexpr cocoa::NSPoint kHotSpot = {8, 8};

// '#' black, 'o' white, '.' transparent; each pixel becomes one byte with the grey level in
// the high four bits and the opacity in the low four.
constexpr const char* kDiagonalArt[kSide] = {
    "oooooooo........", "o######o........", "o#####oo........", "o####oo.........",
    "o#####oo........", "o##o###oo.......", "o#ooo###oo......", "ooo.oo###oo.....",
    ".....oo###oo.ooo", "......oo###ooo#o", ".......oo###o##o", "........oo#####o",
    ".........oo####o", "........oo#####o", "........o######o", "........oooooooo",
};

constexpr const char* kAllDirectionsArt[kSide] = {
    "......oooo......", ".....oo##oo.....", "....oo####oo....", "....o######o....",
    "..ooooo##ooooo..", ".oo#o.o##o.o#oo.", "oo##ooo##ooo##oo", "o##############o",
    "o##############o", "oo##ooo##ooo##oo", ".oo#o.o##o.o#oo.", "..ooooo##ooooo..",
    "....o######o....", "....oo####oo....", ".....oo##oo.....", "......oooo......",
};

constexpr const char* kNotAllowedArt[kSide] = {
    "....oooooooo....", "...oo######oo...", "..oo########oo..", ".oo###oooo###oo.",
    "oo####oo.ooo##oo", "o######oo..o###o", "o##oo###oo.oo##o", "o##ooo###oo.o##o",
    "o##o.oo###ooo##o", "o##oo.oo###oo##o", "o###o..oo######o", "oo##ooo.oo####oo",
    ".oo###oooo###oo.", "..oo########oo..", "...oo######oo...", "....oooooooo....",
};

unsigned char pixelByte(char c)
{
  switch (c)
  {
  case '#': return 0x0F;
  case 'o': return 0xFF;
  default: return 0x00;
  }
}

const char* const* artOf(BuiltinCursor which)
{
  switch (which)
  {
  case BuiltinCursor::allDirections: return kAllDirectionsArt;
  case BuiltinCursor::notAllowed: return kNotAllowedArt;
  default: return kDiagonalArt;
  }
}
}  // namespace

std::vector<unsigned char> builtinCursorBytes(BuiltinCursor which)
{
  const char* const* art = artOf(which);
  std::vector<unsigned char> bytes(kSide * kSide);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x)
    {
      const int sourceX = which == BuiltinCursor::diagonalMirrored ? kSide - 1 - x : x;
      bytes[y * kSide + x] = pixelByte(art[y][sourceX]);
    }
  return bytes;
}

cocoa::NSCursor* makeBuiltinCursor(BuiltinCursor which)
{
  const std::vector<unsigned char> bytes = builtinCursorBytes(which);
  std::vector<uint32_t> argb(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i)
  {
    const uint32_t grey = (bytes[i] >> 4) * 17u;
    const uint32_t opacity = (bytes[i] & 0xF) * 17u;
    argb[i] = (opacity << 24) | (grey << 16) | (grey << 8) | grey;
  }
  return new cocoa::NSCursor(argb, kSide, kSide, kHotSpot);
}
