#include "globals.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
// Restores the process-wide values so other tests keep the 48 kHz / 120 BPM start.
struct GlobalsGuard
{
  ~GlobalsGuard()
  {
    PlugG::SetSampleRate(48000.0);
    PlugG::SetHostBPM(120.0);
  }
};
}  // namespace

TEST(EngineGlobals, StartAt48kAnd120Bpm)
{
  EXPECT_DOUBLE_EQ(PlugG::SR, 48000.0);
  EXPECT_DOUBLE_EQ(PlugG::FLT_F_MAX, 20000.0);
  EXPECT_DOUBLE_EQ(PlugG::shortestGT, 50.0);
  EXPECT_DOUBLE_EQ(PlugG::HOST_BPM, 120.0);
  EXPECT_DOUBLE_EQ(PlugG::INV_BPM, 1.0 / 120.0);
}

TEST(EngineGlobals, SampleRateRowsFollowTheRate)
{
  GlobalsGuard guard;
  PlugG::SetSampleRate(96000.0);
  EXPECT_DOUBLE_EQ(PlugG::shortestGT, 100.0);
  EXPECT_DOUBLE_EQ(PlugG::FLT_F_MAX, 20000.0);
  EXPECT_DOUBLE_EQ(PlugG::NYQUIST, 48000.0);
  EXPECT_DOUBLE_EQ(PlugG::twoPiDivSR * PlugG::SRDivTwoPi, 1.0);

  PlugG::SetSampleRate(22050.0);
  EXPECT_DOUBLE_EQ(PlugG::FLT_F_MAX, 11025.0);

  PlugG::SetSampleRate(std::nan(""));
  EXPECT_DOUBLE_EQ(PlugG::FLT_F_MAX, 20000.0);
}
