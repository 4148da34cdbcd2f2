#include "CZK.h"
#include "IKnobControlMappedZK.h"
#include "toolkit_test_editor.h"

#include <cmath>
#include <memory>

using namespace tktest;

namespace
{
IBitmap KnobStrip(ToolkitEditor& e)
{
  return e.Strip(105, "knob.png", 121, [] { return MakeKnobStrip(46, 121); });
}

IBitmap SymKnobStrip(ToolkitEditor& e)
{
  return e.Strip(117, "knob_sym.png", 121, [] { return MakeKnobStrip(46, 121); });
}

// The editor's usual knob: 5 characters below the frame, centred, pulled up by 5.
IKnobMultiControlZK* EditorKnob(ToolkitEditor& e, int x, int y, int paramIdx, IBitmap bitmap, double gearing = 4.0,
                                EDirection direction = kVertical)
{
  return new IKnobMultiControlZK(&e.plug, x, y, paramIdx, &bitmap, 5, IControlZK::kLabelBelow,
                                 IControlZK::kLabelAlignCenter, 0, -5, direction, gearing);
}

IKnobControlMappedZK* CubicKnob(ToolkitEditor& e, int x, int y, int paramIdx, char mode)
{
  IBitmap bitmap = SymKnobStrip(e);
  return new IKnobControlMappedZK(
      &e.plug, x, y, paramIdx, &bitmap, [](double v) { return v * v * v; }, [](double v) { return std::cbrt(v); }, 2.0,
      2.0, mode);
}

double LastPushed(const ToolkitPlug& plug, int paramIdx)
{
  for (auto it = plug.changes.rbegin(); it != plug.changes.rend(); ++it)
    if (it->first == paramIdx) return it->second;
  return -1.0;
}
}  // namespace

TEST(Knob, DragGearingWheelStepsAndDoubleClickPushTheValue)
{
  ToolkitEditor e;
  IKnobMultiControlZK* knob = e.Attach(EditorKnob(e, 20, 20, kGain, KnobStrip(e), 1.0));
  knob->SetValueFromPlug(0.0);
  const IRECT frame = knob->GetBitmapRECT();
  // The value box hangs below the frame and redraws cover it, so the drag is geared to
  // the frame and the box together.
  const int length = knob->GetRECT()->H();
  ASSERT_EQ(length, frame.H() + 10);

  const int cx = (frame.L + frame.R) / 2, cy = (frame.T + frame.B) / 2;
  e.Press(cx, cy);
  e.DragTo(cx, cy - length / 2);
  EXPECT_NEAR(knob->GetValue(), (length / 2) / double(length), 1e-12);
  EXPECT_NEAR(LastPushed(e.plug, kGain), knob->GetValue(), 1e-12) << "a drag reaches the plug-in";
  const double before = knob->GetValue();
  for (IMouseMod fine : {IMouseMod(true, false, true), IMouseMod(true, false, false, true)})
  {
    const double start = knob->GetValue();
    e.DragTo(cx, cy - length / 2 - 10, fine);
    e.DragTo(cx, cy - length / 2, fine);
    EXPECT_NEAR(knob->GetValue(), start, 1e-12);
    e.DragTo(cx, cy - length / 2 - 10, fine);
    EXPECT_NEAR(knob->GetValue() - start, 10.0 / length / 10.0, 1e-12) << "Shift and Control gear down ten times";
    e.DragTo(cx, cy - length / 2, fine);
  }
  EXPECT_NEAR(knob->GetValue(), before, 1e-12);
  e.DragTo(cx, cy - 3 * length);
  EXPECT_EQ(knob->GetValue(), 1.0) << "clamped";
  e.Release(cx, cy - 3 * length);

  // Horizontal knobs measure rightward travel against the width.
  IKnobMultiControlZK* wide = e.Attach(EditorKnob(e, 200, 20, kPan, KnobStrip(e), 2.0, kHorizontal));
  wide->SetValueFromPlug(0.5);
  const int w = wide->GetRECT()->W();
  e.Press(210, 30);
  e.DragTo(210 + w / 2, 40);
  EXPECT_NEAR(wide->GetValue(), 0.5 + (w / 2) / double(w) / 2.0, 1e-12);
  e.Release(210 + w / 2, 40);

  // Wheel: 0.01 a notch, 0.001 with Shift or Control.
  knob->SetValueFromPlug(0.5);
  e.Wheel(cx, cy, 3);
  EXPECT_NEAR(knob->GetValue(), 0.53, 1e-12);
  e.Wheel(cx, cy, -3, IMouseMod(false, false, true));
  EXPECT_NEAR(knob->GetValue(), 0.527, 1e-12);
  e.Wheel(cx, cy, 2, IMouseMod(false, false, false, true));
  EXPECT_NEAR(knob->GetValue(), 0.529, 1e-12);
  EXPECT_NEAR(LastPushed(e.plug, kGain), 0.529, 1e-12);

  // Double click: back to the first value the plug-in gave, pushed.
  e.DoubleClick(cx, cy);
  EXPECT_EQ(knob->GetValue(), 0.0);
  EXPECT_EQ(LastPushed(e.plug, kGain), 0.0);

  // Before the plug-in has given any value there is no default: nothing changes.
  IKnobMultiControlZK* fresh = e.Attach(EditorKnob(e, 120, 120, kFreq, KnobStrip(e)));
  fresh->SetValue(0.7);
  e.plug.changes.clear();
  e.DoubleClick(130, 130);
  EXPECT_EQ(fresh->GetValue(), 0.7);
  EXPECT_TRUE(e.plug.changes.empty());
}

TEST(Knob, ValueBoxLayoutExtensionAndTextEntry)
{
  ToolkitEditor e;
  std::vector<std::string> log;
  SignalRecorder rec("knob", &log);
  IKnobMultiControlZK* knob = e.Attach(EditorKnob(e, 40, 30, kFreq, KnobStrip(e)));
  rec.Listen(*knob);
  knob->SetValueFromPlug(knob->GetParam()->GetNormalized());
  const IRECT frame = knob->GetBitmapRECT();
  // 5 characters at size 10: (5 + 1) x 10 / 2 wide, centred under the frame, starting at
  // its bottom edge (the gap of 5 undone by the offset of -5).
  const IRECT box = knob->GetValueTextRECT();
  EXPECT_EQ(box.W(), 30);
  EXPECT_EQ(box.H(), 10);
  EXPECT_EQ(box.T, frame.B);
  EXPECT_EQ(box.L, frame.L + (frame.W() - 30) / 2);
  EXPECT_EQ(*knob->GetTargetRECT(), frame);

  // The first click shows the box without changing the value or pushing anything.
  const double value = knob->GetValue();
  e.plug.changes.clear();
  e.Click(frame.L + 5, frame.T + 5);
  EXPECT_TRUE(knob->mValueShown);
  EXPECT_EQ(knob->GetValue(), value);
  EXPECT_TRUE(e.plug.changes.empty());
  EXPECT_EQ(*knob->GetTargetRECT(), IRECT(frame.L, frame.T, frame.R, box.B)) << "the target reaches over the box";

  // A click on the body while the box shows opens nothing; one in the box opens entry.
  e.Click(frame.L + 5, frame.T + 5);
  EXPECT_FALSE(e.gui->openEntry.has_value());
  e.Click(box.L + 2, box.T + 2);
  ASSERT_TRUE(e.gui->openEntry.has_value());
  EXPECT_EQ(e.gui->openEntry->rect, box);
  e.gui->ClearEntry();
  e.gui->Type("1000");
  e.gui->PressReturn();
  EXPECT_NEAR(knob->GetParam()->Value(), 1000.0, 1e-9);
  EXPECT_NEAR(LastPushed(e.plug, kFreq), knob->GetValue(), 1e-12);

  // Leaving hides the box, collapses the target and tells the tooltip, box shown or not.
  log.clear();
  knob->OnMouseOut();
  knob->OnMouseOut();
  EXPECT_FALSE(knob->mValueShown);
  EXPECT_EQ(*knob->GetTargetRECT(), frame);
  EXPECT_EQ(log, (std::vector<std::string>{"knob: hide 5", "knob: hide 5"}));

  // A right click only reports; a knob that never shows its value ignores left clicks.
  e.Press(frame.L + 3, frame.T + 4, IMouseMod(false, true));
  EXPECT_EQ(log.back(), "knob: right 5,43,34");
  EXPECT_FALSE(knob->mValueShown);
  knob->mShowValue = false;
  e.Click(frame.L + 5, frame.T + 5);
  EXPECT_FALSE(knob->mValueShown);

  // Moving the knob moves the box and the saved target with it.
  knob->mShowValue = true;
  knob->ShiftControlBy(10, -5);
  EXPECT_EQ(knob->GetValueTextRECT(), CZK::Moved(box, 10, -5));
  e.Click(frame.L + 15, frame.T);
  knob->OnMouseOut();
  EXPECT_EQ(*knob->GetTargetRECT(), CZK::Moved(frame, 10, -5));

  // The editor's extra offset moves the laid-out box, and redraws still cover it.
  knob->SetValueTextOffset(-5, -4);
  EXPECT_EQ(knob->GetValueTextRECT(), CZK::Moved(box, 5, -9));
  EXPECT_EQ(knob->GetRECT()->Union(knob->GetValueTextRECT()), *knob->GetRECT());
}

TEST(Knob, ThinTargetsAreWidenedAndBoxesOnEverySide)
{
  ToolkitEditor e;
  // A strip of 8 x 4 frames with the box to the right: the extension keeps the target
  // at least 10 pixels high and reaches the box's right edge.
  IBitmap tiny = e.Strip(900, "tiny.png", 2, [] { return MakeKnobStrip(8, 2); });
  tiny.H = 8, tiny.W = 8;  // frames of 8 x 4
  auto* knob = e.Attach(new IKnobMultiControlZK(&e.plug, 100, 100, kGain, &tiny, 3, IControlZK::kLabelRight,
                                                 IControlZK::kLabelAlignEnd, 2, 1, kVertical, 4.0));
  const IRECT box = knob->GetValueTextRECT();
  // 3 characters: 20 wide; right of the frame by 2; end-aligned: down by 4 - 10.
  EXPECT_EQ(box, IRECT(110, 95, 130, 105));
  knob->ExtendTargetAreaWithText();
  EXPECT_EQ(*knob->GetTargetRECT(), IRECT(100, 100, 130, 110));
  knob->CollapseTargetArea();
  EXPECT_EQ(*knob->GetTargetRECT(), IRECT(100, 100, 108, 104));

  auto* above = e.Attach(new IKnobMultiControlZK(&e.plug, 100, 100, kGain, &tiny, 3, IControlZK::kLabelAbove,
                                                  IControlZK::kLabelAlignStart, 1, 2, kVertical, 4.0));
  EXPECT_EQ(above->GetValueTextRECT(), IRECT(101, 100 - 10 - 2 - 5, 121, 100 - 2 - 5));
  auto* left = e.Attach(new IKnobMultiControlZK(&e.plug, 100, 100, kGain, &tiny, 3, IControlZK::kLabelLeft,
                                                 IControlZK::kLabelAlignCenter, 1, 2, kVertical, 4.0));
  // Centred on a 4-high frame: floor((4 - 10) / 2) = -3.
  EXPECT_EQ(left->GetValueTextRECT(), IRECT(79, 99, 99, 109));
  left->ExtendTargetAreaWithText();
  EXPECT_EQ(*left->GetTargetRECT(), IRECT(79, 100, 108, 110));
}

TEST(MappedKnob, MapsBothWaysMirrorsAndStepsTowardsTheCentre)
{
  ToolkitEditor e;
  IKnobControlMappedZK* mirrored = e.Attach(CubicKnob(e, 20, 20, kPan, 's'));
  IKnobControlMappedZK* plain = e.Attach(CubicKnob(e, 120, 20, kGain, 'n'));
  const auto cube = [](double v) { return v * v * v; };
  const auto root = [](double v) { return std::cbrt(v); };
  for (double x = 0.0; x <= 1.0; x += 1.0 / 64)
  {
    EXPECT_NEAR(mirrored->Map(mirrored->Map(x, cube), root), x, 1e-12) << x;
    EXPECT_NEAR(plain->Map(plain->Map(x, cube), root), x, 1e-12) << x;
  }
  EXPECT_EQ(plain->Map(0.5, cube), 0.125);
  EXPECT_EQ(mirrored->Map(0.5, cube), 0.5);
  EXPECT_EQ(mirrored->Map(0.0, [](double v) { return v * 0.5; }), 0.25);
  EXPECT_EQ(mirrored->Map(0.75, cube), 0.5625);
  EXPECT_THROW(mirrored->Map(0.3, std::function<double(double)>()), std::bad_function_call);

  // Values from the plug-in set the position through the inverse; the frame follows it.
  mirrored->SetValueFromPlug(0.5);
  EXPECT_EQ(mirrored->GetPosition(), 0.5);
  EXPECT_EQ(mirrored->GetDefaultValue(), 0.5);
  mirrored->SetValueFromPlug(0.5625);
  EXPECT_NEAR(mirrored->GetPosition(), 0.75, 1e-12);
  mirrored->SetValueFromUserInput(0.4375);
  EXPECT_NEAR(mirrored->GetPosition(), 0.25, 1e-12);
  EXPECT_NEAR(LastPushed(e.plug, kPan), 0.4375, 1e-12);

  // Shift+wheel down from 0.5005 with factor 2: 0.50025 would land within 0.001 above the
  // centre, so it is mirrored below it. Down again moves away, by factor / 2 x the distance.
  mirrored->SetValueFromPlug(0.5005);
  e.Wheel(30, 30, -1, IMouseMod(false, false, true));
  EXPECT_NEAR(mirrored->GetValue(), 0.49975, 1e-12);
  EXPECT_TRUE(mirrored->mValueShown);
  e.Wheel(30, 30, -1, IMouseMod(false, false, true));
  EXPECT_NEAR(mirrored->GetValue(), 0.49975 - 2.0 * 0.5 * 0.00025, 1e-12);
  e.Wheel(30, 30, 1, IMouseMod(false, false, true));
  EXPECT_NEAR(mirrored->GetValue(), 0.50025, 1e-12) << "0.49975 would be too near the centre";
  // Up towards the centre from just below it: mirrored above.
  mirrored->SetValueFromPlug(0.4992);
  mirrored->StepMappedVal(2.0, 1);
  EXPECT_NEAR(mirrored->GetValue(), 0.5004, 1e-12);
  EXPECT_NEAR(mirrored->Map(mirrored->GetPosition(), cube), 0.5004, 1e-12);

  // Plain and Control wheel turns move the position, not the value.
  mirrored->SetValueFromPlug(0.5);
  e.Wheel(30, 30, 2);
  EXPECT_NEAR(mirrored->GetPosition(), 0.52, 1e-12);
  EXPECT_NEAR(mirrored->GetValue(), mirrored->Map(0.52, cube), 1e-15);
  e.Wheel(30, 30, -5, IMouseMod(false, false, false, true));
  EXPECT_NEAR(mirrored->GetPosition(), 0.515, 1e-12);

  // A drag moves the position; Shift does not gear it down, Control does.
  const int length = mirrored->GetRECT()->H();
  mirrored->SetValueFromPlug(0.5);
  e.Press(30, 30);
  e.DragTo(30, 30 - length / 4, IMouseMod(true, false, true));
  EXPECT_NEAR(mirrored->GetPosition(), 0.5 + (length / 4) / double(length) / 4.0, 1e-12);
  const double position = mirrored->GetPosition();
  e.DragTo(30, 30 - length / 4 - 8, IMouseMod(true, false, false, true));
  EXPECT_NEAR(mirrored->GetPosition(), position + 8.0 / length / 40.0, 1e-12);
  e.Release(30, 30 - length / 4 - 8);
  EXPECT_NEAR(LastPushed(e.plug, kPan), mirrored->Map(mirrored->GetPosition(), cube), 1e-12);

  // Double click: the default value and the position that gives it.
  mirrored->SetValueFromUserInput(0.9);
  e.DoubleClick(30, 30);
  EXPECT_EQ(mirrored->GetValue(), 0.5);
  EXPECT_EQ(mirrored->GetPosition(), 0.5);
  EXPECT_EQ(LastPushed(e.plug, kPan), 0.5);
  IKnobControlMappedZK* fresh = e.Attach(CubicKnob(e, 220, 20, kFreq, 's'));
  fresh->SetValueFromUserInput(0.3);
  e.DoubleClick(230, 30);
  EXPECT_EQ(fresh->GetValue(), 0.3) << "no default yet: nothing happens";
  fresh->SetValueFromPlug(0.6);
  fresh->SetValueFromPlug(std::nan(""));
  EXPECT_EQ(fresh->GetPosition(), 0.0) << "not a number: the low end";
}

TEST(Knob, ValueBoxShowsTheDisplayTextAndLeavesNoTraceWhenHidden)
{
  ToolkitEditor e;
  IKnobMultiControlZK* knob = e.Attach(EditorKnob(e, 60, 40, kFreq, KnobStrip(e)));
  IKnobControlMappedZK* mapped = e.Attach(CubicKnob(e, 160, 40, kPan, 's'));
  knob->SetValueFromPlug(knob->GetParam()->GetNormalized());
  mapped->SetValueFromPlug(0.5);
  e.FramesUntilClean();
  const std::vector<unsigned int> before = e.ScreenPixels();
  e.Snapshot("toolkit_knobs");

  // The mapped knob's frame follows its position: at the centre, the strip's middle frame.
  mapped->SetValueFromPlug(mapped->Map(0.25, [](double v) { return v * v * v; }));
  e.FramesUntilClean();
  EXPECT_NE(e.ScreenPixels(), before);
  mapped->SetValueFromPlug(0.5);

  e.MoveTo(70, 50);
  e.Click(70, 50);
  e.FramesUntilClean();
  e.Snapshot("toolkit_knob_value");
  const IRECT box = knob->GetValueTextRECT();
  EXPECT_GT(CountInk(e, box, 0xFFFFFF), 2) << "the display text in white";
  EXPECT_NE(e.ScreenPixels(), before);

  // Whatever the editor redraws while the box shows, hiding it restores the frame.
  e.gui->SetAllControlsDirty();
  e.FramesUntilClean();
  e.MoveTo(300, 200);
  e.FramesUntilClean();
  EXPECT_FALSE(knob->mValueShown);
  EXPECT_EQ(e.ScreenPixels(), before);
}
