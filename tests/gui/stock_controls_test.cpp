#include "test_editor.h"

#include <gtest/gtest.h>

using namespace guitest;

namespace
{
// n frames of w x h stacked, frame k (from 0) filled with grey 10 * k.
IBitmap Frames(HeadlessGraphics& gui, int id, int w, int h, int n)
{
  const std::string name = "frames" + std::to_string(id);
  gui.images[name] = [=] {
    auto* b = new LICE_MemBitmap(w, h * n);
    for (int k = 0; k < n; ++k) LICE_FillRect(b, 0, k * h, w, h, 0xFF000000u | (10u * k) * 0x010101u, 1.0f, 0);
    return b;
  };
  return gui.LoadIBitmap(id, name.c_str(), n);
}
}  // namespace

TEST(StockControls, SwitchesButtonsFadersAndKnobsStepAndSnap)
{
  TestEditor e;
  HeadlessGraphics& gui = *e.gui;
  IMouseMod left(true), right(false, true), shift(true, false, true);

  IBitmap three = Frames(gui, 8001, 10, 10, 3);
  ISwitchControl toggle(&e.plug, 0, 0, kSteps, &three);
  std::vector<double> steps;
  for (int i = 0; i < 4; ++i) toggle.OnMouseDown(1, 1, &left), steps.push_back(toggle.GetValue());
  EXPECT_EQ(steps, (std::vector<double>{0.5, 1.0, 0.0, 0.5}));

  IBitmap two = Frames(gui, 8002, 10, 8, 2);
  IContactControl contact(&e.plug, 0, 0, kOn, &two);
  contact.OnMouseDown(1, 1, &left);
  EXPECT_EQ(contact.GetValue(), 1.0);
  contact.OnMouseUp(1, 1, &left);
  EXPECT_EQ(contact.GetValue(), 0.0);
  IInvisibleSwitchControl invisible(&e.plug, IRECT(0, 0, 5, 5), kOn);
  invisible.OnMouseDown(1, 1, &left);
  EXPECT_TRUE(e.plug.GetParam(kOn)->Bool());

  // Three buttons of 10 x 8 down 40 pixels: gaps of 8, so they start at 0, 16 and 32.
  IRadioButtonsControl radio(&e.plug, IRECT(100, 0, 110, 40), kMode, 3, &two);
  radio.OnMouseDown(105, 33, &left);
  EXPECT_EQ(radio.GetValue(), 1.0);
  radio.OnMouseDown(105, 17, &left);
  EXPECT_EQ(radio.GetValue(), 0.5);
  radio.OnMouseDown(105, 12, &left);  // in a gap: the value stays
  EXPECT_EQ(e.plug.GetParam(kMode)->Int(), 1);
  radio.DisablePrompt(false);
  gui.menuChoice = 0;
  radio.OnMouseDown(105, 1, &right);
  EXPECT_EQ(e.plug.GetParam(kMode)->Int(), 0);

  // A vertical fader of 100 with a 10-pixel handle: the handle's centre follows the mouse.
  IBitmap handle = Frames(gui, 8003, 10, 10, 1);
  IFaderControl fader(&e.plug, 0, 0, 100, kGain, &handle, kVertical, true);
  fader.OnMouseDown(5, 5, &left);
  EXPECT_DOUBLE_EQ(fader.GetValue(), 1.0);
  fader.OnMouseDrag(5, 50, 0, 45, &left);
  EXPECT_DOUBLE_EQ(fader.GetValue(), 0.5);
  EXPECT_EQ(fader.GetHandleRECT(), IRECT(0, 45, 10, 55));
  EXPECT_TRUE(fader.IsHit(5, 50));
  EXPECT_FALSE(fader.IsHit(5, 10));  // only the handle answers

  // Knob gearing: ten times finer with Shift; the wheel a hundredth, a thousandth with Shift.
  IKnobLineControl knob(&e.plug, IRECT(0, 0, 40, 40), kGain, &COLOR_WHITE, 0, 0, -1, 1, kHorizontal);
  knob.SetValue(0.5);
  knob.OnMouseDrag(0, 0, 10, 0, &left);
  EXPECT_DOUBLE_EQ(knob.GetValue(), 0.5625);
  knob.OnMouseDrag(0, 0, 10, 0, &shift);
  EXPECT_DOUBLE_EQ(knob.GetValue(), 0.56875);
  knob.OnMouseWheel(0, 0, &shift, -2);
  EXPECT_NEAR(knob.GetValue(), 0.56675, 1e-12);

  // An overlay answers in its target area while off, over itself while on.
  IBitmapOverlayControl overlay(&e.plug, 50, 50, kOn, &two, IRECT(0, 0, 20, 20));
  overlay.SetValue(0.0);
  overlay.Draw(&gui);
  EXPECT_TRUE(overlay.IsHit(5, 5));
  EXPECT_FALSE(overlay.IsHit(55, 55));
  overlay.SetValue(1.0);
  overlay.Draw(&gui);
  EXPECT_TRUE(overlay.IsHit(55, 55));
  EXPECT_FALSE(overlay.IsHit(5, 5));
  IInvisibleSwitchControl nowhere(&e.plug, IRECT(), -1);
  EXPECT_FALSE(nowhere.IsHit(0, 0));
}

TEST(StockControls, LinksFileSelectorsAndBitmapText)
{
  TestEditor e;
  HeadlessGraphics& gui = *e.gui;
  IMouseMod left(true);

  // Link texts longer than their fields are cut and terminated.
  const std::string longURL = "https://example.org/" + std::string(400, 'a');
  IURLControl link(&e.plug, IRECT(0, 0, 10, 10), longURL.c_str(), "https://backup.example.org",
                   std::string(2000, 'm').c_str());
  EXPECT_EQ(std::string(link.GetURL()), longURL.substr(0, IURLControl::kURLSize - 1));
  EXPECT_EQ(std::string(link.GetErrorMessage()).size(), size_t(IURLControl::kMessageSize - 1));
  gui.urlOpens = false;
  link.OnMouseDown(1, 1, &left);
  ASSERT_EQ(gui.urls.size(), 2u);
  EXPECT_EQ(gui.urls[1], "https://backup.example.org");

  // A file prompt: the answer is kept, the value steps, and the finished selection
  // counts as one more change after the control was drawn clean.
  IBitmap two = Frames(gui, 8101, 10, 8, 2);
  IFileSelectorControl selector(&e.plug, IRECT(0, 0, 10, 10), -1, &two, kFileOpen, "/tmp", "wav aif");
  gui.fileChoice = "/tmp/take.wav";
  selector.OnMouseDown(1, 1, &left);
  WDL_String file;
  selector.GetLastSelectedFileForPlug(&file);
  EXPECT_STREQ(file.Get(), "/tmp/take.wav");
  EXPECT_EQ(selector.GetValue(), 1.0);
  selector.SetClean();
  EXPECT_TRUE(selector.IsDirty());
  EXPECT_FALSE(selector.IsDirty());

  // Bitmap text: one frame per character, code c - 31, left to right.
  IBitmap font = Frames(gui, 8102, 4, 6, 40);
  IText near(10, &COLOR_BLACK, "Geneva", IText::kStyleNormal, IText::kAlignNear);
  IBitmapTextControl text(&e.plug, IRECT(10, 10, 30, 16), &font, "#!", &near, 4, 6, 1, false, false);
  IRECT all(0, 0, TestEditor::kW, TestEditor::kH);
  e.gui->Draw(&all);
  text.Draw(&gui);
  EXPECT_EQ(LICE_GetPixel(gui.GetDrawBitmap(), 11, 12) & 0xFF, 30u);  // '#' is frame 4
  EXPECT_EQ(LICE_GetPixel(gui.GetDrawBitmap(), 16, 12) & 0xFF, 10u);  // '!' frame 2, after a gap of 1
}
