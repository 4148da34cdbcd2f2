#pragma once

// Engine-wide values every engine component reads. Plain globals on purpose:
// they are written only under the plug-in mutex (Reset, tempo changes, state
// loading) or by the editor's tempo field, and read on the audio thread.
namespace PlugG
{
extern double SR;          // sample rate, Hz
extern double INV_SR;      // 1 / SR
extern double NYQUIST;     // SR / 2
extern double FLT_F_MAX;   // highest filter cutoff, Hz
extern double shortestGT;  // shortest glide time, samples
extern double piDivSR;     // pi / SR
extern double twoPiDivSR;  // 2 pi / SR
extern double SRDivTwoPi;  // SR / 2 pi
extern double HOST_BPM;    // tempo, beats per minute
extern double INV_BPM;     // 1 / HOST_BPM

// Rewrites the sample-rate rows in their dependency order.
void SetSampleRate(double sampleRate);
inline constexpr double kMinHostBPM = 1.0;
inline constexpr double kMaxHostBPM = 360.0;
// Sets HOST_BPM and INV_BPM together, for a finite tempo within
// [kMinHostBPM, kMaxHostBPM]; any other value is refused (returns false) and the
// previous tempo stays.
bool SetHostBPM(double bpm);
}  // namespace PlugG

namespace PlugC
{
inline constexpr double oneDiv127 = 1.0 / 127.0;
inline constexpr double pi = 3.14159265358979323846;
inline constexpr double twoPi = 2.0 * pi;
inline constexpr double halfPi = 0.5 * pi;
inline constexpr double oneDivPi = 1.0 / pi;
inline constexpr double radFactor = pi / 180.0;
}  // namespace PlugC
