// Every model over the whole playable range (pass type, resonance, drive,
// cutoff from 10 Hz to the ceiling, additional parameter) at every supported
// sample rate, fed full-scale noise and a saw: no sample may be non-finite or
// leave a stated bound.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iterator>
#include <string>
#include <vector>

#include "filter_bank.h"
#include "filter_test_support.h"

using namespace filter_test;

namespace
{
#if defined(VORNA_SANITIZER_BUILD)
// Sanitized code runs several times slower; a fixed pseudo-random quarter of the
// grid keeps the test under a minute there while still reaching every axis.
constexpr unsigned kSubsetDivisor = 4;
#else
constexpr unsigned kSubsetDivisor = 1;
#endif

struct Setting
{
  double sampleRate;
  FilterPassType type;
  double resonance, drive;
  double cutoff;  // < 0 stands for the ceiling PlugG::FLT_F_MAX of the rate
  double additional;
};

std::string Describe(FilterModel model, const Setting& s)
{
  return "model " + std::to_string(model) + " SR " + std::to_string(s.sampleRate) + " type " +
         std::to_string(s.type) + " r " + std::to_string(s.resonance) + " drive " + std::to_string(s.drive) +
         " cutoff " + (s.cutoff < 0 ? std::string("ceiling") : std::to_string(s.cutoff)) + " p " +
         std::to_string(s.additional);
}

std::vector<Setting> Grid(FilterModel model)
{
  const bool usesPassType = model != kFltFormant;
  const bool usesAdditional = model == kFltFormant;
  std::vector<Setting> grid;
  unsigned index = 0;
  for (double sampleRate : {22050.0, 32000.0, 44100.0, 48000.0, 96000.0, 192000.0})
    for (int type = 0; type < (usesPassType ? kNumFilterPassTypes : 1); ++type)
      for (double resonance : {0.0, 0.5, 1.0})
        for (double drive : {0.0, 1.0})
          for (double cutoff : {10.0, 1000.0, 10000.0, -1.0})
            for (double additional : usesAdditional ? std::vector<double>{-1.0, 0.0, 1.0} : std::vector<double>{0.0})
            {
              // Knuth's multiplicative hash spreads the subset over every axis.
              if ((index++ * 2654435761u >> 16) % kSubsetDivisor != 0)
                continue;
              grid.push_back({sampleRate, static_cast<FilterPassType>(type), resonance, drive, cutoff, additional});
            }
  return grid;
}

// Largest output magnitude a model may reach from inputs within [-1, 1].
double OutputBound(FilterModel model)
{
  switch (model)
  {
    // The transistor ladder's output stage is 2 tanh(mix / 2), within +-2; its
    // DC blocker subtracts a low-passed copy of that, also within +-2.
    case kFltTLadder: return 4.0;
    // The others are linear at drive 0 with peak gains up to about 21 (Q of the
    // biquad, 18 dB plus resonance of a peak), 2 x 8.9 (diode lowpass gain and
    // its resonance) or 16 x 2.5 (formant bands), and saturate their states
    // beyond that. 100 leaves room for transient overshoot while still
    // catching any runaway.
    default: return 100.0;
  }
}

class FilterStability : public ::testing::TestWithParam<FilterModel>
{
};

TEST_P(FilterStability, StaysFiniteAndBoundedEverywhere)
{
  const FilterModel model = GetParam();
  const double bound = OutputBound(model);
  const std::vector<Setting> grid = Grid(model);
  ASSERT_FALSE(grid.empty());
  double loudest = 0.0;
  int failures = 0;
  for (const Setting& s : grid)
  {
    SampleRateGuard rate(s.sampleRate);
    const double cutoff = s.cutoff < 0 ? PlugG::FLT_F_MAX : s.cutoff;
    const int length = static_cast<int>(0.25 * s.sampleRate);
    for (int signal = 0; signal < 2; ++signal)
    {
      FilterBank bank;
      FilterZK& filter = bank.Get(model);
      Configure(filter, s.type, cutoff, s.resonance, s.drive, s.additional);
      WhiteNoise noise(12345);
      const double sawStep = 2.0 * 220.0 / s.sampleRate;
      double saw = 0.0;
      for (int n = 0; n < length; ++n)
      {
        double x;
        if (signal == 0)
        {
          x = noise.Next();
        }
        else
        {
          x = saw;
          saw += sawStep;
          if (saw > 1.0)
            saw -= 2.0;
        }
        const double y = filter.Process(x);
        if (!(std::fabs(y) <= bound))  // also false for NaN
        {
          ADD_FAILURE() << Describe(model, s) << (signal == 0 ? " noise" : " saw") << " sample " << n << " = " << y;
          if (++failures > 10)
            return;
          break;
        }
        loudest = std::max(loudest, std::fabs(y));
      }
    }
  }
  RecordProperty("loudest", std::to_string(loudest));
}

std::string ModelName(const ::testing::TestParamInfo<FilterModel>& info)
{
  static const char* const names[] = {"Reson", "Simple", "Formant", "TLadder", "Moog"};
  static_assert(std::size(names) == kNumFilterModels, "every model is named");
  return names[info.param];
}

constexpr FilterModel kModels[] = {kFltReson, kFltSimple, kFltFormant, kFltTLadder, kFltMoog};
static_assert(std::size(kModels) == kNumFilterModels, "every model is checked");
INSTANTIATE_TEST_SUITE_P(AllModels, FilterStability, ::testing::ValuesIn(kModels), ModelName);
}  // namespace
