#include "lice_text.h"
#include "test_editor.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace guitest;

namespace
{
// A bare surface of w x h drawing outside any frame (the whole back buffer).
struct Surface
{
  GuiPlug plug;
  HeadlessGraphics gui;
  Surface(int w, int h) : gui(&plug, w, h)
  {
    gui.PrepDraw();
    gui.AttachControl(new RecordingControl(&plug, IRECT(0, 0, w, h)));
  }
  // What a frame redrawing r sets up: drawing then stays inside r.
  void Frame(IRECT r) { gui.Draw(&r); }
  unsigned int At(int x, int y) { return LICE_GetPixel(gui.GetDrawBitmap(), x, y) & 0xFFFFFF; }
  void Clear() { LICE_Clear(gui.GetDrawBitmap(), 0); }
};

// A strip of n frames of 4 x 4, frame k filled with grey level 10 * k.
LICE_IBitmap* Strip(int n, bool horizontal)
{
  auto* strip = new LICE_MemBitmap(horizontal ? 4 * n : 4, horizontal ? 4 : 4 * n);
  for (int k = 0; k < n; ++k)
  {
    const unsigned int grey = 0xFF000000u | (10u * k) * 0x010101u;
    LICE_FillRect(strip, horizontal ? 4 * k : 0, horizontal ? 0 : 4 * k, 4, 4, grey, 1.0f, BLEND_COPY);
  }
  return strip;
}
}  // namespace

TEST(Drawing, BitmapsLoadOnceFramesAndClippingPickTheRightPixels)
{
  Surface s(40, 20);
  s.gui.images["strip.png"] = [] { return Strip(5, true); };

  // One load per id, whatever name comes the second time.
  IBitmap strip = s.gui.LoadIBitmap(7001, "strip.png", 5, true);
  IBitmap again = s.gui.LoadIBitmap(7001, "other.png", 5, true);
  EXPECT_EQ(strip.mBitmap, again.mBitmap);
  EXPECT_EQ(s.gui.imageLoads, 1);
  EXPECT_EQ(strip.W, 20);

  // A missing image: a null image of size 0, reported once, not cached, drawn as nothing.
  testing::internal::CaptureStderr();
  IBitmap missing = s.gui.LoadIBitmap(7002, "img/missing.png");
  s.gui.LoadIBitmap(7002, "img/missing.png");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "missing image: img/missing.png\n");
  EXPECT_EQ(missing.mBitmap, nullptr);
  EXPECT_EQ(missing.W, 0);
  EXPECT_EQ(s.gui.imageLoads, 3);
  IRECT all(0, 0, 40, 20);
  s.gui.DrawBitmap(&missing, &all, 1, nullptr);
  s.gui.DrawRotatedBitmap(&missing, 10, 10, 1.0);
  s.gui.DrawRotatedMask(&missing, &missing, &missing, 0, 0, 30.0);

  // Frames count from 1; frame 0, frame 1 and a one-frame image draw the first.
  IBitmap one = strip;
  one.N = 1;
  const struct
  {
    IBitmap* bitmap;
    int frame;
    unsigned int grey;
  } cases[] = {{&strip, 0, 0}, {&strip, 1, 0}, {&strip, 3, 20}, {&strip, 5, 40}, {&one, 4, 0}};
  for (const auto& c : cases)
  {
    s.Clear();
    s.Frame(IRECT(0, 0, 40, 20));
    IRECT dest(10, 10, 14, 14);
    s.gui.DrawBitmap(c.bitmap, &dest, c.frame, nullptr);
    EXPECT_EQ(s.At(12, 12), c.grey * 0x010101u) << c.frame;
  }

  // Bitmap drawing is cut to the redrawn area, the source moving with the cut.
  LICE_Clear(s.gui.GetDrawBitmap(), 0xFF123456);
  s.Frame(IRECT(12, 0, 40, 20));
  IRECT dest(10, 10, 30, 14);
  s.gui.DrawBitmap(&strip, &dest, 0, 0, nullptr);
  EXPECT_EQ(s.At(11, 12), 0x123456u);
  EXPECT_EQ(s.At(12, 12), 0u);        // source column 2: frame 1
  EXPECT_EQ(s.At(14, 12), 0x0A0A0Au);  // source column 4: frame 2

  // Crops and scales are new images of their own.
  IRECT third(8, 0, 12, 4);
  IBitmap cropped = s.gui.CropBitmap(&strip, &third);
  EXPECT_EQ(LICE_GetPixel(cropped.mBitmap, 0, 0), 0xFF141414u);
  IBitmap scaled = s.gui.ScaleBitmap(&strip, 40, 8);
  EXPECT_EQ(scaled.mBitmap->getWidth(), 40);
  EXPECT_EQ(scaled.N, 5);
  s.gui.ReleaseBitmap(&cropped);
}

TEST(Drawing, PrimitivesLandOnTheirPixels)
{
  Surface s(30, 30);
  s.Clear();
  IRECT r(10, 10, 20, 20);
  s.gui.DrawRect(&COLOR_WHITE, &r);
  EXPECT_EQ(s.At(20, 15), 0xFFFFFFu);
  EXPECT_EQ(s.At(15, 20), 0xFFFFFFu);
  EXPECT_EQ(s.At(20, 20), 0xFFFFFFu);
  EXPECT_EQ(s.At(15, 15), 0u);

  // Stored unblended at row y with the buffer's row span (30 wide, 32 per row);
  // outside the buffer nothing happens.
  ASSERT_EQ(s.gui.GetDrawBitmap()->getRowSpan(), 32);
  const IColor half(128, 1, 2, 3);
  s.gui.ForcePixel(&half, 29, 3);
  EXPECT_EQ(LICE_GetPixel(s.gui.GetDrawBitmap(), 29, 3), 0x80010203u);
  EXPECT_EQ(s.gui.GetBits()[3 * 32 + 29], 0x80010203u);
  s.gui.ForcePixel(&half, 30, 3);
  s.gui.ForcePixel(&half, -1, 0);
  s.gui.ForcePixel(&half, 0, 30);
  EXPECT_EQ(s.At(0, 4), 0u);

  // Angle 0 points up, a quarter turn right.
  s.Clear();
  s.gui.DrawRadialLine(&COLOR_RED, 15, 15, 0.0f, 5, 10);
  s.gui.DrawRadialLine(&COLOR_GREEN, 15, 15, static_cast<float>(std::numbers::pi / 2), 5, 10);
  EXPECT_EQ(s.At(15, 7), 0xFF0000u);
  EXPECT_EQ(s.At(23, 15), 0x00FF00u);
  EXPECT_EQ(s.gui.GetPoint(15, 7), IColor(255, 255, 0, 0));
}

TEST(Drawing, TextStylesShareFontsAndMeasureByAlignment)
{
  Surface s(120, 40);
  IText black(14, &COLOR_BLACK, "Geneva");
  IText red(14, &COLOR_RED, "Geneva");
  red.mQuality = IText::kQualityAntiAliased;
  IText bigger(15, &COLOR_BLACK, "Geneva");
  IText bold(14, &COLOR_BLACK, "Geneva", IText::kStyleBold);
  LICE_IFont* font = s.gui.CacheFont(&black);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(s.gui.CacheFont(&red), font);
  EXPECT_NE(s.gui.CacheFont(&bigger), font);
  EXPECT_NE(s.gui.CacheFont(&bold), font);
  // The font is made again at a size that gives the line height asked for, when the
  // first one misses it.
  EXPECT_LE(std::abs(font->GetLineHeight() - 14), 1);
  IText tiny(1, &COLOR_BLACK, "Geneva");
  ASSERT_NE(s.gui.CacheFont(&tiny), nullptr);
  // A face name longer than its field is cut and terminated.
  IText longName(12, &COLOR_BLACK, "A face name well beyond thirty-one characters");
  EXPECT_EQ(std::string(longName.mFontName), "A face name well beyond thirty-");

  IRECT r(10, 5, 110, 30);
  EXPECT_TRUE(s.gui.MeasureIText(&black, "", &r));
  EXPECT_EQ(r, IRECT(10, 5, 110, 30));
  IRECT near = r, centre = r, far = r;
  black.mAlign = IText::kAlignNear;
  s.gui.MeasureIText(&black, "Vorna", &near);
  black.mAlign = IText::kAlignCenter;
  s.gui.MeasureIText(&black, "Vorna", &centre);
  black.mAlign = IText::kAlignFar;
  s.gui.MeasureIText(&black, "Vorna", &far);
  const int w = near.W();
  EXPECT_GT(w, 20);
  EXPECT_EQ(near.L, 10);
  EXPECT_EQ(far, IRECT(110 - w, 5, 110, near.B));
  EXPECT_EQ(centre, IRECT(60 - w / 2, 5, 60 - w / 2 + w, near.B));

  // Drawn where it was measured, translucent text lighter than opaque.
  LICE_Clear(s.gui.GetDrawBitmap(), 0xFFFFFFFF);
  const IColor translucent(96, 0, 0, 0);
  IText ghost(14, &translucent, "Geneva", IText::kStyleNormal, IText::kAlignNear);
  black.mAlign = IText::kAlignNear;
  IRECT top(10, 0, 110, 20), bottom(10, 20, 110, 40);
  s.gui.DrawIText(&black, "Vorna", &top);
  s.gui.DrawIText(&ghost, "Vorna", &bottom);
  int darkest[2] = {255, 255}, right = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x)
    {
      const int v = s.At(x, y) & 0xFF;
      darkest[y / 20] = std::min(darkest[y / 20], v);
      if (v < 255 && y < 20) right = std::max(right, x + 1);
    }
  EXPECT_LT(darkest[0], 40);
  EXPECT_GT(darkest[1], 100);
  EXPECT_LE(right, 10 + w);
  EXPECT_GT(right, 10 + w - 4);
}

namespace
{
// An opaque w x h image: the upper half one colour, the lower half another (0 = transparent).
LICE_IBitmap* Halves(int w, int h, unsigned int upper, unsigned int lower)
{
  auto* image = new LICE_MemBitmap(w, h);
  LICE_FillRect(image, 0, 0, w, h / 2, upper, 1.0f, BLEND_COPY);
  LICE_FillRect(image, 0, h / 2, w, h - h / 2, lower, 1.0f, BLEND_COPY);
  return image;
}
constexpr unsigned int kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu, kGreen = 0xFF00FF00u;
}  // namespace

TEST(Drawing, RotatedBitmapsTurnAboutTheirCentre)
{
  Surface s(40, 40);
  s.gui.images["halves.png"] = [] { return Halves(10, 10, kRed, kBlue); };
  IBitmap halves = s.gui.LoadIBitmap(7101, "halves.png");
  auto turned = [&](double radians) {
    s.Clear();
    s.Frame(IRECT(0, 0, 40, 40));
    s.gui.DrawRotatedBitmap(&halves, 20, 20, radians);
  };

  // Centred on (20, 20): the image covers 15..24 in both directions, upright at angle 0.
  turned(0.0);
  EXPECT_EQ(s.At(20, 16), 0xFF0000u);
  EXPECT_EQ(s.At(20, 23), 0x0000FFu);
  EXPECT_EQ(s.At(14, 20), 0u);
  EXPECT_EQ(s.At(25, 20), 0u);

  // Half a turn swaps the halves in place.
  turned(std::numbers::pi);
  EXPECT_EQ(s.At(20, 16), 0x0000FFu);
  EXPECT_EQ(s.At(20, 23), 0xFF0000u);

  // A quarter turn stands the boundary upright: left and right halves now differ.
  turned(std::numbers::pi / 2);
  EXPECT_NE(s.At(16, 20), s.At(23, 20));
  EXPECT_EQ(s.At(20, 16), s.At(20, 23)) << "the upper and lower rows cross both halves alike";
}

TEST(Drawing, RotatedMaskTurnsTheTopLayerOverAFixedBase)
{
  Surface s(40, 40);
  // The base is green everywhere, but its own alpha is dropped: only where the mask (opaque black below, which
  // adds no colour) lends it alpha does it show. The top layer is red above and transparent below.
  s.gui.images["base.png"] = [] { return Halves(10, 10, kGreen, kGreen); };
  s.gui.images["mask.png"] = [] { return Halves(10, 10, 0, 0xFF000000u); };
  s.gui.images["top.png"] = [] { return Halves(10, 10, kRed, 0); };
  IBitmap base = s.gui.LoadIBitmap(7201, "base.png");
  IBitmap mask = s.gui.LoadIBitmap(7202, "mask.png");
  IBitmap top = s.gui.LoadIBitmap(7203, "top.png");
  // Placed by its top-left corner at (5, 5), in a frame redrawing `area`.
  auto turned = [&](double degrees, IBitmap* maskShown, IRECT area) {
    s.Clear();
    s.Frame(area);
    s.gui.DrawRotatedMask(&base, maskShown, &top, 5, 5, degrees);
  };

  turned(0.0, &mask, IRECT(0, 0, 40, 40));
  EXPECT_EQ(s.At(9, 6), 0xFF0000u);
  EXPECT_EQ(s.At(9, 13), 0x00FF00u);
  EXPECT_EQ(s.At(4, 9), 0u);
  EXPECT_EQ(s.At(15, 9), 0u);

  turned(180.0, &mask, IRECT(0, 0, 40, 40));
  EXPECT_EQ(s.At(9, 6), 0x00FF00u);
  EXPECT_EQ(s.At(9, 13), 0xFF0000u);

  // Where the mask lends no alpha, the base stays hidden under a transparent top.
  turned(0.0, &top, IRECT(0, 0, 40, 40));
  EXPECT_EQ(s.At(9, 13), 0u);

  // The frame's area clips it: only the part inside (0, 0)-(10, 40) is drawn.
  turned(0.0, &mask, IRECT(0, 0, 10, 40));
  EXPECT_EQ(s.At(9, 6), 0xFF0000u);
  EXPECT_EQ(s.At(10, 6), 0u);
}
