#pragma once

#include "filters/FilterZK.h"
#include "filter_test_support.h"

#include <algorithm>
#include <cmath>

namespace filter_test
{
// The diode ladder at resonances below its self-oscillation. For tiny signals
// its per-sample solution is linear (the saturators are the identity there; the
// feedback normaliser 1/asinh(1) stays), so its transfer function is
// C (zI - A)^-1 B + D over the four stage states, followed by the 5 Hz DC
// blocker. The linear step below is written from the filter's equations.
constexpr double kDiodePi = 3.14159265358979323846;

inline Complex DiodeLadderResponse(FilterPassType type, double cutoff, double resonance, double f, double sampleRate)
{
  const double e = 2.0 * cutoff / sampleRate;
  const double k0 = 17.0 * resonance;
  const double k = type == kLP ? k0 * (1.4 - 0.6 * std::sqrt(e)) * (1.0 - 0.14 * e * e) : k0 * (1.0 - 0.2 * std::sqrt(e));
  const double g = std::min(2.0 * kDiodePi, std::sqrt(2.0) * std::tan(kDiodePi * cutoff / sampleRate));
  const double G = g / (1.0 + g);
  const double D1 = G / 2.0;
  const double E1 = (g / 2.0) / ((1.0 + g) - D1 * g / 2.0);
  const double A1 = (g / 2.0) / ((1.0 + g) - E1 * g / 2.0);
  const double B1 = g / ((1.0 + g) - A1 * g);
  const double feedbackNormaliser = 1.0 / std::asinh(1.0);

  auto step = [&](double* s, double x) {
    const double P4 = E1 * (2.0 * s[2] / g + 2.0 * s[3] / (1.0 + g));
    const double P3 = A1 * (2.0 * s[1] / g + P4);
    const double P2 = B1 * (s[0] / g + P3);
    const double T4 = s[3] / (1.0 + g);
    const double sigma = D1 * E1 * A1 * P2 + D1 * E1 * P3 + D1 * P4 + T4;
    const double u = (x - k * sigma * feedbackNormaliser) / (1.0 + k * B1 * A1 * E1 * D1);
    const double V2 = P2 + B1 * u;
    const double V3 = P3 + A1 * V2;
    const double V4 = P4 + E1 * V3;
    const double V5 = T4 + D1 * V4;
    const double y1 = s[0] + (V3 + u - s[0]) * G;
    const double y2 = s[1] + ((V4 + y1) / 2.0 - s[1]) * G;
    const double y3 = s[2] + ((V5 + y2) / 2.0 - s[2]) * G;
    const double y4 = s[3] + (y3 / 2.0 - s[3]) * G;
    const double y[4] = {y1, y2, y3, y4};
    for (int i = 0; i < 4; ++i)
      s[i] = 2.0 * y[i] - s[i];
    const double M = u - 4.0 * (y1 - y2);
    switch (type)
    {
      case kLP: return y4 * 1.5 * (1.0 + 5.0 * resonance * (1.0 - 0.3 / 32.0));
      case kBP: return (6.0 * y4 + y1 - 2.0 * y2 - 2.0 * y3) * 2.0 * (2.0 - resonance);
      case kHP: return 2.0 * (M + 6.0 * (y2 - y3) - 4.0 * (y3 - y4) + y4);
      case kP: return 2.0 * u;
      case kBR: return 2.0 * (M + 8.0 * (y2 - y3) - 8.0 * (y3 - y4) + 4.0 * y4);
      default: return 0.0;
    }
  };
  return StateSpaceResponse<4>(step, f, sampleRate) * DcBlockerResponse(f, sampleRate);
}
}  // namespace filter_test
