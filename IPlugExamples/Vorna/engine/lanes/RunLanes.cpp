#include "lanes/RunLanes.h"

#include "lanes/LanesSse2.h"
#include "lanes/RunLanesKernel.h"
#include "lanes/SineLanes.h"

namespace RunLanes
{
namespace
{
const Road gRoad = SineLanes::HasAvx2() ? RenderAvx2 : RenderSse2;
}  // namespace

Road SeparateRoad(const Slot& slot, bool avx2)
{
  if (slot.filterOn && slot.model == kFormant) return avx2 ? RenderFormantAvx2 : RenderFormantSse2;
  if (slot.waveform == kSinc) return avx2 ? RenderSincAvx2 : RenderSincSse2;
  if (slot.waveform == kPolysaw) return avx2 ? RenderPolysawAvx2 : RenderPolysawSse2;
  return nullptr;
}

void RenderSse2(Slot& slot, int voices, int frames, double* left, double* right)
{
  if (const Road road = SeparateRoad(slot, false))
    road(slot, voices, frames, left, right);
  else
    RenderLanes<Sse2>(slot, voices, frames, left, right);
}

void Render(Slot& slot, int voices, int frames, double* left, double* right)
{
  gRoad(slot, voices, frames, left, right);
}
}  // namespace RunLanes
