#include "lanes/RunLanes.h"

#include "lanes/LanesSse2.h"
#include "lanes/RunLanesKernel.h"
#include "lanes/SineLanes.h"

namespace RunLanes
{
template <>
void RenderPartSse2<kPartCommon>(Slot& slot, int voices, int frames, double* left, double* right)
{
  RenderPart<Sse2, kPartCommon>(slot, voices, frames, left, right);
}

namespace
{
using Road = void (*)(Slot&, int, int, double*, double*);
constexpr Road kSse2Roads[kNumParts] = {RenderPartSse2<kPartCommon>, RenderPartSse2<kPartFormant>,
                                        RenderPartSse2<kPartSinc>, RenderPartSse2<kPartPolysaw>};
constexpr Road kAvx2Roads[kNumParts] = {RenderPartAvx2<kPartCommon>, RenderPartAvx2<kPartFormant>,
                                        RenderPartAvx2<kPartSinc>, RenderPartAvx2<kPartPolysaw>};
const bool gAvx2 = SineLanes::HasAvx2();

Part PartOfSlot(const Slot& slot)
{
  return PartOf(OscWave(slot.osc.waveform), slot.filter.on ? FilterModel(slot.filter.model) : kFltOther);
}
}  // namespace

void RenderSse2(Slot& slot, int voices, int frames, double* left, double* right)
{
  kSse2Roads[PartOfSlot(slot)](slot, voices, frames, left, right);
}

void RenderAvx2(Slot& slot, int voices, int frames, double* left, double* right)
{
  kAvx2Roads[PartOfSlot(slot)](slot, voices, frames, left, right);
}

int LanesFor(int voices)
{
  const int width = gAvx2 ? 4 : 2;
  return (voices + width - 1) / width * width;
}

void Render(Slot& slot, int voices, int frames, double* left, double* right)
{
  (gAvx2 ? kAvx2Roads : kSse2Roads)[PartOfSlot(slot)](slot, voices, frames, left, right);
}
}  // namespace RunLanes
