#include "besselfilter.h"

#include <cmath>
#include <complex>

void WDL_BesselFilterCoeffs::Calc(double alpha)
{
  const double u = 2.0 * 3.14159265358979323846 * alpha;

  // A(z) = prod (1 - p z^-1) over all eight poles, as coefficients of z^0 .. z^-8.
  std::complex<double> a[kOrder + 1] = {1.0};
  int degree = 0;
  for (const auto& pole : mPoles)
  {
    const double radius = std::exp(pole[0] * u);
    const std::complex<double> p(radius * std::cos(pole[1] * u), radius * std::sin(pole[1] * u));
    for (const std::complex<double>& root : {p, std::conj(p)})
    {
      ++degree;
      for (int j = degree; j > 0; --j)
        a[j] -= root * a[j - 1];
    }
  }

  std::complex<double> sum = 0.0;
  for (const std::complex<double>& coefficient : a)
    sum += coefficient;
  gain = std::abs(sum);
  for (int j = 1; j <= kOrder; ++j)
    coeffs[j - 1] = -a[j].real() / a[0].real();
}
