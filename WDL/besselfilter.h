#pragma once

// Designer of the 8th-order Bessel lowpass used for oscillator oversampling.
// The filter it describes runs as y0 = gain * x + coeffs[0] * y1 + ... + coeffs[7] * y8,
// where y1..y8 are the previous outputs; the history belongs to the caller.
class WDL_BesselFilterCoeffs
{
public:
  static constexpr int kOrder = 8;
  static constexpr int kNumPolePairs = kOrder / 2;

  // Poles of the analog Bessel lowpass normalised to a -3 dB frequency of
  // 1 rad/s, one of each conjugate pair: {real part, imaginary part}.
  static constexpr double mPoles[kNumPolePairs][2] = {
    {-1.7574084004017807, 0.272867575102548},
    {-1.636939418126819, 0.8227956251396226},
    {-1.3738412176373478, 1.3883565758775174},
    {-0.8928697188471307, 1.9983258436412903},
  };

  // Designs the lowpass for a cutoff of alpha cycles per sample (of the rate the
  // filter runs at, e.g. 0.125 for a quarter of the Nyquist frequency). Each
  // analog pole s maps to exp(s * 2 pi alpha); the gain makes the DC gain 1.
  void Calc(double alpha);

  double gain = 1.0;
  double coeffs[kOrder] = {};
};
