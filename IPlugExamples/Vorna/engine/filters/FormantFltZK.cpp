#include "filters/FormantFltZK.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "filters/FilterMath.h"
#include "filters/OnePoleHighPass.h"

namespace
{
using Svf = StateVariableMath<ScalarPolicy>;

double BlockerCoefficient()
{
  return OnePoleHighPass::CoefficientOf(FilterMath::WarpedGain(FilterMath::kDcBlockerHz));
}
}  // namespace

FormantFltZK::FormantFltZK() : FilterZK(kKind)
{
  using namespace FormantConstants;
  const CutoffRange range = FilterMath::CurrentRange();
  BiquadState<double> band = {};
  double peakGainDb = 0.0;
  BiquadMath<ScalarPolicy>::SetResonance(band, kBandResonance, peakGainDb);
  mLane.bandQ = band.q;
  for (FormantBandState<double>& b : mLane.bands) b.biquad = {1.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, BlockerCoefficient(), 0.0};
  mLane.bandPass = Svf::Initial(range, kBP, 20000.0);
  mLane.highPass = Svf::Initial(range, kHP, 20000.0);
  mLane.voiceBlend = 0.0;
  mLane.shift = 1.0;
  mLane.hz = std::numeric_limits<double>::quiet_NaN();
  SetDrive(0.0);
  Svf::SetResonance(mLane.bandPass, range, kBP, kBandPassResonance);
  UpdateFrequenciesAndAmps();
}

void FormantFltZK::Reset()
{
  for (FormantBandState<double>& b : mLane.bands)
  {
    b.biquad.z1 = b.biquad.z2 = b.biquad.blockerState = 0.0;
    b.biquad.blockerCoefficient = BlockerCoefficient();
  }
  mLane.bandPass.s1 = mLane.bandPass.s2 = 0.0;
  mLane.highPass.s1 = mLane.highPass.s2 = 0.0;
  UpdateFrequenciesAndAmps();
}

void FormantFltZK::SetFreq(double hz)
{
  if (!std::isfinite(hz))
    return;
  // Clamped so the vowel rows looked up below stay inside the table.
  mVowelPosition = Math::Position(hz);
  mLane.hz = hz;
  UpdateFrequenciesAndAmps();
}

void FormantFltZK::SetResonance(double r)
{
  if (!std::isfinite(r))
    return;
  mLane.voiceBlend = std::clamp(r, 0.0, 1.0);
  UpdateFrequenciesAndAmps();
}

void FormantFltZK::SetDrive(double d)
{
  using namespace FormantConstants;
  if (!std::isfinite(d))
    return;
  // The driven path as the cutoff left it, before its settings change.
  CatchUp();
  d = std::clamp(d, 0.0, 1.0);
  Svf::SetDrive(mLane.bandPass, kBandPassDrive * d);
  mLane.driveGain = (kMaxGain - 1.0) * d + 1.0;
  mLane.driveNormaliser = 1.0 / std::asinh(mLane.driveGain);
  Svf::SetResonance(mLane.highPass, FilterMath::CurrentRange(), kHP, kHighPassResonanceSlope * d + kHighPassResonance);
}

void FormantFltZK::SetAdditionalParam(double p)
{
  using namespace FormantConstants;
  if (!std::isfinite(p))
    return;
  p = std::clamp(p, -1.0, 1.0);
  const double d = p * std::fabs(p);
  mLane.shift = d < 0.0 ? 1.0 - kDownShift * d : 1.0 / (1.0 + kUpShift * d);
  CatchUp();
  Retune();
}

void FormantFltZK::UpdateFrequenciesAndAmps()
{
  double amps[kNumFormants];
  Math::Blend(mVowelPosition, mLane.voiceBlend, mFreqs, amps, 1);
  for (int i = 0; i < kNumFormants; ++i) mLane.bands[i].amp = amps[i];
  mFormantsLag = false;
  Retune();
}

void FormantFltZK::Retune()
{
  Math::Tune(mLane, FilterMath::CurrentRange(), true, mFreqs, true);
  mDrivenPathLags = false;
}

void FormantFltZK::CatchUp()
{
  if (mFormantsLag)
  {
    // The amplitudes are the bands' already.
    double amps[kNumFormants];
    Math::Blend(mVowelPosition, mLane.voiceBlend, mFreqs, amps, 1);
    mFormantsLag = false;
  }
  if (mDrivenPathLags) Math::TuneDrivenPath(mLane, FilterMath::CurrentRange(), true, mFreqs);
  mDrivenPathLags = false;
}

void FormantFltZK::FinishRun(const LaneFields& run)
{
  using Band = BiquadCoreState<double>;
  using Svf = StateVariableState<double>;
  auto band = [&](int i, std::size_t field) {
    return run.At(offsetof(Lane, bands) + i * sizeof(FormantBandState<double>) + field);
  };
  // The states are the run's (an undriven filter's state-variable filters
  // stand). Unrolled, every field's place is a constant.
#pragma GCC unroll 5
  for (int i = 0; i < kNumFormants; ++i)
  {
    Band& b = mLane.bands[i].biquad;
    b.z1 = band(i, offsetof(Band, z1));
    b.z2 = band(i, offsetof(Band, z2));
    b.blockerState = band(i, offsetof(Band, blockerState));
  }
  const bool driven = IsDriven();
  auto takeSvf = [&](StateVariableState<double>& svf, std::size_t at, bool tuning) {
    svf.s1 = run.At(at + offsetof(Svf, s1));
    svf.s2 = run.At(at + offsetof(Svf, s2));
    if (!tuning) return;
    svf.cutoff = run.At(at + offsetof(Svf, cutoff));
    svf.g = run.At(at + offsetof(Svf, g));
    svf.h = run.At(at + offsetof(Svf, h));
    svf.rf = run.At(at + offsetof(Svf, rf));
    svf.driveBlend = run.At(at + offsetof(Svf, driveBlend));
  };
  const double hz = run.At(offsetof(Lane, hz));
  // A cutoff never given leaves the tuning as it was, as SetFreq does.
  const bool tuned = run.cutoffMoved && std::isfinite(hz);
  if (driven)
  {
    takeSvf(mLane.bandPass, offsetof(Lane, bandPass), tuned);
    takeSvf(mLane.highPass, offsetof(Lane, highPass), tuned);
  }
  if (!tuned) return;
  // The run tuned the bands from its cutoffs with SetFreq's operations, and
  // on a driven voice (so on the driven lanes) the driven path too: they are
  // what SetFreq would compute here from the last cutoff, bit for bit.
  mVowelPosition = Math::Position(hz);
  mLane.hz = hz;
#pragma GCC unroll 5
  for (int i = 0; i < kNumFormants; ++i)
  {
    Band& b = mLane.bands[i].biquad;
    b.b0 = band(i, offsetof(Band, b0));
    b.b1 = band(i, offsetof(Band, b1));
    b.b2 = band(i, offsetof(Band, b2));
    b.a1 = band(i, offsetof(Band, a1));
    b.a2 = band(i, offsetof(Band, a2));
    mLane.bands[i].amp = band(i, offsetof(FormantBandState<double>, amp));
  }
  mFormantsLag = true;
  mDrivenPathLags = !driven;
}
