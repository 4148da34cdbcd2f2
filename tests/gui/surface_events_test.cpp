#include "test_editor.h"

#include <gtest/gtest.h>

using namespace guitest;

namespace
{
std::vector<std::string> Take(RecordingControl* c)
{
  return std::exchange(c->events, {});
}
}  // namespace

TEST(SurfaceEvents, TopmostVisibleControlTakesThePress)
{
  GuiPlug plug;
  HeadlessGraphics gui(&plug, 100, 60);
  auto* lower = new RecordingControl(&plug, IRECT(10, 10, 60, 30), kGain, "lower");
  auto* upper = new RecordingControl(&plug, IRECT(50, 10, 90, 30), kFreq, "upper");
  gui.AttachControl(lower);
  gui.AttachControl(upper);
  IColor grey(255, 80, 80, 80);
  gui.AttachPanelBackground(&grey);
  ASSERT_EQ(gui.GetControl(1), lower);  // the background moved everything up by one
  IMouseMod left(true);

  // In the overlap the control attached later wins, and the host hears of its parameter.
  gui.OnMouseDown(55, 20, &left);
  gui.OnMouseUp(55, 20, &left);
  EXPECT_EQ(Take(upper), (std::vector<std::string>{"upper down 55,20", "upper up 55,20"}));
  EXPECT_TRUE(lower->events.empty());
  EXPECT_EQ(plug.begun, std::vector<int>{kFreq});
  EXPECT_EQ(plug.ended, std::vector<int>{kFreq});

  // Hidden and grayed controls are passed over; a grayed one that asks for it still
  // hears the mouse move over it, but not the press.
  upper->Hide(true);
  gui.OnMouseDown(55, 20, &left);
  EXPECT_EQ(Take(lower), (std::vector<std::string>{"lower down 55,20"}));
  upper->Hide(false);
  upper->GrayOut(true);
  upper->SetMOWhenGrayed(true);
  gui.HandleMouseOver(true);
  gui.OnMouseUp(55, 20, &left);
  Take(lower);
  gui.OnMouseDown(55, 20, &left);
  EXPECT_EQ(Take(lower), (std::vector<std::string>{"lower down 55,20"}));
  gui.OnMouseUp(55, 20, &left);
  gui.OnMouseOver(55, 20, &left);
  EXPECT_EQ(Take(upper), (std::vector<std::string>{"upper over 55,20"}));
  EXPECT_EQ(gui.GetMouseOverIdx(), 2);

  // Empty space hits the background panel; the automation query says no parameter.
  EXPECT_EQ(gui.GetMouseControlIdx(95, 55), 0);
  EXPECT_EQ(gui.GetParamIdxForPTAutomation(95, 55), -1);
  EXPECT_EQ(gui.GetLastClickedParamForPTAutomation(), -1);
  EXPECT_EQ(gui.GetParamIdxForPTAutomation(20, 20), kGain);
  EXPECT_EQ(gui.GetLastClickedParamForPTAutomation(), kGain);
  EXPECT_EQ(gui.GetLastClickedParamForPTAutomation(), -1);
}

TEST(SurfaceEvents, DragKeepsItsControlAndDoubleClicksFollowTheControlsWish)
{
  GuiPlug plug;
  HeadlessGraphics gui(&plug, 100, 60);
  auto* a = new RecordingControl(&plug, IRECT(10, 10, 40, 40), kGain, "a");
  auto* b = new RecordingControl(&plug, IRECT(50, 10, 90, 40), kFreq, "b");
  gui.AttachControl(new RecordingControl(&plug, IRECT(0, 0, 100, 60), -1, "bg"));
  gui.AttachControl(a);
  gui.AttachControl(b);
  IMouseMod left(true);

  // Pressed on a, the drag stays with a over b and outside the editor; a repeated
  // position is no drag; the release goes to a as well.
  gui.OnMouseDown(20, 20, &left);
  gui.OnMouseDrag(60, 25, &left);
  gui.OnMouseDrag(60, 25, &left);
  gui.OnMouseDrag(200, -30, &left);
  gui.OnMouseWheel(70, 20, &left, 2);  // the wheel too goes to the control holding the mouse
  gui.OnMouseUp(200, -30, &left);
  EXPECT_EQ(Take(a), (std::vector<std::string>{"a down 20,20", "a drag 60,25", "a drag 200,-30", "a wheel 70,20",
                                                "a up 200,-30"}));
  EXPECT_EQ(a->drags, (std::vector<std::pair<int, int>>{{40, 5}, {140, -55}}));
  EXPECT_TRUE(b->events.empty());
  // Released, a drag goes nowhere and the wheel to what is under it.
  gui.OnMouseDrag(30, 30, &left);
  gui.OnMouseWheel(70, 20, &left, -1);
  EXPECT_EQ(Take(b), (std::vector<std::string>{"b wheel 70,20"}));
  EXPECT_TRUE(a->events.empty());

  // A double click is a double click, unless the control takes it as a press (and then
  // it also holds the mouse for the drag that follows).
  EXPECT_FALSE(gui.OnMouseDblClick(20, 20, &left));
  EXPECT_EQ(Take(a), (std::vector<std::string>{"a dbl 20,20"}));
  a->SetDblAsSingleClick(true);
  EXPECT_TRUE(gui.OnMouseDblClick(20, 20, &left));
  gui.OnMouseDrag(70, 20, &left);
  EXPECT_EQ(Take(a), (std::vector<std::string>{"a down 20,20", "a drag 70,20"}));
  EXPECT_FALSE(gui.OnMouseDblClick(5, 55, &left));  // the background has no wish

  // A double click restores the default, which is the first value the plug-in gave.
  a->SetDblAsSingleClick(false);
  a->SetValueFromPlug(0.3);
  a->SetValueFromUserInput(0.9);
  gui.OnMouseDblClick(20, 20, &left);
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.3);
  EXPECT_DOUBLE_EQ(plug.GetParam(kGain)->GetNormalized(), 0.3);
}

TEST(SurfaceEvents, HoverOutComesOnlyWithANewTargetAndKeysFallToTheCatcher)
{
  GuiPlug plug;
  HeadlessGraphics gui(&plug, 100, 60);
  auto* bg = new RecordingControl(&plug, IRECT(0, 0, 100, 30), -1, "bg");
  auto* a = new RecordingControl(&plug, IRECT(10, 10, 40, 25), kGain, "a");
  auto* b = new RecordingControl(&plug, IRECT(50, 10, 90, 25), kFreq, "b");
  auto* catcher = new RecordingControl(&plug, IRECT(), -1, "catcher");
  gui.AttachControl(bg);
  gui.AttachControl(a);
  gui.AttachControl(b);
  IMouseMod none;

  // Off by default: nothing at all happens.
  EXPECT_FALSE(gui.OnMouseOver(20, 20, &none));
  EXPECT_TRUE(a->events.empty());
  gui.HandleMouseOver(true);

  EXPECT_TRUE(gui.OnMouseOver(20, 20, &none));
  // Below every control (y 40): no target, so a keeps the pointer and hears no "out".
  gui.OnMouseOver(20, 40, &none);
  EXPECT_EQ(Take(a), (std::vector<std::string>{"a over 20,20"}));
  EXPECT_EQ(gui.GetMouseOverIdx(), 1);
  // Onto b: b hears "over" first, then a its "out".
  gui.OnMouseOver(60, 20, &none);
  EXPECT_EQ(Take(a), (std::vector<std::string>{"a out"}));
  EXPECT_EQ(Take(b), (std::vector<std::string>{"b over 60,20"}));
  // Leaving the editor: every control hears "out".
  gui.OnMouseOut();
  EXPECT_EQ(Take(a), (std::vector<std::string>{"a out"}));
  EXPECT_EQ(Take(bg), (std::vector<std::string>{"bg out"}));
  EXPECT_EQ(gui.GetMouseOverIdx(), -1);

  // Keys: a control other than the background takes them; over the background or
  // nothing they go to the key catcher, and without one they are not handled.
  EXPECT_FALSE(gui.OnKeyDown(5, 5, 15));
  gui.AttachKeyCatcher(catcher);
  EXPECT_TRUE(gui.OnKeyDown(5, 5, 15));
  EXPECT_TRUE(gui.OnKeyDown(5, 55, 16));
  EXPECT_EQ(catcher->lastKey, 16);
  EXPECT_TRUE(bg->events.empty());
  b->takesKeys = false;
  EXPECT_FALSE(gui.OnKeyDown(60, 20, 1));
  EXPECT_EQ(b->lastKey, 1);
}
