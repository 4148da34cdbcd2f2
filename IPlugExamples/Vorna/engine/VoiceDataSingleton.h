#pragma once

#include "EngineSize.h"
#include "filters/NoiseTiltSvfZDF.h"
#include "besselfilter.h"

#include <cstdint>

// Settings shared by all 32 voices, one per oscillator slot unless noted, and
// the per-frame mixing values the engine fills for them. Voices read
// it through a pointer; the engine settings write it.
struct VoiceDataSingleton
{
  static constexpr int kNumOscs = kEngineOscs;
  static constexpr int kNumNotes = 128;
  static constexpr int kNumFmSources = 5;
  static constexpr double kSoftSlopeThresholdFactor = 0.6666;

  // What modulates an oscillator's frequency (the display texts of "fm 1 source").
  enum FmSource
  {
    kFmOsc = 0,       // the other oscillator before its filter
    kFmFilter = 1,    // the other oscillator after its filter
    kFmEnvelope = 2,  // the other oscillator before its filter, times its envelope
    kFmAux = 3,       // the external FM input
    kFmAuxEnv = 4     // the envelope follower of the external FM input
  };

  // A threshold with its two slopes and the one in use: the level of a
  // modulator c above the threshold t is (c - t) * slope.
  struct AmThreshold
  {
    double threshold = 0.0;
    // 1 / (1 - t): full level where a signal of full scale peaks; used for a
    // modulator taken before the filter.
    double fullScaleSlope = 1.0;
    // 1 / (1 - 0.6666 t): gentler, full level only at 1 + 0.6666 t, the room a
    // resonant filter's overshoot needs; used for a modulator taken after it.
    double overshootSlope = 1.0;
    const double* slope = &fullScaleSlope;

    // t in [0, 1).
    void Set(double t)
    {
      threshold = t;
      fullScaleSlope = 1.0 / (1.0 - t);
      overshootSlope = 1.0 / (1.0 - kSoftSlopeThresholdFactor * t);
    }
    void UseFilteredSlope(bool filtered) { slope = filtered ? &overshootSlope : &fullScaleSlope; }
    bool UsesFilteredSlope() const { return slope == &overshootSlope; }
    // Level for a modulator signal x in about [-1, 1]: 0 at or below the
    // threshold, 1 above full scale.
    double Level(double x) const
    {
      const double c = (x + 1.0) * 0.5;
      if (!(c > threshold)) return 0.0;
      return c > 1.0 ? 1.0 : (c - threshold) * *slope;
    }
  };

  // Mixes the oscillator's noise and external input (left, right) for this
  // sample and splits the mix by the AM depth d: d of it feeds the external
  // amplitude modulation, 1 - d of it is heard directly. The noise goes through
  // the oscillator's tilt filter when its colour is not 0; with "filter aux" on
  // the external input goes through it too. The caller zeroes both pairs first.
  void PrepareExtMixedSamplesForOsc(int osc, double* const* extInputs);
  // Clears the noise pair, both oscillators' mix pairs and both buses.
  void ClearSampleValues();

  // --- oscillator slot settings ---
  bool oscOn[kNumOscs] = {true, true};
  bool filterSwitch[kNumOscs] = {true, true};
  bool filterOn[kNumOscs] = {true, true};  // filter switch and oscillator both on
  double freqRatio[kNumOscs] = {1.0, 1.0};
  double tuneFactor[kNumOscs] = {1.0, 1.0};
  double rateFactor[kNumOscs] = {};  // tune factor x ratio x 2 pi / SR: the base phase increment per Hz
  double pitchWheelFactor = 1.0;     // shared
  double mix[kNumOscs] = {0.5, 0.5};
  double volume[kNumOscs] = {1.0, 1.0};
  double fmAmount[kNumOscs] = {};
  int fmSource[kNumOscs] = {kFmOsc, kFmOsc};
  int hardSyncMaster = 0;        // shared: 0 none, 1 oscillator 1 drives 2, 2 oscillator 2 drives 1
  int hardSyncSoftLength = 0;    // shared, samples
  int hardSyncPeriod = 1;        // shared, zero crossings
  bool hardSyncPreFilter = false;  // shared: taps read the master before its filter
  bool dcRemoverOn[kNumOscs] = {};
  double oversampling[kNumOscs] = {};  // 0 off, else 4, 8, 16, ...
  double oversamplingSubStep[kNumOscs] = {0.5, 0.5};
  WDL_BesselFilterCoeffs bessel[kNumOscs];
  double feedback[kNumOscs] = {};
  double noteFrequencies[kNumNotes] = {};  // shared, Hz
  double noiseAmount[kNumOscs] = {};
  double inputAmount[kNumOscs] = {};
  double amDepth[kNumOscs] = {};
  bool inputModPreFilter[kNumOscs] = {};
  bool filterAux[kNumOscs] = {};
  double oscAmAmount[kNumOscs] = {};
  bool carrierFilter[kNumOscs] = {};
  bool addExtToOscAm[kNumOscs] = {};
  bool oscAmCarrierPreFilter[kNumOscs] = {};
  bool oscAmModulatorPreFilter[kNumOscs] = {};
  AmThreshold amThreshold[kNumOscs];
  AmThreshold oscAmThreshold[kNumOscs];
  NoiseTiltSvfZDF noiseFilter[kNumOscs];

  // Bit v is set while voice v sounds: the engine visits the sounding voices
  // without looking at the silent ones.
  std::uint32_t soundingVoices = 0;
  static_assert(kEngineVoices <= 32, "one bit per voice");

  // --- per-frame values, written by VoiceManager::RenderFrame ---
  double noise[2] = {};                    // shared noise pair
  double directMix[kNumOscs][2] = {};      // noise and input heard directly (1 - d)
  double modulatedMix[kNumOscs][2] = {};   // noise and input for the external AM (d)
  double buses[kNumOscs][2] = {};          // per-oscillator stereo buses
};
