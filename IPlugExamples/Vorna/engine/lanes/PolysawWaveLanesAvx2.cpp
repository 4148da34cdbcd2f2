// Built for AVX2 and called only where the processor has it; like
// RunLanesAvx2.cpp it includes no inline function of the engine.
#include "lanes/LanesAvx2.h"
#include "lanes/RunLanes.h"
#include "lanes/RunLanesKernel.h"

namespace RunLanes
{
void RenderPolysawAvx2(Slot& slot, int voices, int frames, double* left, double* right)
{
  RenderWave<Avx2, kPolysaw>(slot, voices, frames, left, right);
}
}  // namespace RunLanes
