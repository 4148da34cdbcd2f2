// Built for AVX2 and called only where the processor has it; like
// RunLanesAvx2.cpp it includes no inline function of the engine.
#include "lanes/FormantLanesKernel.h"
#include "lanes/LanesAvx2.h"

namespace RunLanes
{
void RenderFormantAvx2(Slot& slot, int voices, int frames, double* left, double* right)
{
  RenderFormantLanes<Avx2>(slot, voices, frames, left, right);
}
}  // namespace RunLanes
