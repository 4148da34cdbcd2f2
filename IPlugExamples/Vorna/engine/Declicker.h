#pragma once

// Smooths a step in one oscillator's stereo output after a setting changed the
// signal path of a sounding voice (filter switched, pass type, modulation tap).
// For L samples the output moves from what it last was towards the new signal:
// out = w x + (1 - w) previous out, with w = 1/L, 2/L, ..., as the oscillator's
// own crossfade does. The previous output is tracked on every sample, so a fade
// always starts from what was really heard; a cleared memory fades in from silence.
class Declicker
{
public:
  // Starts a fade over length samples; a length of 0 or less cancels a running one.
  void Start(int length)
  {
    if (length <= 0)
    {
      Cancel();
      return;
    }
    mActive = true;
    mCounter = 1;
    mLength = length;
    mStep = 1.0 / length;
  }

  void Cancel()
  {
    mActive = false;
    mStep = 1.0;
  }

  // Forgets the previous output (the next fade starts from silence).
  void ClearMemory()
  {
    mLastLeft = 0.0;
    mLastRight = 0.0;
  }

  // Fades the pair in place while active and remembers it.
  void Process(double* pair)
  {
    if (mActive)
    {
      const double w = mCounter * mStep;
      pair[0] = pair[0] * w + (1.0 - w) * mLastLeft;
      pair[1] = pair[1] * w + (1.0 - w) * mLastRight;
      if (++mCounter >= mLength) mActive = false;
    }
    mLastLeft = pair[0];
    mLastRight = pair[1];
  }

  bool IsActive() const { return mActive; }
  int GetLength() const { return mLength; }
  int GetCounter() const { return mCounter; }
  double GetStep() const { return mStep; }

private:
  bool mActive = false;
  int mCounter = 0;
  int mLength = 0;
  double mStep = 1.0;
  double mLastLeft = 0.0;
  double mLastRight = 0.0;
};
