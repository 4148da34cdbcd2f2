#pragma once

#include "filters/FilterZK.h"

#include <cmath>
#include <vector>

// A filter model that records what the container asks of it.
class CountingFilter final : public FilterZK
{
public:
  // Halves the signal, so a test can see that samples went through it.
  static constexpr double kGain = 0.5;

  void Reset() override { ++resets; }
  double Process(double x) override { return kGain * x; }
  void SetFreq(double hz) override { freqs.push_back(hz); }
  void SetResonance(double r) override { resonance.push_back(r); }
  void SetDrive(double d) override { drive.push_back(d); }
  void SetPassType(FilterPassType t) override
  {
    FilterZK::SetPassType(t);
    ++passTypeCalls;
  }
  void SetAdditionalParam(double p) override { additional.push_back(p); }

  FilterPassType PassType() const { return mPassType; }
  double LastFreq() const { return freqs.empty() ? std::nan("") : freqs.back(); }

  int resets = 0;
  int passTypeCalls = 0;
  std::vector<double> freqs;
  std::vector<double> resonance;
  std::vector<double> drive;
  std::vector<double> additional;
};
