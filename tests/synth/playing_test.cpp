#include "synth_test_support.h"

#include <gtest/gtest.h>

using namespace synthtest;

namespace
{
constexpr double kRate = 48000.0;
// A tone is "present" well above this amplitude and "absent" well below it.
constexpr double kPresent = 0.05;
constexpr double kAbsent = 0.002;

double Tone(const Stereo& out, long begin, long end, int note)
{
  return ToneAmplitude(out.left, begin, end, NoteHz(note), kRate);
}
}  // namespace

TEST(Playing, AThirdNoteOnTwoVoicesStealsTheOldest)
{
  Player player;
  player.OneBareOscillator();
  player.SetNow({{kMaxVoiceCount, 2}});
  // 60 and 64 reach sustain, equally loud; 67 takes the oldest of them.
  const Stereo out = player.Run(24000, {NoteOn(0, 60), NoteOn(4800, 64), NoteOn(9600, 67)});
  EXPECT_GT(Tone(out, 6000, 9600, 60), kPresent);
  EXPECT_GT(Tone(out, 6000, 9600, 64), kPresent);
  EXPECT_LT(Tone(out, 12000, 24000, 60), kAbsent);
  EXPECT_GT(Tone(out, 12000, 24000, 64), kPresent);
  EXPECT_GT(Tone(out, 12000, 24000, 67), kPresent);

  // With the default eight voices all three sound.
  Player eight;
  eight.OneBareOscillator();
  const Stereo all = eight.Run(24000, {NoteOn(0, 60), NoteOn(4800, 64), NoteOn(9600, 67)});
  for (int note : {60, 64, 67}) EXPECT_GT(Tone(all, 12000, 24000, note), kPresent) << note;
}

TEST(Playing, AStolenVoiceIsTheQuietestOfTheOldestUnlessOneIsReleased)
{
  // All 32 voices hold keys 48, 50, ... 110, pressed one after another; the old-
  // voice window is the 11 oldest. Key 58 (the sixth) is soft, key 88 (the
  // 21st) softer still. Quiet enough that the master limiter never bends the sum;
  // long releases keep a let-go key sounding until its voice is taken.
  Player player;
  player.OneBareOscillator();
  player.SetNow({{kMaxVoiceCount, 32}, {kOsc1R, 3.0}, {kOsc1Vol, 0.1}});
  std::vector<Event> events;
  for (int i = 0; i < 32; ++i) events.push_back(NoteOn(240 * i, 48 + 2 * i, i == 5 ? 40 : i == 20 ? 20 : 127));
  events.push_back(NoteOn(12000, 113));
  events.push_back(NoteOff(26400, 80));
  events.push_back(NoteOn(31200, 115));
  const Stereo out = player.Run(45600, events);

  // Each key against its own level before the steals.
  auto sounding = [&](int note, long begin, long end) {
    return Tone(out, begin, end, note) / Tone(out, 9600 - 4800, 9600 + 2400, note);
  };
  // Key 113 takes the softest of the oldest 11, 58: not the oldest, 48, nor the softest of all, 88.
  EXPECT_LT(sounding(58, 16800, 26400), 0.02);
  for (int note : {48, 88}) EXPECT_GT(sounding(note, 16800, 26400), 0.5) << note;
  EXPECT_GT(Tone(out, 16800, 26400, 113), Tone(out, 16800, 26400, 48) * 0.5);
  // Key 115 takes the released 80, though it is no old voice and not yet quiet.
  EXPECT_GT(sounding(80, 28800, 31200), 0.5);
  EXPECT_LT(sounding(80, 36000, 45600), 0.02);
  for (int note : {48, 60, 88, 110}) EXPECT_GT(sounding(note, 36000, 45600), 0.5) << note;
}

TEST(Playing, MonoGlidesBetweenHeldNotesAndBack)
{
  // Glide 0.1 s: 4800 samples, linear in Hz.
  Player player;
  player.OneBareOscillator();
  player.SetNow({{kPolyMono, 0}, {kGlide, 0.1}});
  const long second = 9600;
  const long released = 24000;
  const Stereo out =
      player.Run(40000, {NoteOn(0, 57), NoteOn(second, 69), NoteOff(released, 69), NoteOff(36000, 57)});
  const double from = NoteHz(57), to = NoteHz(69);
  EXPECT_NEAR(SteadyHz(out.left, 2400, second, kRate), from, 0.05);
  // Half way through the glide the pitch is half way between, in Hz.
  EXPECT_NEAR(FrequencyAt(out.left, second + 2400, 1000, kRate), (from + to) / 2.0, 0.2);
  EXPECT_NEAR(SteadyHz(out.left, second + 4800 + 200, released, kRate), to, 0.05);
  // One voice only: the first note is gone, not sounding beside the second.
  EXPECT_LT(Tone(out, second + 6000, released, 57), kAbsent);
  // Releasing the upper note while the lower is held glides back to it.
  EXPECT_NEAR(FrequencyAt(out.left, released + 2400, 1000, kRate), (from + to) / 2.0, 0.2);
  EXPECT_NEAR(SteadyHz(out.left, released + 4800 + 200, 36000, kRate), from, 0.05);
  // Releasing the last held note ends the sound.
  EXPECT_GT(LastSound(out.left), 36000);
  EXPECT_LT(LastSound(out.left), 36000 + 4800 + 10);
}

TEST(Playing, MonoLegatoWithoutRearticulationStaysInSustain)
{
  // Attack and decay 0.05 s each down to a sustain of 0.3. A re-articulated
  // second note climbs back towards the peak along a new attack (half way up
  // after 1200 samples); a legato one keeps the sustain level.
  auto levels = [](double rearticulate) {
    Player player;
    player.OneBareOscillator();
    player.SetNow({{kPolyMono, 0}, {kGlide, 0.001}, {kOsc1A, 0.05}, {kOsc1D, 0.05}, {kOsc1S, 0.3},
                   {kRearticulateGlidesForward, rearticulate}});
    const Stereo out = player.Run(30000, {NoteOn(0, 69), NoteOn(24000, 81)});
    const double after = ToneAmplitude(out.left, 24000 + 1200 - 109, 24000 + 1200 + 109, NoteHz(81), kRate);
    return after / ToneAmplitude(out.left, 23000, 24000, NoteHz(69), kRate);
  };
  EXPECT_NEAR(levels(0.0), 1.0, 0.01);
  EXPECT_NEAR(levels(1.0), (0.3 + 0.5 * 0.7) / 0.3, 0.01);
}

TEST(Playing, SustainPedalHoldsReleasedKeysUntilItRises)
{
  Player player;
  player.OneBareOscillator();  // release 0.1 s: 4800 samples
  const Stereo out =
      player.Run(48000, {Controller(0, 64, 127), NoteOn(100, 69), NoteOff(4800, 69), Controller(24000, 64, 0)});
  EXPECT_GT(Tone(out, 12000, 24000, 69), kPresent);
  EXPECT_NEAR(double(LastSound(out.left)), 24000.0 + 4800.0, 3.0);

  // Without the pedal the same note ends 4800 samples after its note off.
  Player plain;
  plain.OneBareOscillator();
  const Stereo unheld = plain.Run(24000, {NoteOn(100, 69), NoteOff(4800, 69)});
  EXPECT_NEAR(double(LastSound(unheld.left)), 4800.0 + 4800.0, 3.0);
}

TEST(Playing, SostenutoHoldsOnlyTheKeysDownWhenItWentDown)
{
  Player player;
  player.OneBareOscillator();
  const Stereo out = player.Run(48000, {NoteOn(0, 60), Controller(2400, 66, 127), NoteOff(4800, 60),
                                        NoteOn(9600, 64), NoteOff(12000, 64), Controller(30000, 66, 0)});
  // 64, played after the pedal went down, ends with its key.
  EXPECT_GT(Tone(out, 9800, 12000, 64), kPresent);
  EXPECT_LT(Tone(out, 18000, 30000, 64), kAbsent);
  // 60 sounds on until the pedal rises, then releases.
  EXPECT_GT(Tone(out, 18000, 30000, 60), kPresent);
  EXPECT_NEAR(double(LastSound(out.left)), 30000.0 + 4800.0, 3.0);
}

TEST(Playing, MidiPanicReleasesEverySoundingVoice)
{
  Player player;
  player.OneBareOscillator();
  player.Run(4800, {NoteOn(0, 60), NoteOn(0, 64), NoteOn(0, 67)});
  EXPECT_EQ(player.Plug().GetVoiceManager().GetVoiceTables().GetActiveCount(), 3);
  player.Plug().SetParameterFromGUI(kMidiPanic, 1.0);
  const Stereo out = player.Run(9600);
  EXPECT_NEAR(double(LastSound(out.left)), 4800.0, 3.0);
  EXPECT_EQ(player.Plug().GetVoiceManager().GetVoiceTables().GetActiveCount(), 0);

  // Set back to 0 it does nothing: a new note plays on.
  player.Plug().SetParameterFromGUI(kMidiPanic, 0.0);
  const Stereo again = player.Run(9600, {NoteOn(player.Now(), 69)});
  EXPECT_GT(Peak(again.left, 4800, 9600), kPresent);
}
