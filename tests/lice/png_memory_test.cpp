#include "lice.h"
#include "lice_test_util.h"
#include "peak_heap.h"
#include "png_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

using lice_test::AppendChunk;
using lice_test::EncodePng;
using lice_test::PngImageDesc;
using Row = std::vector<unsigned int>;

namespace
{
// What reading one small image may take besides its pixels: the decoder's rows and zlib's
// window, far below what a lying chunk asks for.
constexpr size_t kReadAllowance = 8u << 20;

std::string TempPath(const char* name)
{
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/vorna-png-memory-" + std::to_string(getpid()) + "-" + name;
}

// A 4 x 1 image of 2-bit palette indices 0..3, the second entry half transparent.
PngImageDesc FourColours()
{
  PngImageDesc pal;
  pal.width = 4, pal.bitDepth = 2, pal.colorType = PNG_COLOR_TYPE_PALETTE;
  pal.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 8, 7}};
  pal.paletteAlpha = {255, 128};
  pal.rows = {{0b00011011}};
  return pal;
}
const Row kFourColours{0xFFFF0000, 0x8000FF00, 0xFF0000FF, 0xFF090807};

// The bytes with the chunks put in after the header (signature 8 bytes, IHDR 25).
std::vector<unsigned char> WithChunksAfterHeader(const std::vector<unsigned char>& png,
                                                 const std::vector<unsigned char>& chunks)
{
  std::vector<unsigned char> out(png.begin(), png.begin() + 33);
  out.insert(out.end(), chunks.begin(), chunks.end());
  out.insert(out.end(), png.begin() + 33, png.end());
  return out;
}
}  // namespace

TEST(PngMemory, AChunkClaimingGigabytesIsRefusedWithoutAllocatingThem)
{
  const std::vector<unsigned char> liar = lice_test::PngWithHugeSpltClaim();
  ASSERT_EQ(liar.size(), 229u);
  // The length field of the chunk after the palette says 1,936,946,035 bytes.
  EXPECT_EQ(liar[93] << 24 | liar[94] << 16 | liar[95] << 8 | liar[96], 1936946035);
  EXPECT_EQ(std::string(liar.begin() + 97, liar.begin() + 101), "sPLT");
  const std::string path = TempPath("splt.png");
  ASSERT_TRUE(lice_test::WriteFile(path.c_str(), liar));

  // From memory and from a file, into a new bitmap and into a given one.
  struct Case
  {
    const char* how;
    LICE_IBitmap* (*load)(const std::vector<unsigned char>& bytes, const std::string& path, LICE_IBitmap* given);
    bool intoGiven;
  };
  const Case cases[] = {
      {"memory", [](const auto& b, const auto&, LICE_IBitmap* g) { return LICE_LoadPNGFromMemory(b.data(), (int)b.size(), g); }, false},
      {"memory, given bitmap", [](const auto& b, const auto&, LICE_IBitmap* g) { return LICE_LoadPNGFromMemory(b.data(), (int)b.size(), g); }, true},
      {"file", [](const auto&, const auto& p, LICE_IBitmap* g) { return LICE_LoadPNG(p.c_str(), g); }, false},
      {"file, given bitmap", [](const auto&, const auto& p, LICE_IBitmap* g) { return LICE_LoadPNG(p.c_str(), g); }, true},
  };
  for (const Case& c : cases)
  {
    LICE_MemBitmap given(2, 2, 4);
    size_t peak = 0;
    LICE_IBitmap* result = nullptr;
    {
      PeakHeapWatch watch;
      result = c.load(liar, path, c.intoGiven ? &given : nullptr);
      peak = watch.peakBytes();
    }
    EXPECT_EQ(result, nullptr) << c.how;
    if (result != &given) delete result;
    EXPECT_LT(peak, kReadAllowance) << c.how;
  }
  unlink(path.c_str());
}

TEST(PngMemory, TheImageStillLoadsWithTheChunksItDoesNotUse)
{
  // Well-formed ancillary chunks of every kind the decoder skips (gamma, a suggested palette,
  // text, a compressed text, an unknown private chunk) change nothing of the pixels.
  const std::vector<unsigned char> plain = EncodePng(FourColours());
  std::vector<unsigned char> chunks;
  AppendChunk(&chunks, "gAMA", {0, 0, 0xB1, 0x8F});
  std::vector<unsigned char> suggested = {'p', 'a', 'l', 0, 8};
  for (int i = 0; i < 3; ++i) suggested.insert(suggested.end(), {1, 2, 3, 255, 0, 1});
  AppendChunk(&chunks, "sPLT", suggested);
  AppendChunk(&chunks, "tEXt", {'T', 'i', 't', 'l', 'e', 0, 'v', 'o', 'r', 'n', 'a'});
  AppendChunk(&chunks, "vrNa", std::vector<unsigned char>(5000, 7));
  const std::vector<unsigned char> rich = WithChunksAfterHeader(plain, chunks);

  std::unique_ptr<LICE_IBitmap> bmp(LICE_LoadPNGFromMemory(rich.data(), (int)rich.size()));
  ASSERT_TRUE(bmp);
  EXPECT_EQ(lice_test::Pixels(*bmp), kFourColours);

  // A chunk longer than the decoder's allocation limit is skipped rather than held: the
  // image after it still loads, within the allowance.
  std::vector<unsigned char> big;
  AppendChunk(&big, "tEXt", std::vector<unsigned char>(6u << 20, 'x'));
  const std::vector<unsigned char> withBig = WithChunksAfterHeader(plain, big);
  size_t peak = 0;
  {
    PeakHeapWatch watch;
    std::unique_ptr<LICE_IBitmap> loaded(LICE_LoadPNGFromMemory(withBig.data(), (int)withBig.size()));
    peak = watch.peakBytes();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(lice_test::Pixels(*loaded), kFourColours);
  }
  EXPECT_LT(peak, kReadAllowance);

  // The allowance means something only if the watch sees the C allocator at all.
  {
    PeakHeapWatch watch;
    void* volatile held = std::malloc(kReadAllowance * 2);
    ASSERT_NE(held, nullptr);
    EXPECT_GE(watch.peakBytes(), kReadAllowance * 2);
    std::free(held);
  }
}
