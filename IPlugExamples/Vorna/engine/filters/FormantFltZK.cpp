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
  Retune();
}

void FormantFltZK::UpdateFrequenciesAndAmps()
{
  double amps[kNumFormants];
  Math::Blend(mVowelPosition, mLane.voiceBlend, mFreqs, amps, 1);
  for (int i = 0; i < kNumFormants; ++i) mLane.bands[i].amp = amps[i];
  Retune();
}

void FormantFltZK::Retune()
{
  Math::Tune(mLane, FilterMath::CurrentRange(), true, mFreqs, true);
}

void FormantFltZK::FinishRun(const LaneFields& run)
{
  // Retuning from the cutoff the run gave computes again what the run computed
  // from it, the state-variable filters the drive would use included (with
  // what their settings changed since the last cutoff); the states are the
  // run's (an undriven filter's state-variable filters stand).
  if (run.cutoffMoved) SetFreq(run.At(offsetof(Lane, hz)));
  for (int i = 0; i < kNumFormants; ++i)
  {
    BiquadCoreState<double>& band = mLane.bands[i].biquad;
    const std::size_t at = offsetof(Lane, bands) + i * sizeof(FormantBandState<double>);
    band.z1 = run.At(at + offsetof(BiquadCoreState<double>, z1));
    band.z2 = run.At(at + offsetof(BiquadCoreState<double>, z2));
    band.blockerState = run.At(at + offsetof(BiquadCoreState<double>, blockerState));
  }
  if (!IsDriven()) return;
  mLane.bandPass.s1 = run.At(offsetof(Lane, bandPass) + offsetof(StateVariableState<double>, s1));
  mLane.bandPass.s2 = run.At(offsetof(Lane, bandPass) + offsetof(StateVariableState<double>, s2));
  mLane.highPass.s1 = run.At(offsetof(Lane, highPass) + offsetof(StateVariableState<double>, s1));
  mLane.highPass.s2 = run.At(offsetof(Lane, highPass) + offsetof(StateVariableState<double>, s2));
}
