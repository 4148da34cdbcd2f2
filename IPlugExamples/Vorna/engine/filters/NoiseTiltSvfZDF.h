#pragma once

// Stereo state-variable filter that tilts an oscillator's noise source: a
// negative colour darkens it with a low-pass, a positive one brightens it with a
// high-pass, 0 leaves it untouched. Linear, no saturation.
class NoiseTiltSvfZDF
{
public:
  static constexpr double kDamping = 1.0;

  NoiseTiltSvfZDF();

  // Colour in [-1, 1] (clamped; non-finite values are ignored). Moves the
  // cutoff from 100 Hz (-1) through 2 kHz (0) to 20 kHz (1).
  void SetColor(double color);
  double GetColor() const { return mColor; }
  // Recomputes the coefficients from the stored colour after a sample-rate change.
  void UpdateCoefficients();
  void Reset();
  // Filters a left/right pair in place.
  void Process(double* pair);

private:
  double ProcessChannel(double x, double& s1, double& s2) const;

  double mColor = 0.0;
  double mS1Left = 0.0;
  double mS1Right = 0.0;
  double mS2Left = 0.0;
  double mS2Right = 0.0;
  double mG = 0.0;
  double mH = 0.0;
};
