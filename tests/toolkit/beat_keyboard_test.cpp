#include "IBeatKeyboardZK.h"
#include "toolkit_test_editor.h"

using namespace tktest;

namespace
{
IRECT Centre(const IIntValTextControlZK& field)
{
  const IRECT& r = field.GetBodyRECT();
  return IRECT((r.L + r.R) / 2, (r.T + r.B) / 2, 0, 0);
}
}  // namespace

TEST(BeatKeyboard, ForwardsTheMouseToItsFieldsAndReportsRatios)
{
  ToolkitEditor e;
  std::vector<std::string> log;
  SignalRecorder rec("kb", &log);
  auto* frame = e.Attach(new IBeatKeyboardContainerZK(&e.plug, 10, 10, 2, 20, 14, 30, 70));
  auto* keys = e.Attach(new IBeatKeyboardControlZK(&e.plug, 10, 10, 2, 20, 14, 30, 12));
  keys->mSignal.Connect(&rec, &SignalRecorder::Value);
  ASSERT_EQ(keys->NKeys(), 24);
  EXPECT_EQ(keys->GetRECT()->W(), 2 * 7 * 20);
  // Black keys' fields sit on the boundary between their white neighbours.
  EXPECT_EQ(Centre(keys->Numerator(1)).L, 10 + 20);
  EXPECT_EQ(Centre(keys->Numerator(6)).L, 10 + 4 * 20);
  EXPECT_EQ(Centre(keys->Denominator(2)).L, 10 + 20 + 10);

  // A wheel turn on the F key's numerator: 2 / 1, as a double.
  const IRECT f = Centre(keys->Numerator(5));
  e.Wheel(f.L, f.T, 1);
  EXPECT_EQ(keys->Numerator(5).GetInt(), 2);
  EXPECT_EQ(log, (std::vector<std::string>{"kb: value 5 2.000000"}));
  // The next octave's C sharp denominator: 1 / 2 divides as doubles, not to 0.
  const IRECT cs = Centre(keys->Denominator(13));
  e.MoveTo(cs.L, cs.T);  // leaving the F field lets the wheel find the next one
  e.Wheel(cs.L, cs.T, 1);
  EXPECT_EQ(log.back(), "kb: value 13 0.500000");

  // A drag that wanders onto the next key stays with the field the press found until the
  // mouse leaves that field.
  const IRECT d = Centre(keys->Numerator(2));
  e.Press(d.L, d.T);
  EXPECT_EQ(keys->CapturedField(), &keys->Numerator(2));
  e.DragTo(d.L + 22, d.T - 6);
  EXPECT_EQ(keys->CapturedField(), &keys->Numerator(2));
  EXPECT_GT(keys->Numerator(2).GetInt(), 1);
  EXPECT_EQ(keys->Numerator(4).GetInt(), 1);
  EXPECT_EQ(log.back().rfind("kb: value 2 ", 0), 0u);
  e.MoveTo(d.L + 22, d.T - 6);
  EXPECT_EQ(keys->CapturedField(), nullptr);
  e.Release(d.L + 22, d.T - 6);

  // Denominators run from 1, so every ratio divides; a double click goes back.
  keys->Denominator(7).SetQuantized(0);
  EXPECT_EQ(keys->Denominator(7).GetInt(), 1);
  e.MoveTo(f.L, f.T);
  e.DoubleClick(f.L, f.T);
  EXPECT_EQ(keys->Numerator(5).GetInt(), 1);
  EXPECT_EQ(log.back(), "kb: value 5 1.000000");

  frame->SetKeyCount(0, 1.0);
  frame->SetKeyCount(6, 2.5);
  e.FramesUntilClean();
  e.Snapshot("toolkit_beat_keyboard");
  // E and F have no black key between them: their boundary runs from the top edge.
  EXPECT_NE(e.ScreenPixel(10 + 3 * 20, 12), e.ScreenPixel(10 + 3 * 20 + 3, 12));
}
