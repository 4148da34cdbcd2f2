// Built for AVX2 (see CMakeLists.txt) and called only where the processor has
// it. It includes nothing with inline functions of the engine, so no AVX2 copy
// of one can be linked in place of the plain one.
#include "lanes/SineLanes.h"
#include "lanes/LanesAvx2.h"
#include "lanes/SineLanesKernel.h"

namespace SineLanes
{
int SinesInAvx2Lanes(const double* phases, double* out, int n, double snap)
{
  return SinesInLanes<Avx2>(phases, out, n, snap);
}
}  // namespace SineLanes
