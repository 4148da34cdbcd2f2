#include "lice.h"
#include "lice_test_util.h"
#include "png_writer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

using lice_test::EncodePng;
using lice_test::PngImageDesc;
using Row = std::vector<unsigned int>;

namespace
{
std::unique_ptr<LICE_IBitmap> Decode(const std::vector<unsigned char>& bytes)
{
  return std::unique_ptr<LICE_IBitmap>(LICE_LoadPNGFromMemory(bytes.data(), (int)bytes.size()));
}

// 3 x 2 RGB test image with distinct colours.
PngImageDesc Rgb3x2()
{
  PngImageDesc s;
  s.width = 3, s.height = 2;
  s.rows = {{255, 0, 0, 0, 255, 0, 0, 0, 255}, {1, 2, 3, 100, 150, 200, 255, 255, 255}};
  return s;
}
const Row kRgb3x2{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF010203, 0xFF6496C8, 0xFFFFFFFF};

std::string TempPath(const char* name)
{
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/vorna-png-" + std::to_string(getpid()) + "-" + name;
}
}  // namespace

TEST(PngLoad, RgbAndRgbaEightBit)
{
  auto bmp = Decode(EncodePng(Rgb3x2()));
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->getWidth(), 3);
  EXPECT_EQ(bmp->getHeight(), 2);
  EXPECT_EQ(bmp->getRowSpan(), 4);  // line alignment 4
  EXPECT_EQ(lice_test::Pixels(*bmp), kRgb3x2);

  PngImageDesc rgba;
  rgba.width = 2, rgba.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  rgba.rows = {{10, 20, 30, 0, 200, 100, 50, 128}};
  // Straight alpha: colours are kept as written even where alpha is 0.
  EXPECT_EQ(lice_test::Pixels(*Decode(EncodePng(rgba))), (Row{0x000A141E, 0x80C86432}));
}

TEST(PngLoad, PaletteWithAndWithoutTransparency)
{
  PngImageDesc pal;
  pal.width = 4, pal.bitDepth = 2, pal.colorType = PNG_COLOR_TYPE_PALETTE;
  pal.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 8, 7}};
  pal.rows = {{0b00011011}};  // indices 0, 1, 2, 3
  EXPECT_EQ(lice_test::Pixels(*Decode(EncodePng(pal))), (Row{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF090807}));

  // tRNS covers the first two entries; the rest stay opaque.
  pal.paletteAlpha = {0, 77};
  EXPECT_EQ(lice_test::Pixels(*Decode(EncodePng(pal))), (Row{0x00FF0000, 0x4D00FF00, 0xFF0000FF, 0xFF090807}));

  PngImageDesc eight = pal;
  eight.bitDepth = 8, eight.rows = {{3, 0, 0, 1}};
  EXPECT_EQ(lice_test::Pixels(*Decode(EncodePng(eight))), (Row{0xFF090807, 0x00FF0000, 0x00FF0000, 0x4D00FF00}));
}

TEST(PngLoad, GreyAtEveryDepth)
{
  struct Case
  {
    int depth;
    std::vector<png_byte> row;
    Row expected;
  };
  // Low depths scale to 8 bits by repeating the bits: 1 -> 255, 2-bit 1 -> 0x55,
  // 4-bit 0xA -> 0xAA; 16 bits keep the high byte.
  for (const Case& c : {Case{1, {0b10000000}, {0xFFFFFFFF, 0xFF000000}}, Case{2, {0b01110000}, {0xFF555555, 0xFFFFFFFF}},
                        Case{4, {0xA3}, {0xFFAAAAAA, 0xFF333333}}, Case{8, {7, 200}, {0xFF070707, 0xFFC8C8C8}},
                        Case{16, {0x12, 0x34, 0xFE, 0xFF}, {0xFF121212, 0xFFFEFEFE}}})
  {
    PngImageDesc s;
    s.width = 2, s.bitDepth = c.depth, s.colorType = PNG_COLOR_TYPE_GRAY, s.rows = {c.row};
    auto bmp = Decode(EncodePng(s));
    ASSERT_TRUE(bmp) << c.depth;
    EXPECT_EQ(lice_test::Pixels(*bmp), c.expected) << "depth " << c.depth;
  }
}

TEST(PngLoad, GreyWithAlphaAndGreyKey)
{
  PngImageDesc ga;
  ga.width = 2, ga.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
  ga.rows = {{50, 255, 60, 0x40}};
  EXPECT_EQ(lice_test::Pixels(*Decode(EncodePng(ga))), (Row{0xFF323232, 0x403C3C3C}));

  // A grey tRNS key makes exactly that grey transparent.
  PngImageDesc key;
  key.width = 2, key.colorType = PNG_COLOR_TYPE_GRAY, key.grayKey = true, key.grayKeyValue = 9;
  key.rows = {{9, 10}};
  EXPECT_EQ(lice_test::Pixels(*Decode(EncodePng(key))), (Row{0x00090909, 0xFF0A0A0A}));
}

TEST(PngLoad, SixteenBitColourKeepsTheHighByte)
{
  PngImageDesc s;
  s.width = 1, s.bitDepth = 16, s.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  s.rows = {{0xAB, 0xFF, 0x12, 0x00, 0x34, 0x99, 0x80, 0x01}};
  EXPECT_EQ(lice_test::Pixels(*Decode(EncodePng(s))), (Row{0x80AB1234}));
  s.colorType = PNG_COLOR_TYPE_RGB;
  s.rows = {{0xAB, 0xFF, 0x12, 0x00, 0x34, 0x99}};
  EXPECT_EQ(lice_test::Pixels(*Decode(EncodePng(s))), (Row{0xFFAB1234}));
}

TEST(PngLoad, InterlacedMatchesProgressive)
{
  // Large enough that all seven passes carry pixels.
  PngImageDesc s;
  s.width = 11, s.height = 9, s.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  Row expected;
  for (int y = 0; y < s.height; ++y)
  {
    std::vector<png_byte> row;
    for (int x = 0; x < s.width; ++x)
    {
      const png_byte r = (png_byte)(x * 20), g = (png_byte)(y * 25), b = (png_byte)(x * y), a = (png_byte)(255 - x);
      row.insert(row.end(), {r, g, b, a});
      expected.push_back((unsigned)a << 24 | (unsigned)r << 16 | (unsigned)g << 8 | b);
    }
    s.rows.push_back(row);
  }
  s.interlaced = true;
  auto bmp = Decode(EncodePng(s));
  ASSERT_TRUE(bmp);
  EXPECT_EQ(lice_test::Pixels(*bmp), expected);
}

TEST(PngLoad, IntoAGivenBitmapAndFromFiles)
{
  const std::vector<unsigned char> bytes = EncodePng(Rgb3x2());
  LICE_MemBitmap given(50, 50, 4);
  EXPECT_EQ(LICE_LoadPNGFromMemory(bytes.data(), (int)bytes.size(), &given), &given);
  EXPECT_EQ(given.getWidth(), 3);
  EXPECT_EQ(lice_test::Pixels(given), kRgb3x2);

  const std::string path = TempPath("rgb.png");
  ASSERT_TRUE(lice_test::WriteFile(path.c_str(), bytes));
  std::unique_ptr<LICE_IBitmap> loaded(LICE_LoadPNG(path.c_str()));
  ASSERT_TRUE(loaded);
  EXPECT_EQ(lice_test::Pixels(*loaded), kRgb3x2);

  // The file loader fills a bottom-up bitmap bottom-up, so logical rows come out right.
  lice_test::FlippedBitmap flipped(1, 1);
  EXPECT_EQ(LICE_LoadPNG(path.c_str(), &flipped), &flipped);
  EXPECT_EQ(lice_test::Pixels(flipped), kRgb3x2);
  EXPECT_EQ(flipped.stored(0, 0), 0xFF010203u);

  // The loader record checks the extension when asked.
  ASSERT_NE(LICE_ImageLoader_list, nullptr);
  EXPECT_STREQ(LICE_ImageLoader_list->get_extlist(), "PNG files (*.PNG)");
  const char* list = LICE_ImageLoader_list->get_extlist();
  EXPECT_STREQ(list + sizeof("PNG files (*.PNG)"), "*.PNG");
  std::unique_ptr<LICE_IBitmap> viaLoader(LICE_ImageLoader_list->loadfunc(path.c_str(), true, nullptr));
  EXPECT_TRUE(viaLoader);
  unlink(path.c_str());

  EXPECT_EQ(LICE_LoadPNG("/nonexistent/vorna.png"), nullptr);
  EXPECT_EQ(LICE_LoadPNG(nullptr), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromResource(nullptr, "x", nullptr), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromNamedResource(std::string(401, 'a').c_str()), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromNamedResource("no-such-image.png"), nullptr);
}

TEST(PngLoad, LoaderExtensionCheck)
{
  auto load = LICE_ImageLoader_list->loadfunc;
  // The rejected names never reach the file system; the accepted ones fail there.
  const std::string path = TempPath("CHECK.PnG");
  ASSERT_TRUE(lice_test::WriteFile(path.c_str(), EncodePng(Rgb3x2())));
  std::unique_ptr<LICE_IBitmap> accepted(load(path.c_str(), true, nullptr));
  EXPECT_TRUE(accepted);
  const std::string noExtension = TempPath("png");
  const std::string slashAfterDot = TempPath("a.png/image");
  ASSERT_TRUE(lice_test::WriteFile(noExtension.c_str(), EncodePng(Rgb3x2())));
  EXPECT_EQ(load(noExtension.c_str(), true, nullptr), nullptr);
  EXPECT_EQ(load(slashAfterDot.c_str(), true, nullptr), nullptr);
  EXPECT_EQ(load("png", true, nullptr), nullptr);
  // Without the check any name is tried.
  std::unique_ptr<LICE_IBitmap> unchecked(load(noExtension.c_str(), false, nullptr));
  EXPECT_TRUE(unchecked);
  unlink(path.c_str());
  unlink(noExtension.c_str());
}

TEST(PngLoad, BadInputFailsQuietlyAndCompletely)
{
  const std::vector<unsigned char> good = EncodePng(Rgb3x2());
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();

  EXPECT_EQ(LICE_LoadPNGFromMemory(good.data(), 7), nullptr);
  std::vector<unsigned char> notPng = good;
  notPng[1] = 'Q';
  EXPECT_EQ(Decode(notPng), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromMemory(nullptr, 100), nullptr);

  // Every truncation fails or decodes; none leaks (LeakSanitizer) or prints.
  for (size_t n = 8; n < good.size(); ++n)
  {
    std::vector<unsigned char> cut(good.begin(), good.begin() + (long)n);
    std::unique_ptr<LICE_IBitmap> bmp(LICE_LoadPNGFromMemory(cut.data(), (int)cut.size()));
  }
  // A corrupted chunk checksum is an error after the bitmap was made: the given
  // bitmap stays resized, a created one is freed.
  std::vector<unsigned char> corrupt = good;
  corrupt[corrupt.size() - 20] ^= 0x55;
  LICE_MemBitmap given(1, 1, 4);
  LICE_IBitmap* result = LICE_LoadPNGFromMemory(corrupt.data(), (int)corrupt.size(), &given);
  EXPECT_TRUE(result == nullptr || result == &given);
  std::unique_ptr<LICE_IBitmap> created(LICE_LoadPNGFromMemory(corrupt.data(), (int)corrupt.size()));

  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(PngLoad, DataThatEndsBeforeWhatItClaimsFailsAtOnce)
{
  // Signature and header of a real image, then an ancillary chunk that claims 2 GiB
  // and delivers a few bytes. Reading the claimed length in full takes about a
  // second; failing at the end of the buffer takes microseconds.
  const std::vector<unsigned char> good = EncodePng(Rgb3x2());
  const unsigned char claim[] = {0x7F, 0xFF, 0xFF, 0xFF, 'v', 'r', 'N', 'a'};
  std::vector<unsigned char> huge(good.begin(), good.begin() + 33);
  huge.insert(huge.end(), std::begin(claim), std::end(claim));
  std::vector<unsigned char> liar = huge;
  liar.resize(78, 0x20);
  LICE_MemBitmap given(1, 1, 4);

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Decode(liar), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromMemory(huge.data(), (int)huge.size(), &given), nullptr);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));

  // The image itself, and the image less its closing chunk (which the decoder never
  // needs), still load.
  EXPECT_EQ(lice_test::Pixels(*Decode(good)), kRgb3x2);
  const std::vector<unsigned char> noEnd(good.begin(), good.end() - 12);
  EXPECT_EQ(lice_test::Pixels(*Decode(noEnd)), kRgb3x2);
}

TEST(PngLoad, ImagesBeyondTheSizeCapsAreRefused)
{
  // 20000 x 1 passes libpng's own limits but not ours; 16384 x 9000 is within
  // each side but above 512 MiB of pixels.
  for (auto [w, h] : {std::pair{20000, 1}, std::pair{1, 20000}, std::pair{16384, 9000}})
  {
    PngImageDesc s;
    s.width = w, s.height = h, s.colorType = PNG_COLOR_TYPE_GRAY, s.bitDepth = 1;
    s.rows.assign((size_t)h, std::vector<png_byte>((size_t)(w + 7) / 8, 0));
    const std::vector<unsigned char> bytes = EncodePng(s);
    ASSERT_FALSE(bytes.empty());
    LICE_MemBitmap given(2, 2, 4);
    EXPECT_EQ(LICE_LoadPNGFromMemory(bytes.data(), (int)bytes.size(), &given), nullptr) << w << "x" << h;
    EXPECT_EQ(Decode(bytes), nullptr);
  }
}
