// The diode ladder is computed more quickly than its equations read: its warp
// through the inline tangent, its coefficients and quotients rearranged.
// Against the plain computation (the equations as they read, with the library's
// tangent) a driven, resonant ladder whose cutoff moves every sample must stay
// within a bound far below anything audible, for every pass type.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "filters/DiodeLadderZDF.h"
#include "filters/FilterMath.h"
#include "filters/OnePoleHighPass.h"
#include "globals.h"

namespace
{
using FilterMath::SoftSaturate;

// The ladder's equations, each coefficient and quotient as it reads.
class PlainDiodeLadder
{
public:
  PlainDiodeLadder(FilterPassType type, double resonance, double drive)
      : mType(type), mK0(17.0 * resonance), mResonance(mK0 / 17.0), mInputGain(31.0 * drive + 1.0)
  {
    mDcBlocker.SetIntegratorGain(FilterMath::WarpedGain(FilterMath::kDcBlockerHz));
  }

  void SetFreq(double hz)
  {
    const double cutoff = FilterMath::LimitCutoff(hz);
    mG = std::min(2.0 * PlugC::pi, std::sqrt(2.0) * FilterMath::WarpedGain(cutoff));
    const double g = mG;
    mGain = g / (1.0 + g);
    mD1 = mGain / 2.0;
    mE1 = (g / 2.0) / ((1.0 + g) - mD1 * g / 2.0);
    mA1 = (g / 2.0) / ((1.0 + g) - mE1 * g / 2.0);
    mB1 = g / ((1.0 + g) - mA1 * g);
    const double e = 2.0 * cutoff * PlugG::INV_SR;
    mK = mType == kLP ? mK0 * (1.4 - 0.6 * std::sqrt(e)) * (1.0 - 0.14 * e * e) : mK0 * (1.0 - 0.2 * std::sqrt(e));
  }

  double Process(double x)
  {
    const double g = mG;
    const double p4 = mE1 * (2.0 * mS[2] / g + 2.0 * mS[3] / (1.0 + g));
    const double p3 = mA1 * (2.0 * mS[1] / g + p4);
    const double p2 = mB1 * (mS[0] / g + p3);
    const double t4 = mS[3] / (1.0 + g);
    const double sigma = mD1 * mE1 * mA1 * p2 + mD1 * mE1 * p3 + mD1 * p4 + t4;
    const double feedback = SoftSaturate(mInputGain * mK * sigma) * (1.0 / std::asinh(mInputGain));
    const double u = (x - feedback) / (1.0 + mK * mB1 * mA1 * mE1 * mD1);
    const double v4 = p4 + mE1 * (p3 + mA1 * (p2 + mB1 * u));
    const double inputs[4] = {p3 + mA1 * (p2 + mB1 * u) + u, v4, t4 + mD1 * v4, 0.0};
    double y[4];
    for (int i = 0; i < 4; ++i)
    {
      const double in = i == 0 ? inputs[0] : (inputs[i] + y[i - 1]) / 2.0;
      const double v = (in - mS[i]) * mGain;
      y[i] = mS[i] + v;
      mS[i] = SoftSaturate(v + y[i]);
    }
    const double m = u - 4.0 * (y[0] - y[1]);
    double mix = 0.0;
    switch (mType)
    {
      case kLP: mix = y[3] * 1.5 * (1.0 + 5.0 * mResonance * (1.0 - 0.3 * mInputGain / 32.0)); break;
      case kBP: mix = (6.0 * y[3] + y[0] - 2.0 * y[1] - 2.0 * y[2]) * 2.0 * (2.0 - mResonance); break;
      case kHP: mix = 2.0 * (m + 6.0 * (y[1] - y[2]) - 4.0 * (y[2] - y[3]) + y[3]); break;
      case kP: mix = 2.0 * u; break;
      case kBR: mix = 2.0 * (m + 8.0 * (y[1] - y[2]) - 8.0 * (y[2] - y[3]) + 4.0 * y[3]); break;
      default: break;
    }
    return mDcBlocker.Process(mix);
  }

private:
  FilterPassType mType;
  double mK0;
  double mResonance;
  double mInputGain;
  double mG = 0.0, mGain = 0.0, mD1 = 0.0, mE1 = 0.0, mA1 = 0.0, mB1 = 0.0, mK = 0.0;
  double mS[4] = {};
  OnePoleHighPass mDcBlocker;
};

TEST(DiodeLadderSweep, AMovingCutoffStaysWithinRoundingOfThePlainComputation)
{
  struct Setting
  {
    double resonance;
    double drive;
    // Linear, the ladder only rounds differently. Driven, its saturated feedback
    // magnifies those differences: the driven lowpass by up to about 1e-7 of its
    // peak, still 140 dB down.
    double bound;
  };
  for (FilterPassType type : {kLP, kBP, kHP, kP, kBR})
  {
    for (Setting s : {Setting{0.0, 0.0, 1e-13}, Setting{0.6, 0.8, 1e-6}, Setting{0.95, 1.0, 1e-6}})
    {
      DiodeLadderZDF ladder;
      ladder.SetPassType(type);
      ladder.SetResonance(s.resonance);
      ladder.SetDrive(s.drive);
      PlainDiodeLadder plain(type, s.resonance, s.drive);
      double worst = 0.0;
      double peak = 0.0;
      double phase = 0.0;
      // One second: a 110 Hz saw while the cutoff sweeps from 20 Hz up past the
      // stage-gain cap and back, an octave every 1000 samples or so.
      for (int i = 0; i < 48000; ++i)
      {
        const double cutoff = 20.0 * std::exp2(11.0 * (1.0 - std::fabs(1.0 - i / 24000.0)));
        ladder.SetFreq(cutoff);
        plain.SetFreq(cutoff);
        phase += 110.0 / 48000.0;
        phase -= std::floor(phase);
        const double x = 2.0 * phase - 1.0;
        const double expected = plain.Process(x);
        worst = std::max(worst, std::fabs(ladder.Process(x) - expected));
        peak = std::max(peak, std::fabs(expected));
      }
      EXPECT_GT(peak, 0.1) << type << " at " << s.resonance;
      EXPECT_LT(worst, s.bound * peak) << type << " at resonance " << s.resonance << ", drive " << s.drive;
    }
  }
}
}  // namespace
