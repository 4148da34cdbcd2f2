#pragma once

#include <cmath>

#include "filters/BiquadZK.h"
#include "filters/FilterMath.h"
#include "filters/FilterZK.h"
#include "filters/StateVariableZDF.h"

// Filter model "formant": five band-passes in parallel tuned to the formants of
// a vowel. The cutoff moves through the vowels u, o, a, i, e; the resonance
// blends a soprano into a bass voice; the additional parameter shifts every
// formant; drive adds a saturated path with two state-variable filters. The
// pass type is stored and not used.
class FormantFltZK final : public FilterZK
{
public:
  static constexpr FilterModel kKind = kFltFormant;
  static constexpr int kNumVowels = 5;
  static constexpr int kNumFormants = 5;
  // Columns of a formant entry.
  enum FormantColumn
  {
    kFormantFreq = 0,       // Hz
    kFormantAmp = 1,        // linear
    kFormantBandwidth = 2,  // Hz, not used by the filter
  };
  using VowelTable = double[kNumVowels][kNumFormants][3];

  // Vowel rows in the order u, o, a, i, e.
  static constexpr VowelTable soprano = {
    {{325, 1, 50}, {700, 0.158, 60}, {2700, 0.018, 170}, {3800, 0.01, 180}, {4950, 0.001, 200}},
    {{450, 1, 70}, {800, 0.282, 80}, {2830, 0.079, 100}, {3800, 0.079, 130}, {4950, 0.003, 135}},
    {{800, 1, 80}, {1150, 0.501, 90}, {2900, 0.025, 120}, {3900, 0.1, 130}, {4950, 0.003, 140}},
    {{270, 1, 60}, {2140, 0.251, 90}, {2950, 0.05, 100}, {3900, 0.05, 120}, {4950, 0.006, 200}},
    {{350, 1, 60}, {2000, 0.1, 100}, {2800, 0.178, 120}, {3600, 0.01, 150}, {4950, 0.002, 200}},
  };
  static constexpr VowelTable bass = {
    {{350, 1, 40}, {600, 0.1, 80}, {2400, 0.025, 100}, {2675, 0.04, 120}, {2950, 0.016, 120}},
    {{400, 1, 40}, {750, 0.282, 80}, {2400, 0.089, 100}, {2600, 0.1, 120}, {2900, 0.01, 120}},
    {{600, 1, 60}, {1040, 0.447, 70}, {2250, 0.355, 110}, {2450, 0.355, 120}, {2750, 0.1, 130}},
    {{250, 1, 60}, {1750, 0.032, 90}, {2600, 0.159, 100}, {3050, 0.079, 120}, {3340, 0.04, 120}},
    {{400, 1, 40}, {1620, 0.251, 80}, {2400, 0.355, 100}, {2800, 0.251, 120}, {3100, 0.126, 120}},
  };

  static constexpr double kBandResonance = 0.97;
  static constexpr double kMaxGain = 64.0;
  static constexpr double kBandWeight = 16.0;
  // Formants shifted above this are folded back below it, Hz (lowered to
  // 0.49 SR at low sample rates).
  static constexpr double kMirrorHz = 20000.0;
  // Lowest frequency a folded formant is tuned to, Hz.
  static constexpr double kMinFormantHz = 10.0;

  FormantFltZK();

  using FilterZK::Process;
  void Reset() override;
  [[gnu::always_inline]] double Process(double x) override;
  // Vowel position from a cutoff in Hz: 10 Hz is u, 20000 Hz the end of e.
  // Positions are held inside the table; non-finite values are ignored.
  void SetFreq(double hz) override;
  // Voice blend in [0, 1] (clamped): 0 soprano, 1 bass.
  void SetResonance(double r) override;
  // Drive in [0, 1] (clamped).
  void SetDrive(double d) override;
  // Formant shift in [-1, 1] (clamped): -1 multiplies every formant by 5, 1 divides it by 8.
  void SetAdditionalParam(double p) override;

  void UpdateFrequenciesAndAmps();

  // What a sample reads and writes, for the engine to run many formant filters
  // side by side: each band's biquad and amplitude, and with drive more below.
  bool IsDriven() const { return mDriveGain > 1.0; }
  const BiquadZK& GetBand(int i) const { return mBands[i]; }
  double GetAmp(int i) const { return mAmps[i]; }
  double GetVoiceBlend() const { return mVoiceBlend; }
  double GetShift() const { return mShift; }
  // Where a run of samples left a band's states.
  void SetBandStates(int i, double z1, double z2, double blockerState) { mBands[i].SetStates(z1, z2, blockerState); }
  // The drive's state-variable filters and gains, and where a run left them.
  const StateVariableZDF& GetBandPassSvf() const { return mBandPassSvf; }
  const StateVariableZDF& GetHighPassSvf() const { return mHighPassSvf; }
  double GetDriveGain() const { return mDriveGain; }
  double GetDriveNormaliser() const { return mDriveNormaliser; }
  void FinishDriveRun(const StateVariableZDF::Lane& bandPass, const StateVariableZDF::Lane& highPass)
  {
    mBandPassSvf.FinishRun(bandPass);
    mHighPassSvf.FinishRun(highPass);
  }

private:
  void Retune();
  // A formant frequency times the shift, folded below the mirror frequency.
  double BandFrequency(double hz) const;
  // A state-variable filter frequency, kept below the warp limit.
  double SvfFrequency(double hz) const;

  double mVoiceBlend = 0.0;
  double mVowelPosition = 0.4;
  double mDriveGain = 1.0;
  double mDriveNormaliser = 0.0;
  BiquadZK mBands[kNumFormants];
  double mAmps[kNumFormants] = {};
  double mFreqs[kNumFormants] = {};
  double mShift = 1.0;
  const VowelTable* mTables[2] = {&soprano, &bass};
  StateVariableZDF mBandPassSvf;
  StateVariableZDF mHighPassSvf;
};

inline double FormantFltZK::Process(double x)
{
  double p[kNumFormants];
  for (int i = 0; i < kNumFormants; ++i)
    p[i] = mBands[i].Process(x) * mAmps[i];

  const double sum = kBandWeight * (p[0] + p[1] + p[2] + p[3]);
  // The second formant enters twice on purpose: it carries the vowel.
  if (mDriveGain > 1.0)
  {
    const double driven = sum + kBandWeight * (p[1] + FastMath::Asinh(p[4] * mDriveGain) * mDriveNormaliser);
    const double a = mDriveGain / kMaxGain;
    const double h = mHighPassSvf.Process(x);
    const double q = mBandPassSvf.Process(x);
    const double t = h * a + q * a + driven;
    return a * FastMath::Asinh(t) + (1.0 - a) * t;
  }
  return sum + kBandWeight * (p[1] + p[4]);
}
