#include "lanes/LanesSse2.h"
#include "lanes/RunLanes.h"
#include "lanes/RunLanesKernel.h"

namespace RunLanes
{
void RenderPolysawSse2(Slot& slot, int voices, int frames, double* left, double* right)
{
  RenderWave<Sse2, kPolysaw>(slot, voices, frames, left, right);
}
}  // namespace RunLanes
