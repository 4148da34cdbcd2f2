// Each model's small-signal response against the magnitude of its transfer
// function. The input is a 1e-5 sine, so every saturator works in its linear
// range; the gain is measured at steady state (see MeasureGain).
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "filters/BiquadZK.h"
#include "filters/DiodeLadderZDF.h"
#include "filters/FormantFltZK.h"
#include "filters/NoiseTiltSvfZDF.h"
#include "filters/StateVariableZDF.h"
#include "filters/TransistorLadderZDF.h"
#include "diode_ladder_model.h"
#include "filter_bank.h"
#include "filter_test_support.h"

using filter_test::Complex;
using filter_test::DcBlockerResponse;
using filter_test::MeasureGain;
using filter_test::SampleRateGuard;
using filter_test::WarpedJOmega;

namespace
{
constexpr double kPi = 3.14159265358979323846;
// Settled transients and the leakage-free correlation leave relative errors
// near 1e-7; 1e-5 keeps a margin and still catches any wrong coefficient.
constexpr double kRelativeTolerance = 1e-5;
// At an exact notch the expected gain is 0 and rounding leaves about 1e-10.
constexpr double kAbsoluteTolerance = 1e-8;

void ExpectGain(double measured, double expected, const std::string& what)
{
  EXPECT_NEAR(measured, expected, kRelativeTolerance * expected + kAbsoluteTolerance) << what;
}

std::string Describe(FilterPassType type, double cutoff, double resonance, int probe, double sampleRate)
{
  static const char* names[] = {"LP", "BP", "HP", "P", "BR"};
  return std::string(names[type]) + " fc=" + std::to_string(cutoff) + " r=" + std::to_string(resonance) +
         " f=" + std::to_string(probe) + " SR=" + std::to_string(sampleRate);
}

// Probe frequencies an octave below, at and an octave above the cutoff.
std::array<int, 3> ProbesAround(double cutoff)
{
  return {static_cast<int>(cutoff / 2), static_cast<int>(cutoff), static_cast<int>(cutoff * 2)};
}

constexpr FilterPassType kAllPassTypes[] = {kLP, kBP, kHP, kP, kBR};

struct ResponseCase
{
  double sampleRate, cutoff, resonance;
};

// Measures a model at every pass type, an octave below, at and above each
// case's cutoff, and compares with expected(type, case, probe frequency).
template <class Filter, class Expected>
void ExpectResponses(std::initializer_list<ResponseCase> cases, Expected expected)
{
  for (const ResponseCase& c : cases)
  {
    SampleRateGuard rate(c.sampleRate);
    for (FilterPassType type : kAllPassTypes)
    {
      for (int probe : ProbesAround(c.cutoff))
      {
        if (probe >= c.sampleRate / 2)
          continue;
        Filter filter;
        filter_test::Configure(filter, type, c.cutoff, c.resonance, 0.0, 0.0);
        // The state-variable filter rebuilds h from the damping at the next SetFreq.
        filter.SetFreq(c.cutoff);
        const double measured = MeasureGain([&](double x) { return filter.Process(x); }, probe, c.sampleRate);
        ExpectGain(measured, expected(type, c, probe), Describe(type, c.cutoff, c.resonance, probe, c.sampleRate));
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Biquad: the bilinear transform of the second-order prototypes with the Q and
// peak gain the resonance maps to, followed by the 5 Hz DC blocker.

Complex BiquadPrototype(FilterPassType type, Complex s, double q, double peakGain)
{
  const Complex denominator = s * s + s / q + 1.0;
  switch (type)
  {
    case kLP: return 1.0 / denominator;
    case kBP: return (s / q) / denominator;
    case kHP: return s * s / denominator;
    case kP: return (s * s + s * peakGain / q + 1.0) / denominator;
    case kBR: return (s * s + 1.0) / denominator;
    default: return 0.0;
  }
}

TEST(FilterLinearResponse, BiquadMatchesItsPrototypes)
{
  ExpectResponses<BiquadZK>(
    {{48000, 200, 0.0}, {48000, 1000, 0.9}, {48000, 8000, 1.0}, {96000, 3000, 0.5}, {44100, 12000, 0.95}},
    [](FilterPassType type, const ResponseCase& c, int probe) {
      // Resonance r: Q = max(0.25, 21 r^8), peak boost 18 r^8 dB.
      const double r8 = std::pow(c.resonance, 8);
      const double q = std::max(0.25, 21.0 * r8);
      const double peakGain = std::pow(10.0, 18.0 * r8 / 20.0);
      const Complex s = WarpedJOmega(probe, c.cutoff, c.sampleRate);
      return std::abs(BiquadPrototype(type, s, q, peakGain) * DcBlockerResponse(probe, c.sampleRate));
    });
}

TEST(FilterLinearResponse, BiquadPeakBoostsBy18DbAtFullResonance)
{
  BiquadZK filter;
  filter.SetPassType(kP);
  filter.Reset();
  filter.SetFreq(1000.0);
  filter.SetResonance(1.0);
  filter.SetDrive(0.0);
  const double measured = MeasureGain([&](double x) { return filter.Process(x); }, 1000, 48000.0);
  // 18 dB, less the DC blocker's sliver at 1 kHz.
  EXPECT_NEAR(20.0 * std::log10(measured), 18.0, 0.01);
}

// ---------------------------------------------------------------------------
// State-variable filter. Solving its update equations in the z domain, with the
// band-pass state gain gamma = 1.006 (asinh is the identity for tiny values):
//   BP = HP g (z + gamma) / (z - gamma),  LP = BP g (z + 1) / (z - 1),
//   HP = X / (1/h + 2 g (BP/HP) / (z - 1) + (2 Rf + g) 2 g gamma / (z - gamma)),
// with h = 1 / (1 + 2 R g + g^2) built from R and the loop damped by Rf.

struct SvfCoefficients
{
  double g, h, r, rf;
};

SvfCoefficients SvfFor(FilterPassType type, double cutoff, double resonance, double sampleRate)
{
  SvfCoefficients c;
  c.g = std::tan(kPi * cutoff / sampleRate);
  c.r = 1.0 - (0.499999 * resonance + 0.5);
  const double e = 2.0 * cutoff / sampleRate;
  const double compensation[] = {0.008 * e * e * e, 0.03 * e * e * e, 0.03 * e * e * e, 0.04 * e * e * e, 0.1};
  c.rf = std::min(1.0, c.r + compensation[type]);
  c.h = 1.0 / (1.0 + 2.0 * c.r * c.g + c.g * c.g);
  return c;
}

Complex SvfResponse(FilterPassType type, const SvfCoefficients& c, double gamma, double f, double sampleRate)
{
  const Complex z = std::polar(1.0, 2.0 * kPi * f / sampleRate);
  const double g = c.g;
  const Complex bpPerHp = g * (z + gamma) / (z - gamma);
  const Complex lpPerBp = g * (z + 1.0) / (z - 1.0);
  const Complex hp = 1.0 / (1.0 / c.h + 2.0 * g * bpPerHp / (z - 1.0) + (2.0 * c.rf + g) * 2.0 * g * gamma / (z - gamma));
  const Complex bp = hp * bpPerHp;
  const Complex lp = bp * lpPerBp;
  switch (type)
  {
    case kLP: return lp;
    case kBP: return bp;
    case kHP: return hp;
    case kP: return lp - hp;
    case kBR: return 1.0 - 2.0 * c.rf * bp;
    default: return lp;
  }
}

TEST(FilterLinearResponse, StateVariableMatchesItsTransferFunction)
{
  // Resonances and cutoffs at which the loop is damped (no self-oscillation).
  ExpectResponses<StateVariableZDF>(
    {{48000, 300, 0.0}, {48000, 2000, 0.5}, {44100, 9000, 0.3}, {96000, 15000, 0.5}},
    [](FilterPassType type, const ResponseCase& c, int probe) {
      const SvfCoefficients coefficients = SvfFor(type, c.cutoff, c.resonance, c.sampleRate);
      return std::abs(SvfResponse(type, coefficients, 1.006, probe, c.sampleRate));
    });
}

// ---------------------------------------------------------------------------
// Noise tilt filter: an exact bilinear state-variable filter with damping 1,
// LP 1/(s^2 + 2s + 1), HP s^2/(s^2 + 2s + 1), blended with the dry signal.

TEST(FilterLinearResponse, NoiseTiltBlendsTheDrySignalWithATiltedCopy)
{
  SampleRateGuard rate(48000.0);
  for (double color : {-1.0, -0.4, 0.0, 0.5, 1.0})
  {
    const double cutoff = color < 0.0 ? 2000.0 + 1900.0 * color : 2000.0 + 18000.0 * color * color;
    NoiseTiltSvfZDF filter;
    filter.SetColor(color);
    for (int probe : {50, 100, 700, 2000, 9000, 20000})
    {
      filter.Reset();
      // Both channels see the same input and must give the same output.
      const double measured = MeasureGain(
        [&](double x) {
          double pair[2] = {x, x};
          filter.Process(pair);
          EXPECT_EQ(pair[0], pair[1]);
          return pair[0];
        },
        probe, 48000.0);
      const Complex s = WarpedJOmega(probe, cutoff, 48000.0);
      const Complex lowPass = 1.0 / (s * s + 2.0 * s + 1.0);
      const Complex highPass = s * s / (s * s + 2.0 * s + 1.0);
      const double amount = std::fabs(color);
      const Complex tilted = color < 0.0 ? 1.8 * lowPass : (1.0 + color * color) * highPass;
      const double expected = std::abs(2.0 * amount * tilted + (1.0 - amount) * (1.0 - amount));
      ExpectGain(measured, expected, "colour " + std::to_string(color) + " f=" + std::to_string(probe));
    }
  }
}

// ---------------------------------------------------------------------------
// Formant filter with drive 0: 16 (A1 B1 + 2 A2 B2 + A3 B3 + A4 B4 + A5 B5), each
// Bi a bilinear band-pass s/Q / (s^2 + s/Q + 1) with Q = 21 * 0.97^8 at the
// formant frequency, followed by its DC blocker.

struct Formant
{
  double freq, amp;
};
using Vowel = std::array<Formant, 5>;

// Rows of the vowel tables, written out here from the published formant data.
const Vowel kSopranoU = {{{325, 1}, {700, 0.158}, {2700, 0.018}, {3800, 0.01}, {4950, 0.001}}};
const Vowel kSopranoO = {{{450, 1}, {800, 0.282}, {2830, 0.079}, {3800, 0.079}, {4950, 0.003}}};
const Vowel kSopranoA = {{{800, 1}, {1150, 0.501}, {2900, 0.025}, {3900, 0.1}, {4950, 0.003}}};
const Vowel kBassU = {{{350, 1}, {600, 0.1}, {2400, 0.025}, {2675, 0.04}, {2950, 0.016}}};
const Vowel kBassO = {{{400, 1}, {750, 0.282}, {2400, 0.089}, {2600, 0.1}, {2900, 0.01}}};
const Vowel kBassA = {{{600, 1}, {1040, 0.447}, {2250, 0.355}, {2450, 0.355}, {2750, 0.1}}};

Vowel Mix(const Vowel& a, const Vowel& b, double weight)
{
  Vowel v;
  for (int i = 0; i < 5; ++i)
    v[i] = {a[i].freq + (b[i].freq - a[i].freq) * weight, a[i].amp + (b[i].amp - a[i].amp) * weight};
  return v;
}

// Shifted formants above the mirror frequency fold back below it: 20 kHz, or
// 0.49 SR where that is lower (15680 Hz at 32 kHz).
double Fold(double f, double sampleRate)
{
  const double mirror = std::min(20000.0, 0.49 * sampleRate);
  return f > mirror ? 2.0 * mirror - f : f;
}

double FormantExpected(const Vowel& vowel, double shift, double probe, double sampleRate)
{
  const double q = 21.0 * std::pow(0.97, 8);
  const double weights[] = {16, 32, 16, 16, 16};
  Complex sum = 0.0;
  for (int i = 0; i < 5; ++i)
  {
    const Complex s = WarpedJOmega(probe, Fold(vowel[i].freq * shift, sampleRate), sampleRate);
    sum += weights[i] * vowel[i].amp * (s / q) / (s * s + s / q + 1.0);
  }
  return std::abs(sum * DcBlockerResponse(probe, sampleRate));
}

TEST(FilterLinearResponse, FormantSumsTheVowelsBands)
{
  // Cutoff for vowel position v: v = (x - 10) * 1.0005 * 5e-5.
  const double vowelPointFour = 10.0 + 0.4 / (1.0005 * 5e-5);
  struct Case
  {
    double sampleRate, cutoff, resonance, additional;
    Vowel vowel;
    double shift;
  };
  const Case cases[] = {
    {48000, 10.0, 0.0, 0.0, kSopranoU, 1.0},
    {48000, 10.0, 1.0, 0.0, kBassU, 1.0},
    // w = 1.6: 60 % of the way from o to a, in both voices, then half-way between them.
    {48000, vowelPointFour, 0.5, 0.0, Mix(Mix(kSopranoO, kSopranoA, 0.6), Mix(kBassO, kBassA, 0.6), 0.5), 1.0},
    // p = -1 multiplies by 5; 4950 * 5 = 24750 Hz folds back to 15250 Hz.
    {48000, 10.0, 0.0, -1.0, kSopranoU, 5.0},
    // At 32 kHz the fold is at 15680 Hz: 19000 Hz lands on 12360 Hz, 24750 Hz on 6610 Hz.
    {32000, 10.0, 0.0, -1.0, kSopranoU, 5.0},
    // p = 1 divides by 8; p = 0.5 gives d = 0.25 and 1 / (1 + 7 * 0.25).
    {48000, 10.0, 0.0, 1.0, kSopranoU, 1.0 / 8.0},
    {44100, 10.0, 1.0, 0.5, kBassU, 1.0 / 2.75},
  };
  for (const Case& c : cases)
  {
    SampleRateGuard rate(c.sampleRate);
    FormantFltZK filter;
    filter.SetFreq(c.cutoff);
    filter.SetResonance(c.resonance);
    filter.SetDrive(0.0);
    filter.SetAdditionalParam(c.additional);
    std::vector<int> probes;
    for (const Formant& formant : c.vowel)
      probes.push_back(static_cast<int>(std::lround(Fold(formant.freq * c.shift, c.sampleRate))));
    probes.push_back(static_cast<int>(std::lround(c.vowel[0].freq * c.shift * 0.5)));
    probes.push_back(static_cast<int>(std::lround((c.vowel[1].freq + c.vowel[2].freq) * c.shift * 0.5)));
    for (int probe : probes)
    {
      filter.Reset();
      const double measured = MeasureGain([&](double x) { return filter.Process(x); }, probe, c.sampleRate, 3.0);
      const double expected = FormantExpected(c.vowel, c.shift, probe, c.sampleRate);
      ExpectGain(measured, expected,
                 "SR " + std::to_string(c.sampleRate) + " cutoff " + std::to_string(c.cutoff) +
                   " r=" + std::to_string(c.resonance) + " p=" + std::to_string(c.additional) +
                   " f=" + std::to_string(probe));
    }
  }
}

// ---------------------------------------------------------------------------
// Transistor ladder. Each stage is a trapezoidal one-pole, L = 1/(1 + s). The
// ladder output is y4 = G^4 u + Sigma with Sigma its state-only part, so
// Sigma = (L^4 - G^4) U. For LP, P and BR Sigma passes a high-pass with
// integrator gain 30 pi/SR before the feedback:
//   U = X / (1 + k G^4 + k Hfb (L^4 - G^4)),  Hfb = 1 for BP and HP.

Complex TransistorLadderResponse(FilterPassType type, double cutoff, double resonance, double f, double sampleRate)
{
  const double factors[] = {0.992, 0.992, 0.98, 0.985, 0.995};
  const double k = 4.0 * resonance * factors[type];
  const double g = std::tan(kPi * cutoff / sampleRate);
  const double G = g / (1.0 + g);
  const double G4 = G * G * G * G;
  const Complex L = 1.0 / (1.0 + WarpedJOmega(f, cutoff, sampleRate));
  const Complex L4 = L * L * L * L;
  Complex feedbackHighPass = 1.0;
  if (type == kLP || type == kP || type == kBR)
  {
    const Complex s = Complex(0.0, std::tan(kPi * f / sampleRate) / (30.0 * kPi / sampleRate));
    feedbackHighPass = s / (1.0 + s);
  }
  const Complex u = 1.0 / (1.0 + k * G4 + k * feedbackHighPass * (L4 - G4));
  Complex mix;
  switch (type)
  {
    case kLP: mix = u * L4; break;
    case kBP: mix = u * 4.0 * (L * L - 2.0 * L * L * L + L4); break;
    case kHP: mix = u * std::pow(1.0 - L, 4); break;
    case kP: mix = u; break;
    case kBR: mix = u * (1.0 - 4.0 * L + 8.0 * L * L - 8.0 * L * L * L + 4.0 * L4); break;
    default: break;
  }
  return mix * DcBlockerResponse(f, sampleRate);
}

TEST(FilterLinearResponse, TransistorLadderMatchesTheLinearLadder)
{
  ExpectResponses<TransistorLadderZDF>(
    {{48000, 400, 0.0}, {48000, 1000, 0.5}, {44100, 5000, 0.8}, {96000, 12000, 0.3}},
    [](FilterPassType type, const ResponseCase& c, int probe) {
      return std::abs(TransistorLadderResponse(type, c.cutoff, c.resonance, probe, c.sampleRate));
    });
}

// ---------------------------------------------------------------------------
// Diode ladder: its transfer function is in diode_ladder_model.h.

TEST(FilterLinearResponse, DiodeLadderMatchesItsTransferFunction)
{
  ExpectResponses<DiodeLadderZDF>(
    {{48000, 500, 0.0}, {48000, 2000, 0.5}, {44100, 6000, 0.3}, {96000, 1000, 0.5}},
    [](FilterPassType type, const ResponseCase& c, int probe) {
      return std::abs(filter_test::DiodeLadderResponse(type, c.cutoff, c.resonance, probe, c.sampleRate));
    });
}

}  // namespace
