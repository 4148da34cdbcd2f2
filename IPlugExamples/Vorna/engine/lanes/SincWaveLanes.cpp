#include "lanes/LanesSse2.h"
#include "lanes/RunLanes.h"
#include "lanes/RunLanesKernel.h"

namespace RunLanes
{
void RenderSincSse2(Slot& slot, int voices, int frames, double* left, double* right)
{
  RenderWave<Sse2, kSinc>(slot, voices, frames, left, right);
}
}  // namespace RunLanes
