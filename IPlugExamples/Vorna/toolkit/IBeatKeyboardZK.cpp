#include "IBeatKeyboardZK.h"

#include "ControlLook.h"
#include "IGraphics.h"

#include <cmath>

namespace
{
constexpr int kLineAlpha = 100;
// A count paints its mark this faintly once per started unit, so higher counts look
// denser.
constexpr int kCountAlpha = 70;
// The white keys' boundaries that have a black key on them.
constexpr bool kBlackAtBoundary[BeatKeyboard::kWhiteKeysPerOctave] = {false, true, true, false, true, true, true};

void FillTimes(IGraphics* graphics, IRECT r, const IColor& color, double count)
{
  for (int i = 0; i < static_cast<int>(std::ceil(count)); ++i) graphics->FillIRect(&color, &r);
}

// The white keys left of a semitone's key: for a black key, the boundary it sits on.
int WhiteKeysBefore(int semitone)
{
  int white = 0;
  for (int s = 0; s < semitone; ++s) white += !BeatKeyboard::IsBlack(s);
  return white;
}
}  // namespace

// ---------------------------------------------------------------------------------------
IBeatKeyboardContainerZK::IBeatKeyboardContainerZK(IPlugBase* plug, int x, int y, int octaves, int whiteKeyWidth,
                                                   int blackKeyWidth, int blackKeyHeight, int height)
    : IControlZK(plug, IRECT(x, y, x + BeatKeyboard::kWhiteKeysPerOctave * whiteKeyWidth * octaves, y + height)),
      mOctaves(octaves),
      mWhiteKeyWidth(whiteKeyWidth),
      mBlackKeyWidth(blackKeyWidth),
      mBlackKeyHeight(blackKeyHeight)
{
}

void IBeatKeyboardContainerZK::SetKeyCount(int semitone, double count)
{
  if (semitone < 0 || semitone >= BeatKeyboard::kKeysPerOctave) return;
  mKeyCounts[semitone] = count;
  MarkDirty();
}

bool IBeatKeyboardContainerZK::Draw(IGraphics* graphics)
{
  const IRECT& r = mRect;
  const IColor c = CZK::WithAlpha(mColorLine, kLineAlpha);
  const IColor mark = CZK::WithAlpha(mColorHiFill, kCountAlpha);
  const int W = mWhiteKeyWidth, w = mBlackKeyWidth, h = mBlackKeyHeight;
  for (int j = 0; j < mOctaves; ++j)
  {
    int x = r.L + BeatKeyboard::kWhiteKeysPerOctave * W * j;
    for (int s = 0; s < BeatKeyboard::kKeysPerOctave; ++s)
    {
      const double count = mKeyCounts[s];
      if (BeatKeyboard::IsBlack(s))
      {
        const int left = static_cast<int>(x - w * 0.5);
        if (count > 0.0) FillTimes(graphics, IRECT(left, r.T + h - 3, left + w + 1, r.T + h + 2), mark, count);
        continue;
      }
      if (s != 0)
      {
        // E to F has no black key between them: that separator runs from the top.
        IRECT separator(x, s == 5 ? r.T : r.T + h + 2, x + 1, r.B - 1);
        graphics->FillIRect(&c, &separator);
      }
      if (count > 0.0) FillTimes(graphics, IRECT(x, r.B - 5, x + W + 1, r.B), mark, count);
      x += W;
    }
  }
  CZK::DrawSquareBrackets(graphics, r, c);
  return true;
}

// ---------------------------------------------------------------------------------------
IBeatKeyboardControlZK::IBeatKeyboardControlZK(IPlugBase* plug, int x, int y, int octaves, int keyWidth,
                                               int blackKeyWidth, int blackKeyHeight, int textSize)
    : IControlZK(plug, IRECT(x, y, x, y)),
      mOctaves(octaves),
      mKeyWidth(keyWidth),
      mBlackKeyWidth(blackKeyWidth),
      mBlackKeyHeight(blackKeyHeight)
{
  const int fieldHeight = static_cast<int>(std::lround(textSize * 1.05));
  const int whiteTop = y + blackKeyHeight + 2;
  const int width = BeatKeyboard::kWhiteKeysPerOctave * keyWidth * octaves;
  mRect = mBodyRECT = mTargetRect = IRECT(x, y, x + width, whiteTop + 2 * fieldHeight + 2);
  for (int o = 0; o < octaves; ++o)
    for (int s = 0; s < BeatKeyboard::kKeysPerOctave; ++s)
    {
      // Black keys hold their fields on the key, white keys below the black ones.
      const int boundary = x + (BeatKeyboard::kWhiteKeysPerOctave * o + WhiteKeysBefore(s)) * keyWidth;
      const int centre = BeatKeyboard::IsBlack(s) ? boundary : boundary + keyWidth / 2;
      const int top = BeatKeyboard::IsBlack(s) ? y + 1 : whiteTop;
      for (std::deque<IIntValTextControlZK>* row : {&mNumerators, &mDenominators})
      {
        IIntValTextControlZK& field = row->emplace_back(plug, 0, 0, -1, textSize, kTextBGNone,
                                                        IIntValTextControlZK::kNoLine, kVertical);
        const int rowTop = row == &mNumerators ? top : top + fieldHeight;
        field.PositionControlAt(centre - field.GetBodyRECT().W() / 2, rowTop);
      }
    }
}

bool IBeatKeyboardControlZK::HitSearch(int x, int y)
{
  ReleaseCapture();
  for (std::deque<IIntValTextControlZK>* row : {&mNumerators, &mDenominators})
    for (size_t i = 0; i < row->size(); ++i)
      if ((*row)[i].IsHit(x, y))
      {
        mCaptured = &(*row)[i];
        mCapturedIndex = static_cast<int>(i);
        return true;
      }
  return false;
}

void IBeatKeyboardControlZK::ReleaseCapture()
{
  mCaptured = nullptr;
  mCapturedIndex = -1;
  mLastX = mLastY = -1;
}

void IBeatKeyboardControlZK::EmitRatio(int key)
{
  const int denominator = mDenominators[key].GetInt();
  if (denominator <= 0) return;
  mSignal.Emit(key, static_cast<double>(mNumerators[key].GetInt()) / denominator);
}

void IBeatKeyboardControlZK::FollowField(bool report)
{
  if (!mCaptured || !mCaptured->IsDirty()) return;
  MarkDirty();
  if (report) EmitRatio(mCapturedIndex);
}

void IBeatKeyboardControlZK::OnMouseDown(int x, int y, IMouseMod* mod)
{
  if (!HitSearch(x, y)) return;
  mLastX = x;
  mLastY = y;
  mCaptured->OnMouseDown(x, y, mod);
  FollowField(false);
}

void IBeatKeyboardControlZK::OnMouseUp(int x, int y, IMouseMod* mod)
{
  if (mCaptured) mCaptured->OnMouseUp(x, y, mod);
  ReleaseCapture();
}

void IBeatKeyboardControlZK::OnMouseDrag(int x, int y, int, int, IMouseMod* mod)
{
  if (!mCaptured || (x == mLastX && y == mLastY)) return;
  const int dX = x - mLastX, dY = y - mLastY;
  mLastX = x;
  mLastY = y;
  mCaptured->OnMouseDrag(x, y, dX, dY, mod);
  FollowField(true);
}

void IBeatKeyboardControlZK::OnMouseDblClick(int x, int y, IMouseMod* mod)
{
  if (!HitSearch(x, y)) return;
  mCaptured->OnMouseDblClick(x, y, mod);
  FollowField(true);
}

void IBeatKeyboardControlZK::OnMouseWheel(int x, int y, IMouseMod* mod, int d)
{
  if (!mCaptured && !HitSearch(x, y)) return;
  mCaptured->OnMouseWheel(x, y, mod, d);
  FollowField(true);
}

void IBeatKeyboardControlZK::OnMouseOver(int x, int y, IMouseMod*)
{
  if (!mCaptured || mCaptured->IsHit(x, y)) return;
  mCaptured->OnMouseOut();
  if (mCaptured->IsDirty()) MarkDirty();
  ReleaseCapture();
}

void IBeatKeyboardControlZK::OnMouseOut()
{
  for (std::deque<IIntValTextControlZK>* row : {&mNumerators, &mDenominators})
    for (IIntValTextControlZK& field : *row) field.OnMouseOut();
  ReleaseCapture();
}

bool IBeatKeyboardControlZK::Draw(IGraphics* graphics)
{
  const IRECT& r = mRect;
  const IColor c = CZK::WithAlpha(mColorLine, kLineAlpha);
  const int yb = r.T + mBlackKeyHeight + 1;
  CZK::DrawSquareBrackets(graphics, r, c);
  for (int o = 0; o < mOctaves; ++o)
  {
    const int x0 = r.L + BeatKeyboard::kWhiteKeysPerOctave * mKeyWidth * o;
    for (int k = 0; k < BeatKeyboard::kWhiteKeysPerOctave; ++k)
    {
      const int x = x0 + k * mKeyWidth;
      const bool full = k == 0 || k == 3;
      graphics->DrawLine(&c, static_cast<float>(x), static_cast<float>(full ? r.T : yb), static_cast<float>(x),
                         static_cast<float>(r.B));
      if (!kBlackAtBoundary[k]) continue;
      IRECT key(static_cast<int>(x - mBlackKeyWidth * 0.5), r.T, static_cast<int>(x + mBlackKeyWidth * 0.5) + 1, yb);
      graphics->FillIRect(&mColorFill, &key);
    }
    for (int s = 0; s < BeatKeyboard::kKeysPerOctave; ++s)
    {
      const int i = o * BeatKeyboard::kKeysPerOctave + s;
      for (IIntValTextControlZK* field : {&mNumerators[i], &mDenominators[i]})
      {
        field->Draw(graphics);
        field->SetClean();
      }
    }
  }
  return true;
}
