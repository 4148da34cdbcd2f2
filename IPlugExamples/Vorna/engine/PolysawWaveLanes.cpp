#include "LanesSse2.h"
#include "RunLanes.h"
#include "RunLanesKernel.h"

namespace RunLanes
{
void RenderPolysawSse2(Slot& slot, int voices, int frames, double* left, double* right)
{
  RenderWave<Sse2, kPolysaw>(slot, voices, frames, left, right);
}
}  // namespace RunLanes
