#include "Background.h"
#include "ControlLayout.h"
#include "EditorImages.h"
#include "ImageCatalog.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
bool HasArea(const Box& b) { return b.x1 > b.x0 && b.y1 > b.y0; }

bool Inside(const Box& inner, const Box& outer)
{
  return inner.x0 >= outer.x0 && inner.y0 >= outer.y0 && inner.x1 <= outer.x1 && inner.y1 <= outer.y1;
}

bool Overlap(const Box& a, const Box& b) { return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1; }

std::string Name(const ControlPlace& place) { return "control " + std::to_string(place.id); }

double MeanLightness(const Canvas& canvas, const Box& box)
{
  double sum = 0;
  int count = 0;
  for (int y = int(box.y0); y < int(box.y1); ++y)
    for (int x = int(box.x0); x < int(box.x1); ++x)
    {
      const Rgba c = canvas.PixelAt(x, y);
      sum += 255 * (0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b);
      ++count;
    }
  return count ? sum / count : 0;
}

TEST(EditorBackground, EveryControlDrawsAnImageOfTheTableOrText)
{
  for (const ControlPlace& place : ControlPlaces())
  {
    if (IsTextControl(place)) continue;
    EXPECT_NE(FindEditorImage(place.imageId), nullptr) << Name(place);
    EXPECT_NE(FindStripDesign(place.imageId), nullptr) << Name(place);
  }
  for (const EditorImage& image : kControlImages)
  {
    bool used = false;
    for (const ControlPlace& place : ControlPlaces()) used = used || place.imageId == image.id;
    EXPECT_TRUE(used) << image.file;
  }
}

TEST(EditorBackground, BandsFrameTheirControlsAndLeaveTheSyncSwitchesBetweenThem)
{
  const Box editor{0, 0, double(kEditorWidth), double(kEditorHeight)};
  const Box osc1 = BandBox(Band::Osc1), osc2 = BandBox(Band::Osc2), master = BandBox(Band::Master);
  for (const Box& band : {osc1, osc2, master}) EXPECT_TRUE(Inside(band, editor));
  EXPECT_FALSE(Overlap(osc1, osc2));
  EXPECT_FALSE(Overlap(osc2, master));
  EXPECT_LT(osc1.y1, osc2.y0);
  // The second oscillator is the first moved down.
  EXPECT_DOUBLE_EQ(osc2.y0 - osc1.y0, 280);
  EXPECT_DOUBLE_EQ(osc2.y1 - osc1.y1, 280);

  for (const ControlPlace& place : ControlPlaces())
  {
    const Box box = ControlBox(place), label = LabelBox(place);
    EXPECT_TRUE(Inside(box, editor)) << Name(place);
    if (place.band == Band::Between)
    {
      EXPECT_TRUE(Inside(box, BandBox(Band::Between))) << Name(place);
      for (const Box& band : {osc1, osc2, master}) EXPECT_FALSE(Overlap(box, band)) << Name(place);
      continue;
    }
    const Box band = BandBox(place.band);
    EXPECT_TRUE(Inside(box, band)) << Name(place);
    if (HasArea(label))
    {
      EXPECT_TRUE(Inside(label, band)) << Name(place) << " label";
    }
  }
}

TEST(EditorBackground, SectionLinesRunBetweenControlsNotThroughThem)
{
  for (const ControlPlace& place : ControlPlaces())
  {
    if (place.band != Band::Osc1 && place.band != Band::Osc2) continue;
    for (const Box& box : {ControlBox(place), LabelInkBox(place)})
      for (double x : kSectionEdges)
        EXPECT_FALSE(HasArea(box) && box.x0 <= x + 1 && x - 1 <= box.x1) << Name(place) << " at x " << x;
  }
}

// Labels are written in dark grey and values in cream: each needs its ground.
TEST(EditorBackground, LabelsLieOnLightPanelAndValuesInDarkWells)
{
  const Canvas background = DrawBackground();
  for (const ControlPlace& place : ControlPlaces())
  {
    const Box label = LabelInkBox(place);
    if (HasArea(label))
    {
      EXPECT_GT(MeanLightness(background, label), 170) << Name(place) << " label";
    }
    if (IsTextControl(place) && place.shown != Shown::Never && place.shown != Shown::Plugin)
    {
      EXPECT_LT(MeanLightness(background, ControlBox(place)), 60) << Name(place);
      EXPECT_TRUE(Inside(ControlBox(place), WellBox(place))) << Name(place);
    }
  }
}
}  // namespace
