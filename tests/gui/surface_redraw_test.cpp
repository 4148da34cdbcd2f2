#include "test_editor.h"

#include <gtest/gtest.h>

using namespace guitest;

namespace
{
std::vector<int> Draws(const std::vector<RecordingControl*>& controls)
{
  std::vector<int> counts;
  for (RecordingControl* c : controls) counts.push_back(std::exchange(c->draws, 0));
  return counts;
}
}  // namespace

TEST(SurfaceRedraw, DirtyRectanglesUniteAndStrictDrawingCleansEverything)
{
  GuiPlug plug;
  HeadlessGraphics gui(&plug, 100, 60);
  IRECT r;
  EXPECT_TRUE(gui.Draw(&r));  // nothing attached: nothing drawn, not even the screen copy
  EXPECT_EQ(gui.screenCopies, 0);

  auto* bg = new RecordingControl(&plug, IRECT(0, 0, 100, 60));
  auto* a = new RecordingControl(&plug, IRECT(10, 10, 30, 20), kGain);
  auto* b = new RecordingControl(&plug, IRECT(40, 30, 60, 50), kFreq);
  auto* none = new RecordingControl(&plug, IRECT());
  for (IControl* c : std::vector<IControl*>{bg, a, b, none}) gui.AttachControl(c);
  const std::vector<RecordingControl*> all = {bg, a, b, none};

  // New controls are dirty: the union of their rectangles, the empty one adding nothing.
  ASSERT_TRUE(gui.IsDirty(&r));
  EXPECT_EQ(r, IRECT(0, 0, 100, 60));
  gui.Draw(&r);
  EXPECT_EQ(Draws(all), (std::vector<int>{1, 1, 1, 0}));
  EXPECT_EQ(gui.screenCopies, 1);
  EXPECT_FALSE(gui.IsDirty(&(r = IRECT())));
  EXPECT_TRUE(r.Empty());

  // The first value from the plug-in is taken quietly; a changed one redraws its
  // control in two frames, with what its rectangle meets.
  a->SetValueFromPlug(0.3);
  b->SetValueFromPlug(0.2);
  EXPECT_FALSE(gui.IsDirty(&r));
  a->SetValueFromPlug(0.7);
  ASSERT_TRUE(gui.IsDirty(&(r = IRECT())));
  EXPECT_EQ(r, IRECT(10, 10, 30, 20));
  gui.Draw(&r);
  EXPECT_EQ(Draws(all), (std::vector<int>{1, 1, 0, 0}));
  ASSERT_TRUE(gui.IsDirty(&(r = IRECT())));
  gui.Draw(&r);
  EXPECT_EQ(Draws(all), (std::vector<int>{1, 1, 0, 0}));
  EXPECT_FALSE(gui.IsDirty(&(r = IRECT())));
  // A control's right and bottom edges count as inside: a, ending at column 30 and
  // row 20, meets an area starting there; b, starting at column 40 where the area
  // ends, does not.
  gui.Draw(&(r = IRECT(30, 20, 40, 30)));
  EXPECT_EQ(Draws(all), (std::vector<int>{1, 1, 0, 0}));

  // A hidden dirty control is cleaned but not drawn; the background under it is.
  b->Hide(true);
  ASSERT_TRUE(gui.IsDirty(&(r = IRECT())));
  EXPECT_EQ(r, IRECT(40, 30, 60, 50));
  gui.Draw(&r);
  gui.Draw(&r);
  EXPECT_EQ(Draws(all), (std::vector<int>{2, 0, 0, 0}));
  EXPECT_FALSE(gui.IsDirty(&(r = IRECT())));

  // Without strict drawing a dirty background redraws every visible control; else each
  // dirty control draws with what overlaps it, and only it is cleaned.
  gui.SetStrictDrawing(false);
  r = IRECT(0, 0, 100, 60);
  gui.Draw(&r);
  EXPECT_EQ(Draws(all), (std::vector<int>{1, 1, 0, 1}));
  EXPECT_TRUE(b->IsDirty());
  gui.Draw(&r);
  EXPECT_EQ(Draws(all), (std::vector<int>{1, 0, 0, 0}));
  a->SetValueFromUserInput(0.1);
  gui.Draw(&r);
  gui.Draw(&r);
  gui.Draw(&r);
  EXPECT_EQ(Draws(all), (std::vector<int>{2, 2, 0, 0}));
  EXPECT_EQ(gui.screenCopies, 11);
}

TEST(SurfaceRedraw, AFrameBeforeShowingAndHidingEqualsTheFrameAfter)
{
  for (bool strict : {true, false})
  {
    TestEditor editor;
    editor.gui->SetStrictDrawing(strict);
    editor.FramesUntilClean();
    const std::vector<unsigned int> before = editor.ScreenPixels();

    // The pop-up panel shows over the knobs and both texts, which only partly lie
    // under it; then it hides again.
    editor.popup->Hide(false);
    editor.FramesUntilClean();
    const std::vector<unsigned int> shown = editor.ScreenPixels();
    EXPECT_NE(shown, before);
    editor.SnapshotOnFailure(strict ? "shown-strict" : "shown");
    editor.popup->Hide(true);
    editor.FramesUntilClean();
    EXPECT_EQ(editor.ScreenPixels(), before) << (strict ? "strict" : "not strict");
    editor.SnapshotOnFailure(strict ? "show-hide-strict" : "show-hide");

    // Outside the panel nothing was touched while it showed.
    for (int y = 0; y < TestEditor::kH; ++y)
      for (int x = 0; x < TestEditor::kW; ++x)
      {
        if (editor.popup->GetRECT()->Contains(x, y)) continue;
        ASSERT_EQ(shown[y * TestEditor::kW + x], before[y * TestEditor::kW + x]) << x << "," << y;
      }
  }
}
