#include "lanes/SineLanes.h"

#include "FastMath.h"
#include "Oscillator.h"
#include "lanes/LanesSse2.h"
#include "lanes/SineLanesKernel.h"

namespace SineLanes
{
namespace
{
constexpr double kSnap = Oscillator::kZeroSnap;

double Snapped(double value)
{
  return (value > -kSnap && value < kSnap) ? 0.0 : value;
}

using Road = void (*)(const double*, double*, int);

const Road gRoad = HasAvx2() ? SinesOfCycleAvx2 : SinesOfCycleSse2;
}  // namespace

bool HasAvx2()
{
  return __builtin_cpu_supports("avx2");
}

void SinesOfCycleScalar(const double* phases, double* out, int n)
{
  for (int i = 0; i < n; ++i) out[i] = Snapped(FastMath::SinOfPhase(phases[i]));
}

void SinesOfCycleSse2(const double* phases, double* out, int n)
{
  const int done = SinesInLanes<Sse2>(phases, out, n, kSnap);
  SinesOfCycleScalar(phases + done, out + done, n - done);
}

void SinesOfCycleAvx2(const double* phases, double* out, int n)
{
  const int done = SinesInAvx2Lanes(phases, out, n, kSnap);
  SinesOfCycleSse2(phases + done, out + done, n - done);
}

void SinesOfCycle(const double* phases, double* out, int n)
{
  gRoad(phases, out, n);
}
}  // namespace SineLanes
