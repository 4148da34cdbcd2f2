#pragma once

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "FastMath.h"
#include "OscWaves.h"
#include "OscillatorMath.h"
#include "ScalarPolicy.h"
#include "filters/FilterMath.h"
#include "besselfilter.h"
#include "globals.h"

// Shape of the phase bend across its window.
enum OscBendSymmetry
{
  kBendEdges = 0,   // "edges": one power curve across the window
  kBendMiddle = 1,  // "middle": two mirrored halves meeting in the middle
  kNumBendSymmetries = 2
};

// How the bend window is measured.
enum OscBendSpanOrigin
{
  kBendSpanNote = 0,  // "note": the window is a phase length in radians
  kBendSpanBpm = 1,   // "bpm": the window is a musical length, through the host tempo
  kNumBendSpanOrigins = 2
};

// One oscillator of one voice: a phase accumulator with an optional phase bend,
// six waveforms, frequency modulation of the phase increment, optional
// oversampling through an 8th-order Bessel lowpass, and a short linear crossfade
// (declick) for setting changes and hard sync. One sample per NextSample call.
class Oscillator
{
public:
  static constexpr double kInitialFrequency = 440.0;  // Hz
  // FM beyond this many times the increment is clamped (the voice clamps too).
  static constexpr double kMaxFm = 20.0;
  // Phase period while the bend window follows the tempo: long enough that the
  // phase practically never wraps, so the window lines up with the beat.
  static constexpr double kBpmPhasePeriod = PlugC::twoPi * 1e9;
  static constexpr double kZeroSnap = OscillatorConstants::kZeroSnap;
  static constexpr double kSincOffset = OscillatorConstants::kSincOffset;
  static constexpr double kMinSincWidth = 1.0;
  static constexpr double kMaxSincWidth = 100.5;
  // The bend shiver pushes exponents in this span; 1 means no bend.
  static constexpr double kMinBendExponent = 0.005;
  static constexpr double kMaxBendExponent = 100.0;
  // The lowpass history: its newest output and the eight before it.
  static constexpr int kBesselHistoryLength = WDL_BesselFilterCoeffs::kOrder + 1;

  Oscillator();

  // Back to the phase offset with a fresh increment; ends any crossfade and
  // clears the last output and the oversampling history.
  void Reset();
  // Phase offset in cycles (0..1). The running phase moves by the change.
  void SetPhaseOffset(double cycles);
  // Bend window size: radians in "note" origin, beats x 2 pi in "bpm" origin.
  // Recomputes the effective window and the phase period; ignores sizes <= 0.
  void UpdateBendParams(double size);

  // One output sample. fm: frequency modulation, the increment is scaled by
  // (1 + fm); clamped to [-kMaxFm, kMaxFm], NaN counts as 0. N: oversampling
  // factor (0 off, else 4, 8, 16...), subStep: 1 / max(2, N).
  double NextSample(double fm, double N, double subStep);
  // The same for an oscillator whose wave is W: the engine picks the waveform
  // once per oscillator slot instead of once per sub-sample.
  template <OscWave W>
  [[gnu::always_inline]] double NextSampleOf(double fm, double N, double subStep);
  // The short path of NextSampleOf, for a caller that knows the sample needs
  // nothing more: IsPlain(), no FM and no oversampling.
  template <OscWave W>
  [[gnu::always_inline]] double NextPlainSample();
  // No bend, no crossfade, and a running phase that stays inside one cycle.
  bool IsPlain() const { return mPlain; }
  // NextPlainSample in two halves, for the engine to compute the waveform of
  // many oscillators side by side between them: the phase the sample reads
  // (the phase moves on), then the waveform's value of that phase.
  double TakePlainPhase()
  {
    const double phase = mPhase;
    AdvancePlainPhase();
    return phase;
  }
  void FinishPlainSample(double s) { mLastOutput = s; }
  // What AdvancePlainPhase adds per sample.
  double GetPlainStep() const { return mPhaseIncrement * mShiverFactor; }
  // Where a run of plain samples computed elsewhere left the phase and the output.
  void FinishPlainRun(double phase, double lastOutput)
  {
    mPhase = phase;
    mLastOutput = lastOutput;
  }
  // Waveform value at phase x (radians, any sign).
  double NextWaveformSample(double x) const;
  // Fast power curve for the bend, x in [0, 1], p > 0; exact for p = 1 and for
  // powers of two, linear between neighbouring powers of two otherwise.
  static double approxPow(double x, double p);
  // approxPow's terms for one exponent, for the engine to raise many values side
  // by side to exponents that stay put: whether x is mirrored (p < 1), whether
  // it is raised at all, how often it is squared, and the blend of the two
  // neighbouring powers.
  struct PowerTerms
  {
    bool inverted;
    bool raised;
    int squarings;
    double blend;
  };
  static PowerTerms PowerTermsOf(double p);

  void SetWave(OscWave w) { mWave = w; }
  void SetBendSymmetry(OscBendSymmetry s) { mBendSymmetry = s; }
  // Only stores the origin; follow with UpdateBendParams(GetBendWindowSize()).
  void SetBendSpanOrigin(OscBendSpanOrigin o) { mBendSpanOrigin = o; }
  // Sinc width W, 3.5..100.5 from the control; clamped to [kMinSincWidth, kMaxSincWidth].
  void SetSincWidth(double w);
  // Polysaw blend, 0..1 (clamped).
  void SetPolysawMix(double m);
  double GetSincWidth() const { return mSincWidth; }
  double GetPolysawMix() const { return mPolysawMix; }

  // These three recompute the phase increment (frequency x pitch factor x rate
  // factor) and, when the window follows the tempo, the bend window.
  // Note frequency in Hz.
  void SetFrequency(double hz);
  // Pitch-wheel ratio, 1 for no bend.
  void SetPitchFactor(double factor);
  // Tune factor x frequency ratio x 2 pi / SR.
  void SetRateFactor(double factor);

  // Frequency factor from the tune shiver, around 1.
  void SetShiverFactor(double factor) { mShiverFactor = factor; }
  // Bend exponent p, clamped to [kMinBendExponent, kMaxBendExponent]; NaN is ignored.
  void SetBendExponent(double p);

  // Hard sync: the phase jumps back to the phase offset.
  void RestartPhase();
  // Where RestartPhase puts the phase.
  double GetRestartPhase() const { return FlooredMod(mPhaseOffset, mPhasePeriod); }
  // Crossfade from the last output to the running signal over `length` samples;
  // a length <= 0 cancels a running one.
  void StartDeclick(int length);
  void CancelDeclick();
  void ClearLastOutput() { mLastOutput = 0.0; }

  // The oscillator slot's lowpass design, shared by the slot's oscillators in all
  // voices; oversampling stays off until one is given.
  void SetOversamplingFilter(const WDL_BesselFilterCoeffs* coeffs) { mBesselCoeffs = coeffs; }
  // Zeroes the lowpass history, as after a change of the oversampling factor.
  void ClearOversamplingHistory();
  bool HasOversamplingFilter() const { return mBesselCoeffs != nullptr; }
  // The lowpass history, newest first (kBesselHistoryLength values), for the
  // engine to run many oscillators side by side, and where such a run left it.
  const double* GetOversamplingHistory() const { return mBesselRing + mBesselHead; }
  void SetOversamplingHistory(const double* newestFirst)
  {
    mBesselHead = 0;
    for (int j = 0; j < kBesselHistoryLength; ++j)
      mBesselRing[j] = mBesselRing[j + kBesselHistoryLength] = newestFirst[j];
  }

  OscWave GetWave() const { return mWave; }
  OscBendSymmetry GetBendSymmetry() const { return mBendSymmetry; }
  OscBendSpanOrigin GetBendSpanOrigin() const { return mBendSpanOrigin; }
  double GetPhase() const { return mPhase; }
  double GetPhaseOffset() const { return mPhaseOffset; }
  double GetPhasePeriod() const { return mPhasePeriod; }
  double GetPhaseIncrement() const { return mPhaseIncrement; }
  double GetPitchFactor() const { return mPitchFactor; }
  double GetRateFactor() const { return mRateFactor; }
  double GetShiverFactor() const { return mShiverFactor; }
  double GetFrequency() const { return mFrequency; }
  double GetBendExponent() const { return mBendExponent; }
  double GetBendWindowSize() const { return mBendWindowSize; }
  double GetBendWindow() const { return mBendWindow; }
  double GetInverseBendWindow() const { return mInverseBendWindow; }
  bool IsDeclickActive() const { return mDeclickActive; }
  // Plain but for a crossfade after a restart.
  bool IsPlainButForDeclick() const { return mBendExponent == 1.0 && mPhasePeriod == PlugC::twoPi; }
  int GetDeclickCounter() const { return mDeclickCounter; }
  int GetDeclickLength() const { return mDeclickLength; }
  // Where a run of samples computed elsewhere left the crossfade.
  void FinishDeclickRun(bool active, int counter, int length)
  {
    if (active) StartDeclick(length);
    mDeclickActive = active;
    mDeclickCounter = counter;
    UpdatePlain();
  }
  double GetLastOutput() const { return mLastOutput; }

  // x mod m in [0, m) for either sign of x (fmod keeps the sign of x). Under
  // strong negative FM the sub-sample phases run below 0 and must still read
  // the cycle.
  static double FlooredMod(double x, double m);

private:
  template <OscWave W>
  double WaveformAt(double x) const;
  // The same for a phase already inside [0, 2 pi).
  template <OscWave W>
  double WaveformOfCycle(double phase) const;
  // Whether a sample may take the short path: no bend, no crossfade, and a
  // running phase that stays inside one cycle.
  void AdvancePlainPhase() { mPhase = FlooredMod(mPhase + mPhaseIncrement * mShiverFactor, mPhasePeriod); }
  void UpdatePlain() { mPlain = mBendExponent == 1.0 && !mDeclickActive && mPhasePeriod == PlugC::twoPi; }
  // NextSampleOf with everything it may do; out of line, as most samples need little of it.
  template <OscWave W>
  [[gnu::noinline]] double FullSampleOf(double fm, double N, double subStep);
  void UpdatePhaseIncrement();
  // The phase the waveform is read at: the running phase bent by the exponent.
  double BentPhase() const;
  double BendShape(double t) const;
  // One sub-sample through the lowpass; returns the new output.
  double FilterSubSample(double x);

  // What every sample reads comes first, within one cache line.
  OscWave mWave = kOscSine;
  bool mPlain = true;
  bool mDeclickActive = false;
  double mPhase = 0.0;
  double mPhasePeriod = PlugC::twoPi;
  double mPhaseIncrement = 0.0;
  double mShiverFactor = 1.0;
  double mLastOutput = 0.0;
  double mBendExponent = 1.0;
  OscBendSymmetry mBendSymmetry = kBendEdges;
  OscBendSpanOrigin mBendSpanOrigin = kBendSpanNote;
  double mPhaseOffset = 0.0;
  double mPitchFactor = 1.0;
  double mSincWidth = 1.0;
  double mPolysawMix = 0.0;
  double mFrequency = kInitialFrequency;
  double mRateFactor = 0.0;
  double mBendWindowSize = PlugC::twoPi;
  double mBendWindow = PlugC::twoPi;
  double mInverseBendWindow = 1.0 / PlugC::twoPi;
  int mDeclickLength = 0;
  double mDeclickStep = 1.0;
  int mDeclickCounter = 0;
  const WDL_BesselFilterCoeffs* mBesselCoeffs = nullptr;
  // The lowpass history as a ring read through a sliding window: every value is
  // stored twice, kBesselHistoryLength apart, so the window starting at the
  // head always holds the newest output and the eight before it in order, and
  // a new sub-sample moves the head instead of shifting the history.
  double mBesselRing[2 * kBesselHistoryLength] = {};
  int mBesselHead = 0;
};

// --- the per-sample path, inline so that the voice's loops can specialise it ---

inline double Oscillator::FlooredMod(double x, double m)
{
  return ScalarPolicy::FlooredMod(x, m);
}

template <OscWave W>
inline double Oscillator::WaveformAt(double x) const
{
  return WaveformOfCycle<W>(FlooredMod(x, PlugC::twoPi));
}

template <OscWave W>
inline double Oscillator::WaveformOfCycle(double phase) const
{
  return OscillatorMath<ScalarPolicy>::OfCycle<W>(phase, W == kOscSinc ? mSincWidth : mPolysawMix);
}

inline double Oscillator::NextWaveformSample(double x) const
{
  return DispatchWave(mWave, [&](auto wave) { return WaveformAt<wave()>(x); });
}

inline double Oscillator::FilterSubSample(double x)
{
  const WDL_BesselFilterCoeffs& design = *mBesselCoeffs;
  const double y = OscillatorMath<ScalarPolicy>::SubSample(design.coeffs, design.gain, mBesselRing + mBesselHead, x);
  mBesselHead = mBesselHead == 0 ? kBesselHistoryLength - 1 : mBesselHead - 1;
  mBesselRing[mBesselHead] = y;
  mBesselRing[mBesselHead + kBesselHistoryLength] = y;
  return y;
}

template <OscWave W>
inline double Oscillator::NextSampleOf(double fm, double N, double subStep)
{
  // Most samples of most patches: no oversampling, no bend, no crossfade, no FM.
  if (mPlain && N < 2.0 && fm == 0.0) return NextPlainSample<W>();
  return FullSampleOf<W>(fm, N, subStep);
}

template <OscWave W>
inline double Oscillator::NextPlainSample()
{
  const double s = WaveformOfCycle<W>(mPhase);
  AdvancePlainPhase();
  FinishPlainSample(s);
  return s;
}

template <OscWave W>
double Oscillator::FullSampleOf(double fm, double N, double subStep)
{
  double theta = mBendExponent == 1.0 ? mPhase : BentPhase();

  double increment = mPhaseIncrement * mShiverFactor;  // what (1 + 0) x ... gives without FM
  if (fm != 0.0 && !std::isnan(fm))
  {
    fm = std::clamp(fm, -kMaxFm, kMaxFm);
    increment = (1.0 + fm) * mPhaseIncrement * mShiverFactor;
  }

  double s = WaveformAt<W>(theta);

  // N - 1 sub-samples between this phase and the next, through the lowpass; a
  // factor below 2 has no sub-samples and means off.
  if (N >= 2.0 && mBesselCoeffs)
  {
    const int subSamples = static_cast<int>(N) - 1;
    const double subIncrement = subStep * increment;
    for (int k = 0; k < subSamples; ++k)
    {
      theta += subIncrement;
      s = FilterSubSample(WaveformAt<W>(theta));
    }
  }

  // The unbent phase advances; the bend only changes where the cycle is read.
  mPhase = FlooredMod(mPhase + increment, mPhasePeriod);

  if (mDeclickActive)
  {
    const double weight = mDeclickCounter * mDeclickStep;
    s = s * weight + (1.0 - weight) * mLastOutput;
    ++mDeclickCounter;
    if (mDeclickCounter >= mDeclickLength)
    {
      mDeclickActive = false;
      UpdatePlain();
    }
  }

  mLastOutput = s;
  return s;
}

inline double Oscillator::NextSample(double fm, double N, double subStep)
{
  return DispatchWave(mWave, [&](auto wave) { return NextSampleOf<wave()>(fm, N, subStep); });
}
