// The runs' lanes of one part of the waveforms and filter models, on AVX2
// (RunLanesParts.h): built for AVX2 and called only where the processor has
// it; like RunLanesAvx2.cpp it includes no inline function of the engine.
#include "lanes/LanesAvx2.h"
#include "lanes/RunLanesKernel.h"

namespace RunLanes
{
template <>
void RenderPartAvx2<kPartFormant>(Slot& slot, int voices, int frames, double* left, double* right)
{
  RenderPart<Avx2, kPartFormant>(slot, voices, frames, left, right);
}
}  // namespace RunLanes
