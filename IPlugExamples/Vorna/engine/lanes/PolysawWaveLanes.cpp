// The runs' lanes of one part of the waveforms and filter models, on SSE2
// (RunLanesParts.h).
#include "lanes/LanesSse2.h"
#include "lanes/RunLanesKernel.h"

namespace RunLanes
{
template <>
void RenderPartSse2<kPartPolysaw>(Slot& slot, int voices, int frames, double* left, double* right)
{
  RenderPart<Sse2, kPartPolysaw>(slot, voices, frames, left, right);
}
}  // namespace RunLanes
