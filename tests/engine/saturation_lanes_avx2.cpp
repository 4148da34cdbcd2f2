// The four-lane saturation of groups, built for AVX2 like the engine's own
// four-lane files, for saturation_lanes_test.cpp.
#include "lanes/LanesAvx2.h"
#include "lanes/AsinhLanesKernel.h"

void SoftSaturateFourGroupsAvx2(const double* in, double* out)
{
  Avx2::V v[4];
  for (int i = 0; i < 4; ++i) v[i] = Avx2::Load(in + 4 * i);
  SoftSaturateEachOfLanes<Avx2, 4>(v);
  for (int i = 0; i < 4; ++i) Avx2::Store(out + 4 * i, v[i]);
}
