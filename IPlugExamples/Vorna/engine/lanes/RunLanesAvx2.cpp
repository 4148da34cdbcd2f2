// Built for AVX2 (see CMakeLists.txt) and called only where the processor has
// it. It includes nothing with inline functions of the engine, so no AVX2 copy
// of one can be linked in place of the plain one.
#include "lanes/LanesAvx2.h"
#include "lanes/RunLanesKernel.h"

namespace RunLanes
{
template <>
void RenderPartAvx2<kPartCommon>(Slot& slot, int voices, int frames, double* left, double* right)
{
  RenderPart<Avx2, kPartCommon>(slot, voices, frames, left, right);
}
}  // namespace RunLanes
