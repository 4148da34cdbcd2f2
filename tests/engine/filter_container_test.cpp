#include "filters/FilterContainer.h"

#include "counting_filter.h"
#include "diode_ladder_model.h"
#include "sample_rate_scope.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
using Stage = EnvelopeGenerator::EnvelopeStage;
constexpr Stage kOff = EnvelopeGenerator::ENVELOPE_STAGE_OFF;
constexpr Stage kAttack = EnvelopeGenerator::ENVELOPE_STAGE_ATTACK;
constexpr Stage kSustain = EnvelopeGenerator::ENVELOPE_STAGE_SUSTAIN;
constexpr Stage kRelease = EnvelopeGenerator::ENVELOPE_STAGE_RELEASE;

// The slot of a sounding voice with its filter on, pointed at a counting filter.
struct ActiveSlot
{
  CountingFilter filter;
  FilterContainer slot;

  ActiveSlot() { slot.SetFltPtrAndModel(&filter, kFltSimple, true); }

  // Key tracking on, the cutoff standing at its tracked value.
  void Track(double baseHz, double voiceHz, double ratio = 1.0)
  {
    slot.SetFreq(baseHz, false);
    slot.SetFollowNote(true, false);
    slot.SetFreqRatio(ratio, false, 0.0);
    slot.SetVoiceFAndGlideTime(voiceHz, 0.0, false);
    slot.UpdateState();
  }

  // Runs some samples; returns the last cutoff the filter was given.
  double Advance(int samples)
  {
    for (int i = 0; i < samples; ++i) slot.Process(0.0);
    return filter.LastFreq();
  }

  size_t Calls() const { return filter.freqs.size(); }
};

// The whole frequency in [lo, hi] where a single-peaked gain is highest.
template <class Gain>
int PeakFrequency(Gain gain, int lo, int hi)
{
  while (hi - lo > 2)
  {
    const int a = lo + (hi - lo) / 3;
    const int b = hi - (hi - lo) / 3;
    if (gain(a) < gain(b))
      lo = a + 1;
    else
      hi = b;
  }
  int best = lo;
  for (int f = lo + 1; f <= hi; ++f)
    if (gain(f) > gain(best)) best = f;
  return best;
}

double TrackedCutoff(double baseHz, double voiceHz, double ratio = 1.0)
{
  ActiveSlot s;
  s.Track(baseHz, voiceHz, ratio);
  return s.filter.LastFreq();
}
}  // namespace

TEST(FilterContainer, KeyTrackingRaisesTheNoteByOctavesToTheBaseCutoffWithinTheClamps)
{
  EXPECT_DOUBLE_EQ(TrackedCutoff(1000.0, 110.0), 1760.0);  // 110, 220, 440, 880, 1760
  EXPECT_DOUBLE_EQ(TrackedCutoff(1000.0, 125.0), 1000.0);  // reaching it exactly stops
  EXPECT_DOUBLE_EQ(TrackedCutoff(1000.0, 110.0, 1.5), 1320.0);  // 165, 330, 660, 1320
  EXPECT_DOUBLE_EQ(TrackedCutoff(30000.0, 440.0), 20000.0);  // 28160, clamped
  // No octave of a frequency of zero or below reaches the base: the base is used.
  EXPECT_DOUBLE_EQ(TrackedCutoff(1000.0, 0.0), 1000.0);
  EXPECT_DOUBLE_EQ(TrackedCutoff(1000.0, 110.0, -1.0), 1000.0);
  EXPECT_DOUBLE_EQ(TrackedCutoff(1000.0, std::nan("")), 1000.0);

  ActiveSlot plain;  // without tracking a new cutoff applies at once, clamped
  plain.slot.SetFreq(5.0, true);
  EXPECT_DOUBLE_EQ(plain.filter.LastFreq(), 10.0);
  plain.slot.SetFreq(30000.0, true);
  EXPECT_DOUBLE_EQ(plain.filter.LastFreq(), 20000.0);
  SampleRateScope rate(22050.0);
  plain.slot.SetFreq(15000.0, true);
  EXPECT_DOUBLE_EQ(plain.filter.LastFreq(), 11025.0);
}

TEST(FilterContainer, CutoffIsOnlySentWhileSomethingModulatesAndOnceAfter)
{
  ActiveSlot s;
  s.slot.SetFreq(1000.0, true);
  size_t calls = s.Calls();
  for (int i = 0; i < 1000; ++i) EXPECT_DOUBLE_EQ(s.slot.Process(0.8), 0.8 * CountingFilter::kGain);
  EXPECT_EQ(s.Calls(), calls);
  EXPECT_EQ(s.slot.GetEnvelope().GetCurrentStage(), kOff);  // not run without an amount

  // When a shiver or an envelope stops, the filter gets its plain cutoff back.
  s.slot.SetShiver(0.5);
  EXPECT_DOUBLE_EQ(s.Advance(5), 3000.0);
  s.slot.SetShiver(0.0);
  EXPECT_DOUBLE_EQ(s.Advance(1), 1000.0);
  s.slot.SetEnvStageValue(kSustain, 1.0, true);
  s.slot.SetOnOff(true, kSustain);
  s.slot.SetEnvAmount(1.0);
  EXPECT_DOUBLE_EQ(s.Advance(5), 20000.0);
  s.slot.SetEnvAmount(0.0);
  EXPECT_DOUBLE_EQ(s.Advance(1), 1000.0);
  calls = s.Calls();
  s.Advance(100);
  EXPECT_EQ(s.Calls(), calls);
}

TEST(FilterContainer, EnvelopeAmountMovesUpLinearlyAndDownOnAQuarticCurve)
{
  // The envelope sits in sustain S, so it reports e = (S - 0.0001) / 0.9999.
  const double e = 0.4999 / 0.9999;
  const double rest4 = std::pow(1.0 - e, 4);
  const struct
  {
    double sustain, amount, expected;
  } cases[] = {
      {1.0, 0.5, 1000.0 + 19000.0 * 0.5}, {1.0, -0.5, 1000.0 - 990.0 * 0.5},
      {1.0, 1.0, 20000.0},                {1.0, -1.0, 10.0},
      {0.5, 0.5, 1000.0 + 19000.0 * 0.5 * e}, {0.5, -0.5, 1000.0 - 990.0 * 0.5 * (1.0 - rest4)},
  };
  for (const auto& c : cases)
  {
    ActiveSlot s;
    s.slot.SetFreq(1000.0, true);
    s.slot.SetEnvStageValue(kSustain, c.sustain, true);
    s.slot.SetOnOff(true, kSustain);
    s.slot.SetEnvAmount(c.amount);
    const size_t calls = s.Calls();
    EXPECT_NEAR(s.Advance(10), c.expected, 1e-9) << "sustain " << c.sustain << " amount " << c.amount;
    // A held envelope level gives one cutoff: it is sent once, not every sample.
    EXPECT_EQ(s.Calls(), calls + 1);
  }
}

TEST(FilterContainer, AHeldCutoffIsSentAgainAfterAnythingElseReachedTheFilter)
{
  // Other settings may change what the filter computes from its cutoff (a
  // state-variable filter's resonance enters its cutoff coefficients), so the
  // held cutoff must follow each of them.
  ActiveSlot s;
  s.slot.SetFreq(1000.0, true);
  s.slot.SetEnvStageValue(kSustain, 0.5, true);
  s.slot.SetOnOff(true, kSustain);
  s.slot.SetEnvAmount(0.5);
  s.Advance(3);
  const struct
  {
    const char* what;
    void (*touch)(FilterContainer&);
  } touches[] = {
    {"resonance", [](FilterContainer& c) { c.SetResonance(0.3, true); }},
    {"drive", [](FilterContainer& c) { c.SetDrive(0.3, true); }},
    {"additional parameter", [](FilterContainer& c) { c.SetAdditionalParam(0.3, true); }},
    {"pass type", [](FilterContainer& c) { c.SetPassType(kBP); }},
  };
  for (const auto& t : touches)
  {
    const size_t calls = s.Calls();
    t.touch(s.slot);
    s.Advance(3);
    EXPECT_EQ(s.Calls(), calls + 1) << t.what;
  }
  // A new sample rate changes every coefficient: sent again too.
  const size_t calls = s.Calls();
  {
    SampleRateScope rate(96000.0);
    s.Advance(3);
  }
  EXPECT_EQ(s.Calls(), calls + 1);
}

TEST(FilterContainer, ShiverScalesTheCutoffWithinTheClamps)
{
  const struct
  {
    double base, shiver, expected;
  } cases[] = {
      {1000.0, 0.5, 3000.0},    // x (1 + 8 / 4)
      {1000.0, -0.5, 765.625},  // x (1 - 0.9375 / 4)
      {5000.0, 1.0, 20000.0},   // 45000, clamped
      {100.0, -1.0, 10.0},      // 6.25, clamped
  };
  for (const auto& c : cases)
  {
    ActiveSlot s;
    s.slot.SetFreq(c.base, true);
    s.slot.SetShiver(c.shiver);
    EXPECT_DOUBLE_EQ(s.Advance(1), c.expected) << c.base << " shivered by " << c.shiver;
  }
}

TEST(FilterContainer, GlidesAndRetargetsKeepingTheSamplesLeft)
{
  // Tracked 1000 Hz (125 Hz x 8); the base moves to 2000: 50 samples of 20 Hz.
  ActiveSlot s;
  s.Track(1000.0, 125.0);
  const size_t calls = s.Calls();
  s.slot.SetFreq(2000.0, true);
  EXPECT_EQ(s.Calls(), calls);
  EXPECT_DOUBLE_EQ(s.Advance(1), 1020.0);
  EXPECT_DOUBLE_EQ(s.Advance(9), 1200.0);
  // 40 samples short of 2000: the new target 4000 comes in those 40, 70 Hz each.
  s.slot.SetFreq(4000.0, true);
  EXPECT_DOUBLE_EQ(s.Advance(1), 1270.0);
  EXPECT_DOUBLE_EQ(s.Advance(39), 4000.0);
  EXPECT_EQ(s.Calls(), calls + 50);
  s.Advance(10);
  EXPECT_EQ(s.Calls(), calls + 50);

  // A new key ratio moves the glide position along: 1200 x 1.5 = 1800, then 10
  // samples of 120 Hz to the new tracked 3000 (187.5 Hz raised by 4 octaves).
  ActiveSlot r;
  r.Track(1000.0, 125.0);
  r.slot.SetFreq(2000.0, true);
  r.Advance(10);
  r.slot.SetFreqRatio(1.5, true, 0.0);
  EXPECT_DOUBLE_EQ(r.Advance(1), 1920.0);
  EXPECT_DOUBLE_EQ(r.Advance(9), 3000.0);

  // Without a running glide and without a time: the shortest glide time, 50
  // samples at 48 kHz, from 1000 to 1500.
  ActiveSlot g;
  g.Track(1000.0, 125.0);
  g.slot.SetFreqRatio(1.5, true, 0.0);
  EXPECT_DOUBLE_EQ(g.Advance(1), 1010.0);
  EXPECT_DOUBLE_EQ(g.Advance(49), 1500.0);
}

TEST(FilterContainer, GlidesWithNoSamplesLeftArriveOnTheNextSample)
{
  // Gliding 1760 -> 20000 (the ceiling); near the end the key ratio rises by
  // 1.1, which carries the glide position past the ceiling while the new
  // tracked cutoff is 121 x 128 = 15488 Hz.
  ActiveSlot s;
  s.Track(1000.0, 110.0);
  s.slot.SetFreq(15000.0, true);
  s.Advance(48);
  s.slot.SetFreqRatio(1.1, true, 0.0);
  EXPECT_NEAR(s.Advance(1), 15488.0, 1e-9);
  const size_t calls = s.Calls();
  s.Advance(5);
  EXPECT_EQ(s.Calls(), calls);

  // A new voice frequency with a glide time of 0: tracked 300, 600, 1200.
  ActiveSlot z;
  z.Track(1000.0, 125.0);
  const size_t zCalls = z.Calls();
  z.slot.SetVoiceFAndGlideTime(300.0, 0.0, true);
  EXPECT_DOUBLE_EQ(z.Advance(1), 1200.0);
  EXPECT_EQ(z.Calls(), zCalls + 1);
}

TEST(FilterContainer, SettingsOfASilentVoiceWaitForUpdateState)
{
  CountingFilter formant;
  FilterContainer slot;
  slot.SetFltPtrAndModel(&formant, kFltFormant, false);
  slot.SetPassType(kHP);  // goes to the current filter at once
  EXPECT_EQ(formant.PassType(), kHP);
  EXPECT_EQ(formant.resets, 1);

  slot.SetFreq(500.0, false);
  slot.SetResonance(0.7, false);
  slot.SetDrive(0.3, false);
  slot.SetAdditionalParam(-0.5, false);
  slot.SetEnvStageValue(kSustain, 0.25, false);
  EXPECT_TRUE(formant.freqs.empty() && formant.resonance.empty() && formant.drive.empty());
  EXPECT_TRUE(formant.additional.empty());

  for (int i = 0; i < 2; ++i) slot.UpdateState();  // the second has nothing to do
  EXPECT_EQ(formant.freqs, std::vector<double>{500.0});
  EXPECT_EQ(formant.resonance, std::vector<double>{0.7});
  EXPECT_EQ(formant.drive, std::vector<double>{0.3});
  EXPECT_EQ(formant.additional, std::vector<double>{-0.5});
  EXPECT_DOUBLE_EQ(slot.GetEnvelope().GetStageValue(kSustain), 0.25);
  EXPECT_DOUBLE_EQ(slot.GetEnvelope().GetStageValue(kAttack), 1.0);  // stored default

  // Repointing a sounding slot brings the new model up to date, the additional
  // parameter included.
  CountingFilter ladder;
  slot.SetFltPtrAndModel(&ladder, kFltTLadder, true);
  EXPECT_EQ(slot.GetModel(), kFltTLadder);
  EXPECT_EQ(ladder.PassType(), kHP);
  EXPECT_EQ(ladder.resets, 1);
  EXPECT_EQ(ladder.freqs, std::vector<double>{500.0});
  EXPECT_EQ(ladder.resonance, std::vector<double>{0.7});
  EXPECT_EQ(ladder.drive, std::vector<double>{0.3});
  EXPECT_EQ(ladder.additional, std::vector<double>{-0.5});
}

TEST(FilterContainer, SwitchingOnAndOff)
{
  // On during a note: the envelope joins in sustain, or in release when the note
  // is releasing; on a silent voice it stays off.
  const Stage joined[][2] = {{kAttack, kSustain}, {kRelease, kRelease}, {kOff, kOff}};
  for (const auto& [voice, envelope] : joined)
  {
    ActiveSlot s;
    s.slot.SetOnOff(true, voice);
    EXPECT_EQ(s.slot.GetEnvelope().GetCurrentStage(), envelope) << voice;
  }

  // Off: a running glide jumps to its target and the envelope stops; what is set
  // while off arrives when it comes back on.
  ActiveSlot s;
  s.Track(1000.0, 125.0);
  s.slot.SetFreq(2000.0, true);
  s.slot.SetOnOff(true, kSustain);
  s.Advance(10);
  s.slot.SetOnOff(false, kSustain);
  EXPECT_DOUBLE_EQ(s.filter.LastFreq(), 2000.0);
  EXPECT_EQ(s.slot.GetEnvelope().GetCurrentStage(), kOff);

  const size_t calls = s.Calls();
  s.slot.SetFollowNote(false, true);
  s.slot.SetFreq(3000.0, true);
  EXPECT_EQ(s.Calls(), calls);
  s.slot.SetOnOff(true, kSustain);
  EXPECT_DOUBLE_EQ(s.filter.LastFreq(), 3000.0);
}

TEST(FilterContainer, AMoogSlotPassesAndPeaksAsItsLadderDoes)
{
  // The slot as a voice drives it, measured from rendered audio (a 1e-5 sine, so
  // the saturators stay linear): the passband gain and where the resonance peaks,
  // and how high, show the ladder's stage coefficients, feedback and output gain.
  struct Case
  {
    double sampleRate, cutoff, resonance;
  };
  for (const Case& c : {Case{48000.0, 1000.0, 0.5}, Case{44100.0, 4000.0, 0.3}})
  {
    SampleRateScope rate(c.sampleRate);
    DiodeLadderZDF ladder;
    FilterContainer slot;
    slot.SetFltPtrAndModel(&ladder, kFltMoog, true);
    slot.SetPassType(kLP);
    slot.SetFreq(c.cutoff, true);
    slot.SetResonance(c.resonance, true);
    auto measured = [&](int f) {
      return filter_test::MeasureGain([&](double x) { return slot.Process(x); }, f, c.sampleRate, 0.5);
    };
    auto expected = [&](int f) {
      return std::abs(filter_test::DiodeLadderResponse(kLP, c.cutoff, c.resonance, f, c.sampleRate));
    };
    const std::string what = "cutoff " + std::to_string(c.cutoff) + " resonance " + std::to_string(c.resonance);
    EXPECT_NEAR(measured(40), expected(40), 1e-5 * expected(40)) << what;
    const int lo = static_cast<int>(c.cutoff / 4.0);
    const int hi = static_cast<int>(c.cutoff * 2.0);
    const int peak = PeakFrequency(expected, lo, hi);
    ASSERT_GT(peak, lo) << what;
    ASSERT_LT(peak, hi) << what;
    // Near the top the gain is flat to within the measurement's 1e-7 for a few hertz.
    EXPECT_NEAR(PeakFrequency(measured, lo, hi), peak, 3) << what;
    EXPECT_NEAR(measured(peak), expected(peak), 1e-5 * expected(peak)) << what;
  }
}
