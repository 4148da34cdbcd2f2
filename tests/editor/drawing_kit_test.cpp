#include "Canvas.h"
#include "ControlLayout.h"
#include "EditorImages.h"
#include "PngFile.h"
#include "lice.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

namespace
{
constexpr double kPi = 3.14159265358979323846;

double TotalAlpha(const Canvas& canvas)
{
  double sum = 0;
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = 0; x < canvas.Width(); ++x) sum += canvas.PixelAt(x, y).a;
  return sum;
}

TEST(DrawingKit, FilledAreasMatchTheShapesAndEdgesAreShaded)
{
  Canvas disc(40, 40);
  disc.Fill(Circle(20, 20, 12.5), Rgb8(255, 255, 255));
  EXPECT_NEAR(TotalAlpha(disc), kPi * 12.5 * 12.5, 4.0);
  EXPECT_FLOAT_EQ(disc.PixelAt(20, 20).a, 1.0f);
  EXPECT_FLOAT_EQ(disc.PixelAt(2, 2).a, 0.0f);

  // A square edge through the middle of a column covers half of each pixel there.
  Canvas half(10, 10);
  half.Fill(Polygon({{0, 0}, {4.5, 0}, {4.5, 10}, {0, 10}}), Rgb8(0, 0, 0));
  EXPECT_NEAR(half.PixelAt(4, 5).a, 0.5, 0.11);
  EXPECT_FLOAT_EQ(half.PixelAt(3, 5).a, 1.0f);
  EXPECT_FLOAT_EQ(half.PixelAt(5, 5).a, 0.0f);

  // A thin arc of a quarter turn: a quarter of the ring's area.
  Canvas arc(60, 60);
  arc.Fill(ArcBand(30, 30, 20, 24, -45, 45, false), Rgb8(0, 0, 0));
  EXPECT_NEAR(TotalAlpha(arc), kPi * (24 * 24 - 20 * 20) / 4, 3.0);
}

TEST(DrawingKit, ShapesAnswerInsideAcrossTheirAwkwardPlaces)
{
  // A sweep across the bottom, where angles wrap from 180 to -180.
  const ArcBand bottom(0, 0, 5, 10, 150, 210, false);
  EXPECT_TRUE(bottom.Contains(0, 7));
  EXPECT_FALSE(bottom.Contains(0, -7));
  EXPECT_FALSE(bottom.Contains(7, 0));
  // Round ends reach past the sweep by half the band's width.
  const Point end = OnCircle(0, 0, 7.5, 10);
  const Point past{end.x + 1.0, end.y + 0.3};
  EXPECT_TRUE(ArcBand(0, 0, 5, 10, -10, 10, true).Contains(past.x, past.y));
  EXPECT_FALSE(ArcBand(0, 0, 5, 10, -10, 10, false).Contains(past.x, past.y));
  EXPECT_TRUE(ArcBand(0, 0, 5, 10, 0, 360, false).Contains(0, 7));

  // A concave polygon (an L) leaves its notch out.
  const Polygon ell({{0, 0}, {10, 0}, {10, 4}, {4, 4}, {4, 10}, {0, 10}});
  EXPECT_TRUE(ell.Contains(2, 8));
  EXPECT_TRUE(ell.Contains(8, 2));
  EXPECT_FALSE(ell.Contains(8, 8));

  const Box box{0, 0, 20, 10};
  EXPECT_LT(RoundRectDistance(box, 3, 10, 5), 0);
  EXPECT_NEAR(RoundRectDistance(box, 3, 10, -2), 2, 1e-9);
  EXPECT_NEAR(RoundRectDistance(box, 3, 0, 0), std::sqrt(18.0) - 3, 1e-9);  // the corner is rounded off
  EXPECT_TRUE(Polyline({{0, 0}, {10, 0}, {10, 10}}, 2).Contains(10.8, 5));
  EXPECT_FALSE(Polyline({{0, 0}, {10, 0}, {10, 10}}, 2).Contains(5, 5));
}

TEST(DrawingKit, LayersCombineAsPaintOverPaint)
{
  Canvas under(2, 1);
  under.Fill(Polygon({{0, 0}, {2, 0}, {2, 1}, {0, 1}}), Rgb8(0, 0, 255));
  Canvas top(2, 1);
  top.Fill(Polygon({{0, 0}, {1, 0}, {1, 1}, {0, 1}}), Rgb8(255, 0, 0, 0.5f));
  under.Place(top, 0, 0);
  const Rgba mixed = under.PixelAt(0, 0), untouched = under.PixelAt(1, 0);
  EXPECT_NEAR(mixed.r, 0.5, 1e-6);
  EXPECT_NEAR(mixed.b, 0.5, 1e-6);
  EXPECT_FLOAT_EQ(mixed.a, 1.0f);
  EXPECT_FLOAT_EQ(untouched.b, 1.0f);
  EXPECT_FLOAT_EQ(untouched.r, 0.0f);

  // Translucent over translucent keeps straight colour: same colour stays the same.
  Canvas glass(1, 1);
  glass.Fill(Circle(0.5, 0.5, 2), Rgb8(0, 255, 0, 0.5f));
  glass.Fill(Circle(0.5, 0.5, 2), Rgb8(0, 255, 0, 0.5f));
  EXPECT_NEAR(glass.PixelAt(0, 0).g, 1.0, 1e-6);
  EXPECT_NEAR(glass.PixelAt(0, 0).a, 0.75, 1e-6);
}

TEST(DrawingKit, PngFilesHoldStraightColourAndFailWithoutAFolder)
{
  Canvas canvas(3, 2);
  canvas.Fill(Polygon({{0, 0}, {1, 0}, {1, 1}, {0, 1}}), Rgb8(200, 100, 50));
  canvas.Fill(Polygon({{1, 0}, {2, 0}, {2, 1}, {1, 1}}), Rgb8(200, 100, 50, 0.4f));
  const std::string path =
      (std::filesystem::temp_directory_path() / ("vorna_kit_" + std::to_string(getpid()) + ".png")).string();
  std::string error;
  ASSERT_TRUE(WritePng(path, canvas, &error)) << error;
  std::unique_ptr<LICE_IBitmap> loaded(LICE_LoadPNG(path.c_str()));
  std::filesystem::remove(path);
  ASSERT_TRUE(loaded);
  ASSERT_EQ(loaded->getWidth(), 3);
  ASSERT_EQ(loaded->getHeight(), 2);
  const unsigned int* bits = loaded->getBits();
  EXPECT_EQ(bits[0], 0xFFC86432u);
  EXPECT_EQ(bits[1], 0x66C86432u);  // colour kept whole under partial alpha
  EXPECT_EQ(bits[2], 0u);           // nothing drawn: no colour either
  EXPECT_EQ(bits[loaded->getRowSpan()], 0u);

  const std::string nowhere = "/nonexistent-folder-for-vorna/x.png";
  EXPECT_FALSE(WritePng(nowhere, canvas, &error));
  EXPECT_NE(error.find(nowhere), std::string::npos);
}

// Labels are placed as the editor places them: a 14-pixel text box (7 pixels a
// letter, 15 high) centred on the control, then moved down by half the control's
// height and the place's shift (1 for large knobs, which also move 4 left; 7
// otherwise; 22 under the poly switch).
TEST(DrawingKit, LabelsGoWhereTheEditorPutsThem)
{
  const ControlPlace bigKnob{94, kKnobImageId, 420, 26, 0, 0, "f", LabelPlace::LargeKnob, Shown::Always, Band::Osc1};
  const Box big = LabelBox(bigKnob);  // frame 46 x 44
  EXPECT_DOUBLE_EQ(big.x0, 420 + 19 - 4);
  EXPECT_DOUBLE_EQ(big.y0, 26 + 14 + 22 + 1);
  EXPECT_DOUBLE_EQ(big.x1 - big.x0, 7);
  EXPECT_DOUBLE_EQ(big.y1 - big.y0, 15);

  const ControlPlace field{63, 0, 72, 580, 22, 17, "period", LabelPlace::Small, Shown::HardSync, Band::Master};
  const Box small = LabelBox(field);
  EXPECT_DOUBLE_EQ(small.x0, 72 - 10);
  EXPECT_DOUBLE_EQ(small.y0, 580 + 1 + 8 + 7);
  EXPECT_DOUBLE_EQ(small.x1, 72 - 10 + 42);

  const ControlPlace poly{84, kButtonOnOffImageId, 165, 560, 0, 0, "poly", LabelPlace::PolySwitch, Shown::Always,
                          Band::Master};
  EXPECT_DOUBLE_EQ(LabelBox(poly).y0, 560 + 2 + 10 + 22);  // frame 20 high

  const ControlPlace unlabelled{0, kButtonOnOffImageId, 5, 15, 0, 0, nullptr, LabelPlace::None, Shown::Always,
                                Band::Osc1};
  const Box none = LabelBox(unlabelled);
  EXPECT_FALSE(none.x1 > none.x0);
}
}  // namespace
