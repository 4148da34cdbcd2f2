// Counts heap allocations through the global operator new, so that the render
// paths can be shown to allocate nothing.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "Oscillator.h"
#include "shiver_test_support.h"

namespace
{
std::atomic<long> gAllocations{0};
}  // namespace

void* operator new(std::size_t size)
{
  ++gAllocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace
{
TEST(EngineAllocation, OscillatorsAndShiversRenderWithoutAllocating)
{
  WDL_BesselFilterCoeffs design;
  design.Calc(0.5 / 16);
  Oscillator osc;
  osc.SetOversamplingFilter(&design);
  osc.SetBendExponent(3.0);
  shiver_test::Rig<BendShiver> bend(32, 1);
  shiver_test::TuneRig tune(32);
  bend.shiver.SetAmount(0, 1.0);
  tune.shiver.SetAmount(1, 1.0);

  const long before = gAllocations.load();
  for (ShiverSyncMode mode : {kShiverSyncNone, kShiverSyncVoice, kShiverSyncOsc, kShiverSyncAll})
  {
    bend.shiver.SetSyncMode(mode);
    tune.shiver.SetSyncMode(mode);
    for (int n = 0; n < 20000; ++n)
    {
      osc.SetWave(static_cast<OscWave>(n % kNumOscWaves));
      osc.NextSample(0.5, 16, 1.0 / 16);
      bend.shiver.Process();
      tune.shiver.Process();
    }
    tune.shiver.SetSpeed(0, 30.0);
    bend.shiver.OnVoiceActivation(3);
  }
  EXPECT_EQ(gAllocations.load() - before, 0);
}
}  // namespace
