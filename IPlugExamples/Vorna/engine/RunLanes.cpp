#include "RunLanes.h"

#include "LanesSse2.h"
#include "RunLanesKernel.h"
#include "SineLanes.h"

namespace RunLanes
{
namespace
{
using Road = void (*)(Slot&, int, int, double*, double*);

const Road gRoad = SineLanes::HasAvx2() ? RenderAvx2 : RenderSse2;
}  // namespace

bool ThroughFormant(const Slot& slot)
{
  return slot.filterOn && slot.model == kFormant;
}

void RenderSse2(Slot& slot, int voices, int frames, double* left, double* right)
{
  if (ThroughFormant(slot))
    RenderFormantSse2(slot, voices, frames, left, right);
  else if (slot.waveform == kSinc)
    RenderSincSse2(slot, voices, frames, left, right);
  else if (slot.waveform == kPolysaw)
    RenderPolysawSse2(slot, voices, frames, left, right);
  else
    RenderLanes<Sse2>(slot, voices, frames, left, right);
}

void Render(Slot& slot, int voices, int frames, double* left, double* right)
{
  gRoad(slot, voices, frames, left, right);
}
}  // namespace RunLanes
