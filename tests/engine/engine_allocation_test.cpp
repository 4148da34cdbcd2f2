#include <gtest/gtest.h>

#include "Oscillator.h"
#include "allocation_counter.h"
#include "shiver_test_support.h"

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

  // The counter is live (a direct call of the replaceable function is never elided).
  const long probe = AllocationCount();
  ::operator delete(::operator new(16));
  ASSERT_EQ(AllocationCount() - probe, 1);

  const long before = AllocationCount();
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
  EXPECT_EQ(AllocationCount() - before, 0);
}
}  // namespace
