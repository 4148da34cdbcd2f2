#include "Tuner.h"

#include <cmath>

namespace
{
// factor^n for n >= 0 by repeated multiplication, eight factors at a time, so
// that the spans come out identical on every build.
double IntegerPower(double factor, int n)
{
  const double f2 = factor * factor;
  const double f4 = f2 * f2;
  const double f8 = f4 * f4;
  double result = 1.0;
  for (; n >= 8; n -= 8) result *= f8;
  for (; n > 0; --n) result *= factor;
  return result;
}
}  // namespace

Tuner::Tuner()
{
  for (int note = 0; note < kNumNotes; ++note)
  {
    mNoteFrequencies[note] = mReferenceFrequency * std::pow(2.0, (note - kReferenceNote) / 12.0);
  }
  CalculateSharpFlatNotesFreqFactors();
}

void Tuner::CalculateSharpFlatNotesFreqFactors()
{
  mSharpFactor = std::pow(2.0, mSemitoneInOctaves);
  mFlatFactor = std::pow(2.0, -mSemitoneInOctaves);
  CalcMidiPitchWheelFactors();
}

void Tuner::CalcMidiPitchWheelFactors()
{
  if (mPitchWheelRange < 1)
  {
    mPitchWheelDownSpan = 0.0;
    mPitchWheelUpSpan = 0.0;
    return;
  }
  mPitchWheelDownSpan = 1.0 - IntegerPower(mFlatFactor, mPitchWheelRange);
  mPitchWheelUpSpan = IntegerPower(mSharpFactor, mPitchWheelRange) - 1.0;
}

void Tuner::SetTuneRange(int osc, int semitones)
{
  mTune[osc].upSpan = std::pow(mSharpFactor, semitones) - 1.0;
  mTune[osc].downSpan = std::pow(mFlatFactor, semitones) - 1.0;
  UpdateTuneFactor(osc);
}

double Tuner::SetTuneValue(int osc, double value)
{
  mTune[osc].value = value;
  UpdateTuneFactor(osc);
  return mTune[osc].factor;
}

void Tuner::UpdateTuneFactor(int osc)
{
  OscillatorTune& tune = mTune[osc];
  if (tune.value > 0.0)
    tune.factor = 1.0 + tune.value * tune.upSpan;
  else if (tune.value < 0.0)
    tune.factor = 1.0 - tune.value * tune.downSpan;
  else
    tune.factor = 1.0;
}
