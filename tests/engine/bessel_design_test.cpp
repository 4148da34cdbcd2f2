#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "besselfilter.h"

namespace
{
using Complex = std::complex<double>;
constexpr double kPi = 3.14159265358979323846;

// H(e^jw) = gain / (1 - sum c_j e^-jwj) of the designed recursion.
Complex DesignResponse(const WDL_BesselFilterCoeffs& design, double cyclesPerSample)
{
  const Complex zInverse = std::polar(1.0, -2.0 * kPi * cyclesPerSample);
  Complex denominator = 1.0;
  Complex power = 1.0;
  for (double c : design.coeffs)
  {
    power *= zInverse;
    denominator -= c * power;
  }
  return design.gain / denominator;
}

double Db(double gain)
{
  return 20.0 * std::log10(gain);
}

TEST(BesselDesign, EveryOversamplingCutoffHasUnitDcGain)
{
  // The arguments the four oversampling settings design with.
  for (double alpha : {0.25, 0.125, 0.0625, 0.03125})
  {
    WDL_BesselFilterCoeffs design;
    design.Calc(alpha);
    double coefficientSum = 0.0;
    for (double c : design.coeffs)
      coefficientSum += c;
    // A constant x settles at y = gain x / (1 - sum c).
    EXPECT_NEAR(design.gain / (1.0 - coefficientSum), 1.0, 1e-12) << alpha;
  }
}

TEST(BesselDesign, QuarterNyquistDesignIsALowpass)
{
  WDL_BesselFilterCoeffs design;
  design.Calc(0.125);

  // No ripple: the magnitude never rises on the way from DC to Nyquist.
  double previous = std::abs(DesignResponse(design, 0.0));
  for (int i = 1; i <= 500; ++i)
  {
    const double magnitude = std::abs(DesignResponse(design, 0.5 * i / 500.0));
    EXPECT_LE(magnitude, previous * (1.0 + 1e-12)) << i;
    previous = magnitude;
  }
  EXPECT_GT(Db(std::abs(DesignResponse(design, 0.0125))), -0.1);
  // The design has poles only (no zeros at Nyquist). For small u = 2 pi alpha
  // its Nyquist gain is about prod |s_k| u^8 / 2^8 with s_k the analog poles,
  // here near -19 dB.
  EXPECT_LT(Db(std::abs(DesignResponse(design, 0.5))), -15.0);
}

// Normalised order-8 Bessel poles (one of each conjugate pair), -3 dB at 1 rad/s.
const double kBesselPoles[4][2] = {{-1.7574084004017807, 0.272867575102548},
                                   {-1.636939418126819, 0.8227956251396226},
                                   {-1.3738412176373478, 1.3883565758775174},
                                   {-0.8928697188471307, 1.9983258436412903}};

TEST(BesselDesign, SixteenfoldDesignFollowsTheAnalogFilter)
{
  // At 16x oversampling the pole mapping exp(s T) is close to the analog filter
  // around its corner: -0.74 dB at half the cutoff, -3 dB at the cutoff.
  WDL_BesselFilterCoeffs design;
  design.Calc(0.03125);
  for (double omega : {0.5, 1.0})
  {
    Complex analog = 1.0;
    for (const auto& pole : kBesselPoles)
      for (double sign : {1.0, -1.0})
      {
        const Complex p(pole[0], sign * pole[1]);
        analog *= -p / (Complex(0.0, omega) - p);
      }
    EXPECT_NEAR(Db(std::abs(DesignResponse(design, 0.03125 * omega))), Db(std::abs(analog)), 0.25) << omega;
  }
}

TEST(BesselDesign, PoleTableIsTheMagnitudeNormalisedBesselFilter)
{
  // Monic polynomial prod (s - p) over the table's poles and their conjugates.
  Complex poly[9] = {1.0};
  int degree = 0;
  for (const auto& pole : WDL_BesselFilterCoeffs::mPoles)
  {
    for (double sign : {1.0, -1.0})
    {
      const Complex p(pole[0], sign * pole[1]);
      ++degree;
      for (int j = degree; j > 0; --j)
        poly[j] = poly[j - 1] - p * poly[j];
      poly[0] = -p * poly[0];
    }
  }
  // Its roots are those of the reverse Bessel polynomial theta_8(s / w), whose
  // coefficients are (16 - k)! / (2^(8 - k) k! (8 - k)!), scaled by w^(8 - k).
  auto factorial = [](int n) {
    double f = 1.0;
    for (int i = 2; i <= n; ++i)
      f *= i;
    return f;
  };
  const double theta0 = factorial(16) / (std::pow(2.0, 8) * factorial(8));
  const double w = std::pow(poly[0].real() / theta0, 1.0 / 8.0);
  for (int k = 0; k <= 8; ++k)
  {
    const double theta = factorial(16 - k) / (std::pow(2.0, 8 - k) * factorial(k) * factorial(8 - k));
    EXPECT_NEAR(poly[k].real(), theta * std::pow(w, 8 - k), 1e-9 * theta * std::pow(w, 8 - k)) << k;
    EXPECT_NEAR(poly[k].imag(), 0.0, 1e-9) << k;
  }
  // And its magnitude is -3 dB at 1 rad/s: |H(j)|^2 = |H(0)|^2 / 2.
  Complex atOne = 0.0;
  Complex power = 1.0;
  for (int k = 0; k <= 8; ++k)
  {
    atOne += poly[k] * power;
    power *= Complex(0.0, 1.0);
  }
  EXPECT_NEAR(std::norm(poly[0] / atOne), 0.5, 1e-9);
}
}  // namespace
