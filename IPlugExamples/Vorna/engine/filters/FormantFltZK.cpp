#include "filters/FormantFltZK.h"

#include <algorithm>
#include <cmath>

#include "filters/FilterMath.h"

FormantFltZK::FormantFltZK() : FilterZK(kKind)
{
  for (BiquadZK& band : mBands)
  {
    band.SetResonance(kBandResonance);
    band.SetPassType(kBP);
    band.SetDrive(0.0);
  }
  mBandPassSvf.SetFreq(20000.0);
  mBandPassSvf.SetPassType(kBP);
  mHighPassSvf.SetFreq(20000.0);
  mHighPassSvf.SetPassType(kHP);
  mVoiceBlend = 0.0;
  mVowelPosition = 0.4;
  SetDrive(0.0);
  mBandPassSvf.SetResonance(0.5);
  mShift = 1.0;
  UpdateFrequenciesAndAmps();
}

void FormantFltZK::Reset()
{
  for (BiquadZK& band : mBands)
    band.Reset();
  mBandPassSvf.Reset();
  mHighPassSvf.Reset();
  UpdateFrequenciesAndAmps();
}

void FormantFltZK::SetFreq(double hz)
{
  if (!std::isfinite(hz))
    return;
  // Clamped so the vowel rows looked up below stay inside the table.
  mVowelPosition = std::clamp((hz - 10.0) * 1.0005 * 5e-5, 0.0, 1.0);
  UpdateFrequenciesAndAmps();
}

void FormantFltZK::SetResonance(double r)
{
  if (!std::isfinite(r))
    return;
  mVoiceBlend = std::clamp(r, 0.0, 1.0);
  UpdateFrequenciesAndAmps();
}

void FormantFltZK::SetDrive(double d)
{
  if (!std::isfinite(d))
    return;
  d = std::clamp(d, 0.0, 1.0);
  mBandPassSvf.SetDrive(0.5 * d);
  mDriveGain = (kMaxGain - 1.0) * d + 1.0;
  mDriveNormaliser = 1.0 / std::asinh(mDriveGain);
  mHighPassSvf.SetResonance(0.192 * d + 0.8);
}

void FormantFltZK::SetAdditionalParam(double p)
{
  if (!std::isfinite(p))
    return;
  p = std::clamp(p, -1.0, 1.0);
  const double d = p * std::fabs(p);
  mShift = d < 0.0 ? 1.0 - 4.0 * d : 1.0 / (1.0 + 7.0 * d);
  Retune();
}

void FormantFltZK::UpdateFrequenciesAndAmps()
{
  const double w = 4.0 * mVowelPosition;
  const int j0 = static_cast<int>(w);
  const int j1 = j0 == kNumVowels - 1 ? j0 : j0 + 1;
  const double vowelWeight = w - j0;

  const int t0 = static_cast<int>(mVoiceBlend);
  const int t1 = t0 == 1 ? t0 : t0 + 1;
  const double voiceWeight = mVoiceBlend - t0;

  const VowelTable& first = *mTables[t0];
  const VowelTable& second = *mTables[t1];
  auto blend = [&](int formant, int column) {
    const double a = first[j0][formant][column] + (first[j1][formant][column] - first[j0][formant][column]) * vowelWeight;
    const double b =
      second[j0][formant][column] + (second[j1][formant][column] - second[j0][formant][column]) * vowelWeight;
    return a + (b - a) * voiceWeight;
  };
  for (int i = 0; i < kNumFormants; ++i)
  {
    mFreqs[i] = blend(i, kFormantFreq);
    mAmps[i] = blend(i, kFormantAmp);
  }
  Retune();
}

double FormantFltZK::BandFrequency(double hz) const
{
  const double mirror = std::min(kMirrorHz, FilterMath::MaxWarpHz());
  const double shifted = hz * mShift;
  const double folded = shifted <= mirror ? shifted : 2.0 * mirror - shifted;
  return std::max(kMinFormantHz, folded);
}

double FormantFltZK::SvfFrequency(double hz) const
{
  return std::min(hz, FilterMath::MaxWarpHz());
}

void FormantFltZK::Retune()
{
  mBands[0].SetFreq(BandFrequency(mFreqs[0]));
  mBandPassSvf.SetFreq(SvfFrequency(mFreqs[0] * 0.25 * mShift));
  mBands[1].SetFreq(BandFrequency(mFreqs[1]));
  // The high-pass follows the unshifted second formant.
  mHighPassSvf.SetFreq(SvfFrequency(mFreqs[1] * 8.0));
  for (int i = 2; i < kNumFormants; ++i)
    mBands[i].SetFreq(BandFrequency(mFreqs[i]));
}
