#pragma once

// A drawn piano-style keyboard of frequency ratios. IBeatKeyboardContainerZK is the
// passive frame: white and black keys, with keys that carry a count marked, denser
// the higher the count. IBeatKeyboardControlZK is the active strip: every key holds a
// numerator field over a denominator field, the mouse goes to the field under it, and
// after each change the key's ratio is reported as (key index, numerator /
// denominator). Main thread only.

#include "IControlZK.h"
#include "IIntValTextControlZK.h"

#include <deque>
#include <vector>

namespace BeatKeyboard
{
constexpr int kKeysPerOctave = 12;
constexpr int kWhiteKeysPerOctave = 7;
// Semitones 1, 3, 6, 8 and 10.
constexpr int kBlackKeyMask = 1354;

inline bool IsBlack(int semitone)
{
  return (kBlackKeyMask >> semitone) & 1;
}
}  // namespace BeatKeyboard

class IBeatKeyboardContainerZK : public IControlZK
{
public:
  // octaves side by side from (x, y), each 7 white keys wide.
  IBeatKeyboardContainerZK(IPlugBase* plug, int x, int y, int octaves, int whiteKeyWidth, int blackKeyWidth,
                           int blackKeyHeight, int height);

  void OnMouseDown(int, int, IMouseMod*) override {}
  void OnMouseUp(int, int, IMouseMod*) override {}
  void OnMouseDrag(int, int, int, int, IMouseMod*) override {}
  void OnMouseWheel(int, int, IMouseMod*, int) override {}
  void OnMouseOut() override { IControlZK::OnMouseOut(); }
  bool Draw(IGraphics* graphics) override;

  // The count of a semitone (0..11) of every octave; 0 marks nothing.
  void SetKeyCount(int semitone, double count);
  double GetKeyCount(int semitone) const { return mKeyCounts[semitone]; }

private:
  std::vector<double> mKeyCounts = std::vector<double>(BeatKeyboard::kKeysPerOctave, 0.0);
  int mOctaves;
  int mWhiteKeyWidth, mBlackKeyWidth, mBlackKeyHeight;
};

class IBeatKeyboardControlZK : public IControlZK
{
public:
  // octaves side by side from (x, y); the fields' numbers are drawn at textSize.
  IBeatKeyboardControlZK(IPlugBase* plug, int x, int y, int octaves, int keyWidth, int blackKeyWidth,
                         int blackKeyHeight, int textSize);

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseUp(int x, int y, IMouseMod* mod) override;
  // Stays with the field the press found until the mouse leaves it.
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override;
  void OnMouseOver(int x, int y, IMouseMod* mod) override;
  void OnMouseOut() override;
  bool Draw(IGraphics* graphics) override;

  int NKeys() const { return static_cast<int>(mNumerators.size()); }
  IIntValTextControlZK& Numerator(int key) { return mNumerators[key]; }
  IIntValTextControlZK& Denominator(int key) { return mDenominators[key]; }
  // The field the mouse works on, or null.
  IIntValTextControlZK* CapturedField() const { return mCaptured; }

  // (key index, numerator / denominator); nothing while the denominator is not positive.
  Gallant::Signal2<int, double> mSignal;

private:
  // The first field hit, numerators before denominators; captured with its key index.
  bool HitSearch(int x, int y);
  void ReleaseCapture();
  // Marks this control dirty when the field is, and reports the captured key's ratio.
  void FollowField(bool report);
  void EmitRatio(int key);

  int mOctaves;
  int mKeyWidth, mBlackKeyWidth, mBlackKeyHeight;
  // Fields never move once made, so the capture may point into the rows.
  std::deque<IIntValTextControlZK> mNumerators;
  std::deque<IIntValTextControlZK> mDenominators;
  IIntValTextControlZK* mCaptured = nullptr;
  int mCapturedIndex = -1;
  int mLastX = -1, mLastY = -1;
};
