#include "globals.h"

#include <algorithm>
#include <cmath>

namespace PlugG
{
double SR = 48000.0;
double INV_SR = 1.0 / 48000.0;
double NYQUIST = 24000.0;
double FLT_F_MAX = 20000.0;
double shortestGT = 50.0;
double piDivSR = PlugC::pi / 48000.0;
double twoPiDivSR = PlugC::twoPi / 48000.0;
double SRDivTwoPi = 48000.0 / PlugC::twoPi;
double HOST_BPM = 120.0;
double INV_BPM = 1.0 / 120.0;

void SetSampleRate(double sampleRate)
{
  SR = sampleRate;
  INV_SR = 1.0 / SR;
  NYQUIST = 0.5 * SR;
  FLT_F_MAX = std::isnan(SR / 2.0) ? 20000.0 : std::min(20000.0, SR / 2.0);
  shortestGT = SR * 0.0010416666666666667;
  piDivSR = PlugC::pi * INV_SR;
  twoPiDivSR = INV_SR * PlugC::twoPi;
  SRDivTwoPi = SR / PlugC::twoPi;
}

bool SetHostBPM(double bpm)
{
  // A host may report 0, a negative or a NaN tempo while its transport is
  // stopped; tempo-relative windows would become infinite or undefined.
  if (!std::isfinite(bpm) || bpm < kMinHostBPM || bpm > kMaxHostBPM) return false;
  HOST_BPM = bpm;
  INV_BPM = 1.0 / bpm;
  return true;
}
}  // namespace PlugG
