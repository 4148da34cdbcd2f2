#include "VoiceComponentArrays.h"

#include <gtest/gtest.h>

#include <memory>

TEST(ModelDispatch, EveryNumberReachesItsOwnClassAndStrayNumbersTheDefault)
{
  auto arrays = std::make_unique<VoiceComponentArrays>();
  for (int m = -3; m < kNumFilterModels + 3; ++m)
  {
    const bool known = m >= 0 && m < kNumFilterModels;
    const FilterZK* f = arrays->Filter(5, static_cast<FilterModel>(m));
    EXPECT_EQ(f->GetKind(), known ? m : kFltSimple) << m;
    // Each element has its own object of each model.
    EXPECT_NE(f, arrays->Filter(6, static_cast<FilterModel>(m))) << m;
  }

  for (int w = -3; w < kNumOscWaves + 3; ++w)
  {
    const bool known = w >= 0 && w < kNumOscWaves;
    const int reached = DispatchWave(static_cast<OscWave>(w), [](auto wave) { return int(wave()); });
    EXPECT_EQ(reached, known ? w : int(kOscSine)) << w;
  }
}
