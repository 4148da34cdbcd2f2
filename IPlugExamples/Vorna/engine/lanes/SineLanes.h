#pragma once

// The sine of many oscillators at once, several per instruction: each lane
// computes exactly FastMath::SinOfPhase and the oscillators' snap of tiny
// values to 0, operation for operation, so a voice sounds the same bits
// whichever road it took. SSE2 (two lanes) is every x86-64's; AVX2 (four)
// is taken where the processor has it.
namespace SineLanes
{
// out[i] = the snapped sine of phases[i], i < n; phases in [0, 2 pi].
void SinesOfCycle(const double* phases, double* out, int n);

// The roads themselves, for tests; Avx2 only where HasAvx2().
void SinesOfCycleScalar(const double* phases, double* out, int n);
void SinesOfCycleSse2(const double* phases, double* out, int n);
void SinesOfCycleAvx2(const double* phases, double* out, int n);
bool HasAvx2();

// In SineLanesAvx2.cpp: whole groups of four; returns how many it did.
int SinesInAvx2Lanes(const double* phases, double* out, int n, double snap);
}  // namespace SineLanes
