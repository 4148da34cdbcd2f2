#include "synth_test_support.h"

#include <gtest/gtest.h>

using namespace synthtest;

namespace
{
constexpr double kRate = 48000.0;
// Zero crossings over a quarter second place a steady tone within this.
constexpr double kPitchToleranceHz = 0.02;

// Pitch of a held note, measured after the attack has settled.
double HeldNotePitch(Player& player, int note, std::vector<Event> extra = {}, long settle = 4800)
{
  extra.push_back(NoteOn(player.Now(), note));
  const Stereo out = player.Run(settle + 12000, extra);
  return SteadyHz(out.left, settle, settle + 12000, kRate);
}
}  // namespace

TEST(Sound, NoteSixtyNineIsConcertA)
{
  Player player;
  player.OneBareOscillator();
  EXPECT_NEAR(HeldNotePitch(player, 69), 440.0, kPitchToleranceHz);

  Player low;
  low.OneBareOscillator();
  EXPECT_NEAR(HeldNotePitch(low, 45), 110.0, kPitchToleranceHz);

  // Both channels carry the centred oscillator alike.
  Player both;
  both.OneBareOscillator();
  const Stereo out = both.Run(9600, {NoteOn(0, 69)});
  for (long i = 4800; i < 9600; ++i) ASSERT_EQ(out.left[size_t(i)], out.right[size_t(i)]) << i;
}

TEST(Sound, PitchWheelBendsByItsUnevenSpans)
{
  // A full throw down multiplies the pitch by 0.8775380, half a throw up by 1.0545506.
  Player down;
  down.OneBareOscillator();
  EXPECT_NEAR(HeldNotePitch(down, 69, {PitchWheel(0, -8192)}), 440.0 * 0.8775380, kPitchToleranceHz);

  Player up;
  up.OneBareOscillator();
  EXPECT_NEAR(HeldNotePitch(up, 69, {PitchWheel(0, 4096)}), 440.0 * 1.0545506, kPitchToleranceHz);

  // A wheel moved while the note sounds retunes it.
  Player moved;
  moved.OneBareOscillator();
  moved.Run(4800, {NoteOn(0, 69)});
  const Stereo out = moved.Run(14400, {PitchWheel(4800, -8192)});
  EXPECT_NEAR(SteadyHz(out.left, 2400, 14400, kRate), 440.0 * 0.8775380, kPitchToleranceHz);
}

TEST(Sound, TuneAndRatioScaleTheOscillator)
{
  struct Case
  {
    std::initializer_list<std::pair<int, double>> settings;
    double hz;
  };
  const Case cases[] = {
      {{{kTune1, 1.0}, {kTune1Width, 12}}, 880.0},
      {{{kTune1, -1.0}, {kTune1Width, 12}}, 220.0},
      {{{kTune1, 0.5}, {kTune1Width, 7}}, 440.0 * (1.0 + 0.5 * (std::pow(2.0, 7.0 / 12.0) - 1.0))},
      {{{kNum1, 3}, {kDenom1, 2}}, 660.0},
      {{{kNum1, 1}, {kDenom1, 4}}, 110.0},
  };
  for (const Case& c : cases)
  {
    Player player;
    player.OneBareOscillator();
    player.SetNow(c.settings);
    EXPECT_NEAR(HeldNotePitch(player, 69), c.hz, kPitchToleranceHz) << c.hz;
  }
}

TEST(Sound, EnvelopeStagesFallWhereTheirTimesPutThem)
{
  // Attack 0.1 s (4800 samples) up to the peak, decay 0.05 s towards the
  // sustain, note off at 0.5 s, release 0.2 s (9600 samples), then silence.
  auto render = [](double sustain) {
    Player player;
    player.OneBareOscillator();
    player.SetNow({{kOsc1A, 0.1}, {kOsc1D, 0.05}, {kOsc1S, sustain}, {kOsc1R, 0.2}});
    return player.Run(48000, {NoteOn(0, 69), NoteOff(24000, 69)});
  };
  auto level = [](const Stereo& out, long at) { return ToneAmplitude(out.left, at - 218, at + 218, 440.0, kRate); };
  const Stereo full = render(1.0);
  const Stereo half = render(0.5);
  const double top = level(full, 20000);  // a sustain of 1 holds the peak level

  // The attack is a straight line from the floor: a quarter, half and three
  // quarters of the way up at 1200, 2400 and 3600 samples.
  for (double part : {0.25, 0.5, 0.75}) EXPECT_NEAR(level(half, long(4800 * part)) / top, part, 0.003) << part;
  // The decay falls exponentially from the peak to the sustain level: after
  // half its time it has covered half the way in decibels.
  EXPECT_NEAR(level(half, 4800 + 1200) / top, std::sqrt(0.5), 0.01);
  // Sustain holds its level above the envelope's floor of 0.0001.
  EXPECT_NEAR(level(half, 20000) / top, (0.5 - 0.0001) / (1.0 - 0.0001), 1e-4);
  // The release ends the voice: the last sound is 9600 samples after the note off.
  EXPECT_NEAR(double(LastSound(half.left)), 24000.0 + 9600.0, 3.0);
  EXPECT_NEAR(double(LastSound(full.left)), 24000.0 + 9600.0, 3.0);
}

TEST(Sound, LowPassGainAtItsCutoffIsItsQ)
{
  // "simple" low-pass: Q = max(0.25, 21 r^8); at the cutoff the gain is Q.
  auto amplitudeAt440 = [](std::initializer_list<std::pair<int, double>> settings) {
    Player player;
    player.SetNow({{kOsc2OnOff, 0.0}, {kOsc1S, 1.0}});
    player.SetNow(settings);
    const Stereo out = player.Run(24000, {NoteOn(0, 69, 64)});
    return ToneAmplitude(out.left, 9600, 24000, 440.0, kRate);
  };
  const double open = amplitudeAt440({{kFlt1OnOff, 0.0}});
  ASSERT_GT(open, 0.1);
  const double flat = amplitudeAt440({{kFlt1F, 440.0}, {kFlt1Q, 0.0}});
  EXPECT_NEAR(flat / open, 0.25, 0.25 * 0.005);
  const double q = 21.0 * std::pow(0.65, 8.0);
  const double resonant = amplitudeAt440({{kFlt1F, 440.0}, {kFlt1Q, 0.65}});
  EXPECT_NEAR(resonant / open, q, q * 0.005);
  // Away from the cutoff, the analog prototype 1 / (s^2 + s/Q + 1) at the
  // prewarped frequency tan(pi f / SR) / tan(pi fc / SR).
  auto lowPass = [](double f, double fc, double quality) {
    const double w = std::tan(kPi * f / kRate) / std::tan(kPi * fc / kRate);
    return 1.0 / std::hypot(1.0 - w * w, w / quality);
  };
  const double below = amplitudeAt440({{kFlt1F, 880.0}, {kFlt1Q, 0.0}});
  EXPECT_NEAR(below / open, lowPass(440.0, 880.0, 0.25), 0.005 * lowPass(440.0, 880.0, 0.25));
  const double above = amplitudeAt440({{kFlt1F, 220.0}, {kFlt1Q, 0.0}});
  EXPECT_NEAR(above / open, lowPass(440.0, 220.0, 0.25), 0.005 * lowPass(440.0, 220.0, 0.25));
}
