// The editor in the main window, played with the pointer as a person does: real mouse
// events through the platform, from the display to the controls.

#include "app_window_fixture.h"

#include "IGraphics.h"
#include "IPlugStandalone.h"
#include "Vorna.h"
#include "VornaParams.h"
#include "ZKControls.h"
#include "ZKMenu.h"

#include "platform/appkit/view.h"
#include "platform/appkit/window.h"

namespace
{
class EditorPointerTest : public AppWindowTest
{
protected:
  void StartEditor()
  {
    StartApplication();
    ASSERT_NE(gHWND, nullptr);
    mPlug = static_cast<Vorna*>(gPluginInstance);
    mView = static_cast<cocoa::NSView*>(mPlug->GetGUI()->GetWindow());
    ASSERT_NE(mView, nullptr);
    mWindow = mView->window();
    mMenu = mPlug->GetMenuControl();
  }

  // The window pixel the editor reads as GUI point (x, y).
  cocoa::NSPoint At(int x, int y) const
  {
    const double height = mView->frame().size.height;
    const cocoa::NSPoint base = mView->convertPointToView(cocoa::NSMakePoint(x + 2, height - y - 3), nullptr);
    const cocoa::NSRect content = mWindow->contentRectForFrameRect(mWindow->frame());
    return cocoa::NSMakePoint(base.x, content.size.height - base.y);
  }
  cocoa::NSPoint Centre(int paramIdx) const
  {
    const IRECT* r = mPlug->GetParamControl(paramIdx)->GetTargetRECT();
    return At(r->MW(), r->MH());
  }

  void RightClickKnob()
  {
    mDriver.mouseMove(mWindow, Centre(kTune1));
    mDriver.click(mWindow, Centre(kTune1), cocoa::TestDriver::right);
    mDriver.runFor(0.1);
    ASSERT_FALSE(mMenu->IsHidden());
    ASSERT_EQ(mMenu->GetMenu(), mPlug->GetParamMenu(kTune1));
  }

  double Waveform() const { return mPlug->GetParam(kWaveform1)->Value(); }

  Vorna* mPlug = nullptr;
  cocoa::NSView* mView = nullptr;
  cocoa::NSWindow* mWindow = nullptr;
  IMenuControlZK* mMenu = nullptr;
};

TEST_F(EditorPointerTest, TheMidiLearnMenuClosesWhenThePointerLeavesItAndClicksOutsideReachTheControlsBeneath)
{
  StartEditor();
  // The pointer jumps far from the menu, then clicks there: the menu has gone by the time
  // the click arrives, and the waveform switch beneath takes it.
  RightClickKnob();
  mDriver.mouseMove(mWindow, Centre(kWaveform1));
  mDriver.runFor(0.1);
  EXPECT_TRUE(mMenu->IsHidden());
  const double before = Waveform();
  mDriver.click(mWindow, Centre(kWaveform1));
  mDriver.runFor(0.1);
  EXPECT_NE(Waveform(), before);
  EXPECT_TRUE(mMenu->IsHidden());

  // A click far away with no motion before it (a touch, a pointer warped by a tablet): the
  // control beneath takes it, and the release leaves the menu behind.
  RightClickKnob();
  const double again = Waveform();
  mDriver.click(mWindow, Centre(kWaveform1));
  mDriver.runFor(0.1);
  EXPECT_NE(Waveform(), again);
  EXPECT_TRUE(mMenu->IsHidden());

  // The pointer leaves the window.
  RightClickKnob();
  mDriver.mouseExit(mWindow, cocoa::NSMakePoint(-30, 40));
  mDriver.runFor(0.1);
  EXPECT_TRUE(mMenu->IsHidden());

  // Moving within the menu's margin keeps it; a click on "MIDI learn" picks it and ends it.
  RightClickKnob();
  const IRECT learn = mMenu->GetRootLevel().GetItemRECT(1);
  mDriver.mouseMove(mWindow, At(learn.MW(), learn.MH()));
  mDriver.runFor(0.1);
  ASSERT_FALSE(mMenu->IsHidden());
  mDriver.click(mWindow, At(learn.MW(), learn.MH()));
  mDriver.runFor(0.1);
  EXPECT_TRUE(mMenu->IsHidden());
  const WDL_TypedBuf<int>& waiting = mPlug->GetMIDIReceiver().GetPendingLearnList();
  ASSERT_EQ(waiting.GetSize(), 1);
  EXPECT_EQ(waiting.Get()[0], kTune1);
}

TEST_F(EditorPointerTest, AKnobsValueBoxGoesWhenThePointerLeavesWhereverTheButtonIsReleased)
{
  StartEditor();
  IControlZK* knob = mPlug->GetParamControl(kFlt1F);
  const IRECT r = *knob->GetTargetRECT();
  for (bool outside : {false, true})
  {
    SCOPED_TRACE(outside ? "released outside the window" : "released over another control");
    mDriver.mouseMove(mWindow, At(r.MW(), r.MH()));
    // Pressed, dragged down and released: over the waveform switch, or below the window.
    const cocoa::NSPoint end = outside ? cocoa::NSMakePoint(r.MW(), mWindow->frame().size.height + 60) : Centre(kWaveform1);
    mDriver.mouseDown(mWindow, At(r.MW(), r.MH()));
    mDriver.runFor(0.05);
    EXPECT_TRUE(knob->mValueShown);
    for (int i = 1; i <= 5; ++i)
      mDriver.mouseMove(mWindow, cocoa::NSMakePoint(At(r.MW(), r.MH()).x, At(r.MW(), r.MH()).y + i * 20));
    mDriver.mouseUp(mWindow, end);
    mDriver.runFor(0.1);
    EXPECT_FALSE(knob->mValueShown);
    EXPECT_EQ(*knob->GetTargetRECT(), r);
  }
}

// From the first frame every control shows its parameter's value: the integer fields and
// the lists the very number and entry, the rest the parameter's position. The "poly" field
// then moves from the voice count the engine plays, not from its range's low end.
TEST_F(EditorPointerTest, EveryControlShowsItsParametersValueFromTheStart)
{
  StartEditor();
  mDriver.runFor(0.1);
  int fields = 0;
  for (int i = 0; i < mPlug->NParams(); ++i)
  {
    const IParam* param = mPlug->GetParam(i);
    const IControlZK* control = mPlug->GetParamControl(i);
    ASSERT_NE(control, nullptr) << i;
    SCOPED_TRACE(param->GetNameForHost());
    const auto* field = dynamic_cast<const IIntValTextControlZK*>(control);
    const auto* list = dynamic_cast<const IListControlZK*>(control);
    if (field)
    {
      EXPECT_EQ(field->GetInt(), param->Int());
    }
    else if (list)
    {
      // The entry shown, and the one the grid highlights as it opens.
      EXPECT_EQ(list->ShownEntry(), param->Int());
      EXPECT_EQ(list->GetHoveredIndex(), param->Int());
    }
    else
    {
      EXPECT_NEAR(control->GetValue(), param->GetNormalized(param->Value()), 1e-9);
    }
    fields += field || list;
  }
  EXPECT_EQ(fields, 14);

  auto* poly = static_cast<IIntValTextControlZK*>(mPlug->GetParamControl(kMaxVoiceCount));
  EXPECT_EQ(poly->GetInt(), 8);
  mDriver.mouseMove(mWindow, Centre(kMaxVoiceCount));
  mDriver.wheel(mWindow, Centre(kMaxVoiceCount), 1);
  mDriver.runFor(0.1);
  EXPECT_EQ(poly->GetInt(), 9);
  EXPECT_EQ(mPlug->GetParam(kMaxVoiceCount)->Int(), 9);
}
}  // namespace
