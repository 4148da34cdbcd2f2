#pragma once

#include "besselfilter.h"
#include "globals.h"

enum OscWave
{
  kOscSine = 0,     // "sine"
  kOscSaw = 1,      // "saw"
  kOscSquare = 2,   // "square"
  kOscTri = 3,      // "tri"
  kOscSinc = 4,     // "sinc"
  kOscPolysaw = 5,  // "polysaw"
  kNumOscWaves = 6
};

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
  // Waveform values closer to 0 than this are returned as exactly 0.
  static constexpr double kZeroSnap = 1e-12;
  // Lowers the sinc so that its average over a cycle stays near 0.
  static constexpr double kSincOffset = 0.448;
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
  // Waveform value at phase x (radians, any sign).
  double NextWaveformSample(double x) const;
  // Fast power curve for the bend, x in [0, 1], p > 0; exact for p = 1 and for
  // powers of two, linear between neighbouring powers of two otherwise.
  static double approxPow(double x, double p);

  void SetWave(OscWave w) { mWave = w; }
  void SetBendSymmetry(OscBendSymmetry s) { mBendSymmetry = s; }
  // Only stores the origin; follow with UpdateBendParams(GetBendWindowSize()).
  void SetBendSpanOrigin(OscBendSpanOrigin o) { mBendSpanOrigin = o; }
  // Sinc width W, 3.5..100.5 from the control; clamped to [kMinSincWidth, kMaxSincWidth].
  void SetSincWidth(double w);
  // Polysaw blend, 0..1 (clamped).
  void SetPolysawMix(double m);

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

  OscWave GetWave() const { return mWave; }
  OscBendSymmetry GetBendSymmetry() const { return mBendSymmetry; }
  OscBendSpanOrigin GetBendSpanOrigin() const { return mBendSpanOrigin; }
  double GetPhase() const { return mPhase; }
  double GetPhaseOffset() const { return mPhaseOffset; }
  double GetPhasePeriod() const { return mPhasePeriod; }
  double GetPhaseIncrement() const { return mPhaseIncrement; }
  double GetFrequency() const { return mFrequency; }
  double GetBendExponent() const { return mBendExponent; }
  double GetBendWindowSize() const { return mBendWindowSize; }
  double GetBendWindow() const { return mBendWindow; }
  bool IsDeclickActive() const { return mDeclickActive; }
  double GetLastOutput() const { return mLastOutput; }

private:
  void UpdatePhaseIncrement();
  // The phase the waveform is read at: the running phase bent by the exponent.
  double BentPhase() const;
  double BendShape(double t) const;
  // One sub-sample through the lowpass; returns the new output.
  double FilterSubSample(double x);

  OscWave mWave = kOscSine;
  OscBendSymmetry mBendSymmetry = kBendEdges;
  OscBendSpanOrigin mBendSpanOrigin = kBendSpanNote;
  double mPhaseOffset = 0.0;
  double mPhase = 0.0;
  double mPhasePeriod = PlugC::twoPi;
  double mPhaseIncrement = 0.0;
  double mPitchFactor = 1.0;
  double mSincWidth = 1.0;
  double mPolysawMix = 0.0;
  double mFrequency = kInitialFrequency;
  double mRateFactor = 0.0;
  double mShiverFactor = 1.0;
  double mBendExponent = 1.0;
  double mBendWindowSize = PlugC::twoPi;
  double mBendWindow = PlugC::twoPi;
  double mInverseBendWindow = 1.0 / PlugC::twoPi;
  bool mDeclickActive = false;
  int mDeclickLength = 0;
  double mDeclickStep = 1.0;
  int mDeclickCounter = 0;
  double mLastOutput = 0.0;
  const WDL_BesselFilterCoeffs* mBesselCoeffs = nullptr;
  double mBesselHistory[kBesselHistoryLength] = {};
};
