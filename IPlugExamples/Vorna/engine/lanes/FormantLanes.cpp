#include "lanes/FormantLanesKernel.h"
#include "lanes/LanesSse2.h"

namespace RunLanes
{
void RenderFormantSse2(Slot& slot, int voices, int frames, double* left, double* right)
{
  RenderFormantLanes<Sse2>(slot, voices, frames, left, right);
}
}  // namespace RunLanes
