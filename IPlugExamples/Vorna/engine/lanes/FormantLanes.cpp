// The runs' lanes of one part of the waveforms and filter models, on SSE2
// (RunLanesParts.h).
#include "lanes/LanesSse2.h"
#include "lanes/RunLanesKernel.h"

namespace RunLanes
{
template <>
void RenderPartSse2<kPartFormant>(Slot& slot, int voices, int frames, double* left, double* right)
{
  RenderPart<Sse2, kPartFormant>(slot, voices, frames, left, right);
}
}  // namespace RunLanes
