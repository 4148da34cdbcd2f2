#include "png_writer.h"

#include <cstdio>
#include <string>

// Writes one small PNG of every colour type and depth the loader handles, and one that
// lies about a chunk's length, into the directory given as the argument.
int main(int argc, char** argv)
{
  if (argc != 2) return 2;
  using lice_test::PngImageDesc;
  struct Seed
  {
    const char* name;
    int colorType, bitDepth;
    bool interlaced, transparency;
  };
  const Seed seeds[] = {
      {"gray1", PNG_COLOR_TYPE_GRAY, 1, false, false},      {"gray2", PNG_COLOR_TYPE_GRAY, 2, false, false},
      {"gray4", PNG_COLOR_TYPE_GRAY, 4, true, false},       {"gray8key", PNG_COLOR_TYPE_GRAY, 8, false, true},
      {"gray16", PNG_COLOR_TYPE_GRAY, 16, false, false},    {"grayalpha", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, false},
      {"rgb", PNG_COLOR_TYPE_RGB, 8, false, false},         {"rgb16", PNG_COLOR_TYPE_RGB, 16, true, false},
      {"rgba", PNG_COLOR_TYPE_RGB_ALPHA, 8, true, false},   {"rgba16", PNG_COLOR_TYPE_RGB_ALPHA, 16, false, false},
      {"palette", PNG_COLOR_TYPE_PALETTE, 4, false, false}, {"palette-trns", PNG_COLOR_TYPE_PALETTE, 8, true, true},
  };
  for (const Seed& seed : seeds)
  {
    PngImageDesc s;
    s.width = 9, s.height = 7, s.colorType = seed.colorType, s.bitDepth = seed.bitDepth;
    s.interlaced = seed.interlaced;
    const int channels = seed.colorType == PNG_COLOR_TYPE_RGB         ? 3
                         : seed.colorType == PNG_COLOR_TYPE_RGB_ALPHA  ? 4
                         : seed.colorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                       : 1;
    const int rowBytes = (s.width * channels * seed.bitDepth + 7) / 8;
    for (int y = 0; y < s.height; ++y)
    {
      std::vector<png_byte> row((size_t)rowBytes);
      for (int i = 0; i < rowBytes; ++i) row[(size_t)i] = (png_byte)(i * 37 + y * 11);
      s.rows.push_back(row);
    }
    if (seed.colorType == PNG_COLOR_TYPE_PALETTE)
    {
      for (int i = 0; i < (1 << seed.bitDepth); ++i) s.palette.push_back({(png_byte)i, (png_byte)(i * 3), (png_byte)(255 - i)});
      if (seed.transparency) s.paletteAlpha = {0, 64, 128};
    }
    else if (seed.transparency)
    {
      s.grayKey = true;
      s.grayKeyValue = 11;
    }
    if (!lice_test::WriteFile((std::string(argv[1]) + "/" + seed.name + ".png").c_str(), lice_test::EncodePng(s)))
      return 1;
  }
  // A header and palette, then a chunk whose length field claims 1.9 GB of the 229 bytes.
  if (!lice_test::WriteFile((std::string(argv[1]) + "/splt-claims-1.9GB.png").c_str(), lice_test::PngWithHugeSpltClaim()))
    return 1;
  return 0;
}
