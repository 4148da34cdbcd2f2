#include "EditorImages.h"
#include "ImageCatalog.h"
#include "Palette.h"
#include "lice.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace
{
namespace fs = std::filesystem;

std::unique_ptr<LICE_IBitmap> Load(const std::string& path)
{
  return std::unique_ptr<LICE_IBitmap>(LICE_LoadPNG(path.c_str()));
}

std::string BuiltImage(const char* file) { return std::string(VORNA_IMAGE_DIR) + "/" + file; }

// One frame of a vertically stacked strip, row by row.
std::vector<unsigned int> FramePixels(LICE_IBitmap& strip, int frame, int frames)
{
  const int h = strip.getHeight() / frames;
  std::vector<unsigned int> pixels;
  for (int y = frame * h; y < (frame + 1) * h; ++y)
    for (int x = 0; x < strip.getWidth(); ++x) pixels.push_back(strip.getBits()[y * strip.getRowSpan() + x]);
  return pixels;
}

// Pixels within a small distance of a colour, at least half opaque.
int CountNear(const std::vector<unsigned int>& pixels, Rgba colour)
{
  int count = 0;
  for (unsigned int p : pixels)
  {
    const int a = p >> 24, r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
    const int dr = r - int(colour.r * 255), dg = g - int(colour.g * 255), db = b - int(colour.b * 255);
    if (a >= 128 && dr * dr + dg * dg + db * db < 40 * 40) ++count;
  }
  return count;
}

TEST(EditorImageFiles, EveryImageLoadsWithItsFramesAndEveryStepShows)
{
  for (const EditorImage& image : kControlImages)
  {
    SCOPED_TRACE(image.file);
    auto strip = Load(BuiltImage(image.file));
    ASSERT_TRUE(strip);
    const StripDesign* design = FindStripDesign(image.id);
    ASSERT_TRUE(design);
    EXPECT_EQ(strip->getWidth(), design->frameWidth);
    ASSERT_EQ(strip->getHeight() % image.frames, 0);
    EXPECT_EQ(strip->getHeight() / image.frames, design->frameHeight);
    EXPECT_NE(FramePixels(*strip, 0, image.frames), FramePixels(*strip, image.frames - 1, image.frames));
    // Every value a control can pick must look different from the one before it.
    for (int k = 1; k < image.frames; ++k)
      EXPECT_NE(FramePixels(*strip, k - 1, image.frames), FramePixels(*strip, k, image.frames)) << "frame " << k;
  }
}

TEST(EditorImageFiles, BackgroundIsTheEditorsSizeAndOpaque)
{
  auto background = Load(BuiltImage(kBackgroundImage.file));
  ASSERT_TRUE(background);
  ASSERT_EQ(background->getWidth(), kEditorWidth);
  ASSERT_EQ(background->getHeight(), kEditorHeight);
  int seeThrough = 0;
  for (int y = 0; y < kEditorHeight; ++y)
    for (int x = 0; x < kEditorWidth; ++x) seeThrough += (background->getBits()[y * background->getRowSpan() + x] >> 24) != 255;
  EXPECT_EQ(seeThrough, 0);
}

// A unipolar knob's arc grows from the minimum; a bipolar one's from the centre,
// either way, so at the centre it is (all but) gone and the kinds differ.
TEST(EditorImageFiles, ValueArcsGrowFromTheMinimumOrFromTheCentre)
{
  struct Pair
  {
    const char* unipolar;
    const char* bipolar;
  };
  for (Pair pair : {Pair{"knob.png", "knob_sym.png"}, Pair{"knob_smaller.png", "knob_smaller_sym.png"}})
  {
    SCOPED_TRACE(pair.unipolar);
    auto uni = Load(BuiltImage(pair.unipolar));
    auto bi = Load(BuiltImage(pair.bipolar));
    ASSERT_TRUE(uni && bi);
    constexpr int n = 121;
    std::vector<int> amber, teal;
    for (int k = 0; k < n; k += 20)
    {
      amber.push_back(CountNear(FramePixels(*uni, k, n), palette::kUnipolar));
      teal.push_back(CountNear(FramePixels(*bi, k, n), palette::kBipolar));
    }
    for (size_t i = 1; i < amber.size(); ++i) EXPECT_GT(amber[i], amber[i - 1]) << "step " << i;
    const size_t mid = teal.size() / 2;
    EXPECT_LT(teal[mid] * 10, teal.front());
    for (size_t i = 0; i < mid; ++i)
    {
      EXPECT_GT(teal[i], teal[i + 1]);
      EXPECT_NEAR(teal[i], teal[teal.size() - 1 - i], teal[i] / 10 + 2);
    }
    EXPECT_NE(FramePixels(*uni, n / 2, n), FramePixels(*bi, n / 2, n));
  }
}

std::vector<char> Bytes(const fs::path& path)
{
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int RunGenerator(const std::string& arguments)
{
  return std::system((std::string(VORNA_IMAGES_PATH) + " " + arguments + " 2>/dev/null").c_str());
}

TEST(EditorImageFiles, TheGeneratorWritesTheSameBytesEveryTimeAndPreviewsTheEditor)
{
  const fs::path dir = fs::temp_directory_path() / ("vorna_images_test_" + std::to_string(getpid()));
  const fs::path again = dir / "again", previews = dir / "previews";
  fs::create_directories(again);
  fs::create_directories(previews);
  ASSERT_EQ(RunGenerator(again.string() + " --preview " + previews.string()), 0);

  std::vector<const char*> files = {kBackgroundImage.file};
  for (const EditorImage& image : kControlImages) files.push_back(image.file);
  for (const char* file : files)
  {
    SCOPED_TRACE(file);
    const std::vector<char> built = Bytes(BuiltImage(file));
    ASSERT_FALSE(built.empty());
    EXPECT_EQ(built, Bytes(again / file));
  }
  int previewCount = 0;
  for (const auto& entry : fs::directory_iterator(previews))
  {
    auto preview = Load(entry.path().string());
    ASSERT_TRUE(preview) << entry.path();
    EXPECT_EQ(preview->getWidth(), kEditorWidth);
    EXPECT_EQ(preview->getHeight(), kEditorHeight);
    ++previewCount;
  }
  EXPECT_GE(previewCount, 1);

  EXPECT_NE(RunGenerator(""), 0);
  EXPECT_NE(RunGenerator((dir / "missing" / "folder").string()), 0);
  fs::remove_all(dir);
}
}  // namespace
