#pragma once

#include "globals.h"

// Runs a test at another sample rate and puts the process-wide 48 kHz back after.
struct SampleRateScope
{
  explicit SampleRateScope(double sampleRate) { PlugG::SetSampleRate(sampleRate); }
  ~SampleRateScope() { PlugG::SetSampleRate(48000.0); }
  SampleRateScope(const SampleRateScope&) = delete;
  SampleRateScope& operator=(const SampleRateScope&) = delete;
};
