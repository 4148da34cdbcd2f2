#include "IButtonTextControlZK.h"
#include "ICheckBoxControlWSignal.h"
#include "ISwitchControlZK.h"
#include "toolkit_test_editor.h"

using namespace tktest;

namespace
{
unsigned int Grey(int frame)
{
  const unsigned int v = 40 + 40 * frame;
  return (v << 16) | (v << 8) | v;
}

// n frames of w x h, frame i filled in grey level 40 + 40 x i.
LICE_IBitmap* GreyStrip(int w, int h, int n)
{
  auto* strip = new LICE_MemBitmap(w, h * n);
  for (int i = 0; i < n; ++i) LICE_FillRect(strip, 0, i * h, w, h, 0xFF000000u | Grey(i), 1.0f, BLEND_COPY);
  return strip;
}

}  // namespace

TEST(Switch, StepsThroughItsFramesWrapsAndReports)
{
  ToolkitEditor e;
  std::vector<std::string> log;
  SignalRecorder rec("sw", &log);
  IBitmap three = e.Strip(110, "hardsync.png", 3, [] { return GreyStrip(20, 12, 3); });
  IBitmap one = e.Strip(901, "one.png", 1, [] { return GreyStrip(20, 12, 1); });
  auto* sw = e.Attach(new ISwitchControlWSignalZK(&e.plug, 10, 10, kGain, &three));
  auto* single = e.Attach(new ISwitchControlZK(&e.plug, 60, 10, kPan, &one));
  rec.Listen(*sw);
  sw->mSignal.Connect(&rec, &SignalRecorder::Value);
  EXPECT_EQ(*sw->GetRECT(), IRECT(10, 10, 10 + three.FrameWidth(), 10 + three.FrameHeight()));

  std::vector<double> seen;
  for (int i = 0; i < 4; ++i) e.Click(15, 15), seen.push_back(sw->GetValue());
  EXPECT_EQ(seen, (std::vector<double>{0.5, 1.0, 0.0, 0.5}));
  EXPECT_EQ(e.plug.changes.back(), std::make_pair(int(kGain), 0.5));
  e.DoubleClick(15, 15);
  EXPECT_EQ(sw->GetValue(), 1.0) << "a fast second click steps again";
  for (int i = 0; i < 2; ++i) e.Click(65, 15), seen.push_back(single->GetValue());
  EXPECT_EQ(seen.back(), 0.0);
  EXPECT_EQ(seen[seen.size() - 2], 1.0) << "one frame steps by 1";

  // Just below 1 plus a small step stays: the wrap is above 1.001 only.
  IBitmap fine(three.mBitmap, three.W, three.H * 1001 / 3, 1001);
  ISwitchControlZK many(&e.plug, 0, 0, -1, &fine);
  many.SetValue(0.9995);
  IMouseMod left(true);
  many.OnMouseDown(1, 1, &left);
  EXPECT_EQ(many.GetValue(), 1.0) << "not wrapped, clamped";

  // A right click reports the click, then the unchanged value; typed values report too.
  log.clear();
  e.Press(12, 12, IMouseMod(false, true));
  sw->SetValueFromUserInput(1.0);
  sw->SetValueFromUserInput(0.5);
  EXPECT_EQ(log, (std::vector<std::string>{"sw: right 0,12,12", "sw: value 0 1.000000", "sw: value 0 1.000000",
                                           "sw: value 0 0.500000"}));

  // The frame drawn is the value's.
  e.FramesUntilClean();
  e.Snapshot("toolkit_switch");
  if (!std::getenv("VORNA_IMAGE_DIR")) { EXPECT_EQ(e.ScreenPixel(15, 15), Grey(1)); }
}

TEST(Switch, ContactIsOnOnlyWhileHeld)
{
  ToolkitEditor e;
  IBitmap two = e.Strip(111, "MIDIpanic.png", 2, [] { return GreyStrip(30, 20, 2); });
  auto* contact = e.Attach(new IContactControlZK(&e.plug, 10, 10, kOn, &two));
  e.Press(15, 15);
  EXPECT_EQ(contact->GetValue(), 1.0);
  e.FramesUntilClean();
  if (!std::getenv("VORNA_IMAGE_DIR")) { EXPECT_EQ(e.ScreenPixel(15, 15), Grey(1)); }
  e.Release(15, 15);
  EXPECT_EQ(contact->GetValue(), 0.0);
  EXPECT_EQ(e.plug.changes, (std::vector<std::pair<int, double>>{{kOn, 1.0}, {kOn, 0.0}}));
}

TEST(TextButton, NamesSizeTheBoxAndPressesFollowTheirKind)
{
  ToolkitEditor e;
  std::vector<std::string> log;
  SignalRecorder rec("b", &log);
  auto* contact = e.Attach(new IContactTextControlWSignalZK(&e.plug, 10, 10, kOn, {}, 12, kTextBGBrackets));
  auto* button = e.Attach(new IButtonTextWithSignal(&e.plug, 10, 40, -149, {"?"}, 16, kTextBGBrackets));
  auto* three = e.Attach(new IButtonTextControlZK(&e.plug, 10, 70, -1, {"one", "three", "x"}, 10, kTextBGFill));
  EXPECT_EQ(contact->GetNames(), (std::vector<std::string>{"OFF", "ON"}));
  EXPECT_EQ(*contact->GetRECT(), IRECT(10, 10, 34, 23)) << "12 x (3 + 1) / 2 wide, 12 x 1.1 high";
  EXPECT_EQ(button->GetNames(), (std::vector<std::string>{"?", "?"}));
  EXPECT_EQ(three->GetNames(), (std::vector<std::string>{"one", "three"}));
  EXPECT_EQ(three->GetBodyRECT(), IRECT(10, 70, 40, 81));
  rec.Listen(*contact);
  contact->mSignal.Connect(&rec, &SignalRecorder::Value);
  button->mSignal.Connect(&rec, &SignalRecorder::Value);

  e.FramesUntilClean();
  const std::vector<unsigned int> before = e.ScreenPixels();
  const IRECT box = *contact->GetRECT();

  // The contact: on and filled while held; a mouse-out releases it without a push.
  e.Press(15, 15);
  EXPECT_TRUE(contact->IsPressed());
  e.FramesUntilClean();
  e.Snapshot("toolkit_text_contact_pressed");
  EXPECT_GT(CountColor(e, box, Rgb(contact->GetColorHiFill())), box.W() * box.H() / 3);
  e.plug.changes.clear();
  contact->OnMouseOut();
  EXPECT_FALSE(contact->IsPressed());
  EXPECT_EQ(contact->GetValue(), 0.0);
  EXPECT_TRUE(e.plug.changes.empty());
  e.Release(15, 15);
  EXPECT_TRUE(e.plug.changes.empty()) << "already released";
  e.FramesUntilClean();
  EXPECT_EQ(e.ScreenPixels(), before);

  // The button toggles and stays; each press reports.
  e.Click(15, 45);
  EXPECT_EQ(button->GetValue(), 1.0);
  EXPECT_TRUE(button->IsPressed());
  button->OnMouseOut();
  EXPECT_TRUE(button->IsPressed());
  e.Click(15, 45);
  EXPECT_EQ(button->GetValue(), 0.0);
  e.Press(15, 45, IMouseMod(false, true));
  EXPECT_EQ(log, (std::vector<std::string>{"b: value 3 1.000000", "b: hide 3", "b: value -149 1.000000",
                                           "b: value -149 0.000000", "b: value -149 0.000000"}));
  e.FramesUntilClean();
  EXPECT_EQ(e.ScreenPixels(), before);

  // Values from the plug-in are quantised; one that differs from the shown one is
  // pushed back, so the plug-in holds what is shown.
  IButtonTextControlZK onOff(&e.plug, 200, 10, kOn, {"off", "on"}, 12, kTextBGFill);
  e.plug.changes.clear();
  onOff.SetValueFromPlug(0.7);
  EXPECT_EQ(onOff.GetValue(), 1.0);
  EXPECT_EQ(onOff.GetDefaultValue(), 0.7);
  onOff.SetValueFromPlug(0.2);
  EXPECT_EQ(onOff.GetValue(), 0.0);
  EXPECT_FALSE(onOff.IsPressed());
  EXPECT_EQ(e.plug.changes, (std::vector<std::pair<int, double>>{{kOn, 1.0}, {kOn, 0.0}}));
  onOff.SetValueFromUserInput(0.6);
  EXPECT_EQ(onOff.GetValue(), 1.0);
  EXPECT_TRUE(onOff.IsPressed());
}

TEST(CheckBox, BarsInnerSquareAndSignal)
{
  ToolkitEditor e;
  std::vector<std::string> log;
  SignalRecorder rec("cb", &log);
  auto* box = e.Attach(new ICheckBoxControlWSignal(&e.plug, IRECT(100, 100, 116, 116), kOn));
  box->mSignal.Connect(&rec, &SignalRecorder::Value);
  rec.Listen(*box);
  e.FramesUntilClean();
  const unsigned int white = 0xFFFFFF;
  EXPECT_EQ(CountColor(e, IRECT(100, 100, 116, 116), white), 16 * 16 - 10 * 10) << "bars 3 thick";
  e.Click(108, 108);
  e.FramesUntilClean();
  e.Snapshot("toolkit_checkbox");
  EXPECT_EQ(CountColor(e, IRECT(106, 106, 110, 110), white), 16);
  EXPECT_EQ(CountColor(e, IRECT(100, 100, 116, 116), white), 16 * 16 - 10 * 10 + 16) << "inner square 6 to 10";
  e.Click(108, 108);
  e.Press(108, 108, IMouseMod(false, true));
  EXPECT_EQ(log, (std::vector<std::string>{"cb: value 3 1.000000", "cb: value 3 0.000000", "cb: right 3,108,108"}));
  EXPECT_EQ(e.plug.changes, (std::vector<std::pair<int, double>>{{kOn, 1.0}, {kOn, 0.0}}));
}
