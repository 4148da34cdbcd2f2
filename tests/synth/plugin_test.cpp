#include "synth_test_support.h"

#include "globals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

using namespace synthtest;

TEST(Plugin, ConstructionAppliesTheDefaultPresetEverywhere)
{
  Vorna plug{IPlugInstanceInfo{}};
  EXPECT_TRUE(plug.AreParamsInitialized());
  for (int i = 0; i < kNumParams; ++i) EXPECT_EQ(plug.GetParam(i)->Value(), plug.GetParam(i)->GetDefault()) << i;
  ASSERT_EQ(plug.NPresets(), 5);
  for (int i = 0; i < 5; ++i)
  {
    EXPECT_STREQ(plug.GetPresetName(i), "default preset");
    EXPECT_EQ(plug.GetPreset(i)->mChunk.Size(), plug.GetPreset(0)->mChunk.Size());
    EXPECT_EQ(std::memcmp(plug.GetPreset(i)->mChunk.GetData(), plug.GetPreset(0)->mChunk.GetData(),
                          size_t(plug.GetPreset(0)->mChunk.Size())),
              0);
  }
  // Version, count, 138 values, 128 empty controller lists, the internal block.
  EXPECT_EQ(plug.GetPreset(0)->mChunk.Size(), 4 + 4 + 138 * 8 + 128 * 4 + 4 + 6 * 8 + 1);
  EXPECT_EQ(plug.GetPreset(0)->mChunk.Size(), 1677);
  EXPECT_FALSE(plug.GetMaskInput());
  EXPECT_FALSE(plug.IsPoolOn());
  // The defaults reached the engine: eight voices, the filters' cutoff.
  EXPECT_EQ(plug.GetVoiceManager().GetVoiceTables().GetMaxVoices(), 8);
  EXPECT_EQ(plug.GetMIDIReceiver().GetNoteOnCap(), 8);
  for (int i = 0; i < kNumParams; ++i) EXPECT_EQ(plug.GetMidiForgetText(i), "MIDI forget (none)");
}

TEST(Plugin, TheAMViewSwitchesStartInTheMiddleInEveryStoredForm)
{
  Vorna plug{IPlugInstanceInfo{}};
  EXPECT_EQ(plug.GetAMView(0), 0.5);
  EXPECT_EQ(plug.GetAMView(1), 0.5);

  // The internal block's count and both switch values, as a chunk holds them.
  std::vector<uint8_t> views(20);
  const int32_t count = 8;
  const double half = 0.5;
  std::memcpy(&views[0], &count, 4);
  std::memcpy(&views[4], &half, 8);
  std::memcpy(&views[12], &half, 8);
  auto occurrences = [&](const uint8_t* data, int size) {
    int n = 0;
    for (const uint8_t* at = data; (at = std::search(at, data + size, views.begin(), views.end())) != data + size; ++at)
      ++n;
    return n;
  };
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(occurrences(plug.GetPreset(i)->mChunk.GetData(), plug.GetPreset(i)->mChunk.Size()), 1) << i;
  auto saved = [&](bool bank) {
    const std::string path = testing::TempDir() + (bank ? "vorna_views.fxb" : "vorna_views.fxp");
    WDL_String wpath(path.c_str());
    EXPECT_TRUE(bank ? plug.SaveBankAsFXB(&wpath) : plug.SaveProgramAsFXP(&wpath));
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::remove(path.c_str());
    return bytes;
  };
  const std::vector<uint8_t> program = saved(false);
  EXPECT_EQ(occurrences(program.data(), int(program.size())), 1);
  const std::vector<uint8_t> bank = saved(true);
  EXPECT_EQ(occurrences(bank.data(), int(bank.size())), 5);
}

TEST(Plugin, NormalisedValuesBeyondZeroAndOneSoundAsTheNearestEnd)
{
  // What an editor or host sends reaches the sound clamped: "osc 1 vol" and
  // "flt 1 f" have shaped scales, where an unclamped -0.4 would give NaN or a
  // cutoff far up the range.
  Player player;
  player.SetNow({{kOsc2OnOff, 0.0}});
  Vorna& plug = player.Plug();
  player.Run(4800, {NoteOn(0, 69)});
  auto render = [&] { return player.Run(4800).left; };
  auto level = [&] { return ToneAmplitude(render(), 2400, 4800, 440.0, 48000.0); };
  const double full = level();
  ASSERT_GT(full, 0.1);

  plug.SetParameterFromGUI(kOsc1Vol, 1.7);
  EXPECT_NEAR(level(), full, 1e-6);
  plug.SetParameterFromGUI(kOsc1Vol, -0.4);
  const std::vector<double> muted = render();
  for (size_t i = 2400; i < muted.size(); ++i) ASSERT_EQ(muted[i], 0.0) << i;
  plug.SetParameterFromGUI(kOsc1Vol, std::nan(""));  // the default, 1
  EXPECT_NEAR(level(), full, 1e-6);

  // The lowest cutoff, 10 Hz, takes the 440 Hz tone down by some 50 dB.
  plug.SetParameterFromGUI(kFlt1F, -0.4);
  EXPECT_LT(level(), 0.01 * full);
}

TEST(Plugin, ContinuousParametersRampOverOneBlockDiscreteOnesJump)
{
  Player player;
  Vorna& plug = player.Plug();
  player.Run(512);
  ASSERT_EQ(plug.GetBlockLength(), 512);

  // "osc 1 vol" 1 -> 0: steps of 1/512, exactly 0 after 512 samples.
  plug.SetParameterFromGUI(kOsc1Vol, 0.0);
  EXPECT_TRUE(plug.IsRamping(kOsc1Vol));
  EXPECT_EQ(plug.GetSmoothCurrent(kOsc1Vol), 1.0);
  player.Run(100);
  EXPECT_NEAR(plug.GetSmoothCurrent(kOsc1Vol), 1.0 - 100.0 / 512.0, 1e-12);
  EXPECT_EQ(plug.GetVoiceManager().GetVoiceData().volume[0], plug.GetSmoothCurrent(kOsc1Vol));
  player.Run(411);
  EXPECT_TRUE(plug.IsRamping(kOsc1Vol));
  player.Run(1);
  EXPECT_FALSE(plug.IsRamping(kOsc1Vol));
  EXPECT_EQ(plug.GetVoiceManager().GetVoiceData().volume[0], 0.0);

  // The same value again does nothing; a change below 1e-10 per sample lands at once.
  plug.SetParameterFromGUI(kOsc1Vol, 0.0);
  EXPECT_FALSE(plug.IsRamping(kOsc1Vol));
  player.Run(512);
  plug.GetParam(kOsc1Vol)->Set(5e-8);  // 0.98e-10 per sample over 512
  plug.OnParamChange(kOsc1Vol);
  EXPECT_FALSE(plug.IsRamping(kOsc1Vol));
  EXPECT_EQ(plug.GetVoiceManager().GetVoiceData().volume[0], 5e-8);
  // The ramp follows the length of the last block.
  player.Run(100);
  plug.SetParameterFromGUI(kOsc1Vol, 1.0);
  player.Run(1);
  EXPECT_NEAR(plug.GetSmoothCurrent(kOsc1Vol), 5e-8 + (1.0 - 5e-8) / 100.0, 1e-12);

  // Discrete parameters reach the engine at once.
  plug.SetParameterFromGUI(kMaxVoiceCount, 1.0);
  EXPECT_EQ(plug.GetVoiceManager().GetVoiceTables().GetMaxVoices(), 32);
  EXPECT_FALSE(plug.IsRamping(kMaxVoiceCount));
}

TEST(Plugin, ARampScalesTheSoundSampleBySample)
{
  // The same note twice; in the second, "osc 1 vol" falls to 0 over the block.
  auto render = [](bool fade) {
    Player player;
    player.OneBareOscillator();
    player.Run(9 * 512, {NoteOn(0, 69)});
    if (fade) player.Plug().SetParameterFromGUI(kOsc1Vol, 0.0);
    return player.Run(1024);
  };
  const Stereo steady = render(false);
  const Stereo faded = render(true);
  for (long i = 0; i < 512; ++i)
  {
    if (std::fabs(steady.left[size_t(i)]) < 1e-3) continue;
    EXPECT_NEAR(faded.left[size_t(i)] / steady.left[size_t(i)], 1.0 - double(i + 1) / 512.0, 1e-9) << i;
  }
  for (long i = 512; i < 1024; ++i) EXPECT_EQ(faded.left[size_t(i)], 0.0) << i;
}

TEST(Plugin, DiscreteRoutesTranslateTheirValues)
{
  Player player;
  Vorna& plug = player.Plug();
  VoiceDataSingleton& data = plug.GetVoiceManager().GetVoiceData();
  // "o2->o1", "no hs", "o1->o2" are the engine's 2, 0, 1.
  const int codes[] = {2, 0, 1};
  for (int value = 0; value < 3; ++value)
  {
    player.SetNow({{kHardsyncMaster, value}});
    EXPECT_EQ(data.hardSyncMaster, codes[value]);
  }
  // Oversampling 0..3: ratios 0, 4, 8, 16.
  const double ratios[] = {0.0, 4.0, 8.0, 16.0};
  for (int value = 0; value < 4; ++value)
  {
    player.SetNow({{kOsc2Oversampling, value}});
    EXPECT_EQ(data.oversampling[1], ratios[value]);
    EXPECT_EQ(data.oversamplingSubStep[1], 1.0 / std::max(2.0, ratios[value]));
  }
  // Glide in seconds becomes samples.
  player.SetNow({{kGlide, 0.2}});
  EXPECT_EQ(plug.GetVoiceManager().GetVoiceTables().mGlideTime, 0.2 * 48000.0);
  // The bpm bend window is noticed from either oscillator.
  EXPECT_FALSE(plug.BendUsesBpm());
  player.SetNow({{kBend2WindowOrigin, 1}});
  EXPECT_TRUE(plug.BendUsesBpm());
  player.SetNow({{kBend1WindowOrigin, 1}, {kBend2WindowOrigin, 0}});
  EXPECT_TRUE(plug.BendUsesBpm());
  player.SetNow({{kBend1WindowOrigin, 0}});
  EXPECT_FALSE(plug.BendUsesBpm());
  // Poly to mono asks the next note for a fresh voice.
  player.SetNow({{kPolyMono, 0}});
  EXPECT_TRUE(plug.GetVoiceManager().GetVoiceTables().mFreshStart);
  EXPECT_EQ(plug.GetVoiceManager().GetVoiceTables().mMode, 0);
}

TEST(Plugin, GlideChangeRescalesRunningGlides)
{
  Player player;
  player.OneBareOscillator();
  player.SetNow({{kPolyMono, 0}, {kGlide, 0.1}});
  player.Run(4800, {NoteOn(0, 57), NoteOn(2400, 69)});
  const Voice& voice = player.Plug().GetVoiceManager().GetVoice(0);
  ASSERT_TRUE(voice.IsFrequencyGliding());
  const double step = voice.GetFrequencyGlideStep();
  player.Plug().GetParam(kGlide)->Set(0.2);
  player.Plug().OnParamChange(kGlide);
  EXPECT_DOUBLE_EQ(voice.GetFrequencyGlideStep(), step / 2.0);
}

TEST(Plugin, FramesWithoutAVoiceAreSilence)
{
  Player player;
  Vorna& plug = player.Plug();
  double left[256], right[256], in[256] = {};
  for (int i = 0; i < 256; ++i) left[i] = right[i] = 0.75;  // what the buffer held before
  double* inputs[2] = {in, in};
  double* outputs[2] = {left, right};
  plug.LockMutexAndProcessDoubleReplacing(inputs, outputs, 256);
  for (int i = 0; i < 256; ++i)
  {
    ASSERT_EQ(left[i], 0.0) << i;
    ASSERT_EQ(right[i], 0.0) << i;
  }
}

TEST(Plugin, MaskInputSubtractsTheFirstInputPair)
{
  Player player;
  Vorna& plug = player.Plug();
  plug.SetMaskInput(Vorna::kMaskInputBox, 1.0);
  EXPECT_TRUE(plug.GetMaskInput());
  const Stereo silent = player.Run(512, {}, 0.25);
  for (long i = 0; i < 512; ++i) ASSERT_EQ(silent.left[size_t(i)], -0.25) << i;

  Player unmasked;
  const Stereo note = unmasked.Run(2048, {NoteOn(0, 69)}, 0.25);
  const Stereo masked = player.Run(2048, {NoteOn(player.Now(), 69)}, 0.25);
  for (long i = 0; i < 2048; ++i) ASSERT_NEAR(masked.left[size_t(i)], note.left[size_t(i)] - 0.25, 1e-12) << i;

  // It subtracts the input as bounded for every reader: what is not finite
  // counts as 0, the rest is held within +-1000. 301 frames: two samples at a
  // time and the odd last one.
  Player quiet;
  quiet.Plug().SetMaskInput(Vorna::kMaskInputBox, 1.0);
  const double inf = std::numeric_limits<double>::infinity();
  const std::pair<double, double> inputAndOutput[] = {{std::nan(""), 0.0}, {inf, 0.0},   {-inf, 0.0},
                                                      {1e308, -1000.0},    {-1e308, 1000.0}, {-999.5, 999.5}};
  for (const auto& [input, output] : inputAndOutput)
  {
    const Stereo out = quiet.Run(301, {}, input);
    for (long i = 0; i < 301; ++i) ASSERT_EQ(out.right[size_t(i)], output) << input << " at " << i;
  }
}

TEST(Plugin, TheAuxEnvelopeFollowerRisesToWithinOnePercentIn250ms)
{
  Player player;
  Vorna& plug = player.Plug();
  player.SetNow({{kFm1Source, 4}});
  // A constant 1.0 on the FM input's left channel: after 0.25 s at 48 kHz the
  // level is 1 - 0.01, and the output is 0.6 of it.
  player.Run(12000, {}, 1.0);
  EXPECT_NEAR(plug.GetAuxFollower(0).GetLevel(), 0.99, 1e-9);
  // Follower 2 listens only while "fm 2 source" is "fm2 aux env".
  EXPECT_EQ(plug.GetAuxFollower(1).GetLevel(), 0.0);
  player.Run(48000 * 4, {}, 1.0);
  EXPECT_NEAR(plug.GetAuxFollower(0).GetLevel() * EnvelopeDetector::kOutputScale, 0.6, 1e-6);
}

TEST(Plugin, AnEventBeyondTheBlockWaitsForTheNextOne)
{
  Player player;
  player.OneBareOscillator();
  // Queued with offset 700 before a 512-frame block: sounds at 188 of the next.
  IMidiMsg msg(700, 0x90, 69, 127);
  player.Plug().ProcessMidiMsg(&msg);
  const Stereo out = player.Run(1024);
  for (long i = 0; i < 700; ++i) ASSERT_EQ(out.left[size_t(i)], 0.0) << i;
  EXPECT_NE(out.left[701], 0.0);
}

TEST(Plugin, ResetKeepsTheUsersTempoAndRefreshesTheFollowers)
{
  Player player;
  Vorna& plug = player.Plug();
  plug.OnGuiBpmChange(Vorna::kTempoField, 90.0);
  plug.Reset();
  EXPECT_EQ(PlugG::HOST_BPM, 90.0);
  EXPECT_EQ(PlugG::INV_BPM, 1.0 / 90.0);
  // At an unchanged rate too: rising 0.25 s, falling 1 s.
  EXPECT_DOUBLE_EQ(plug.GetAuxFollower(0).GetAttackCoefficient(), std::pow(0.01, 1.0 / 12000.0));
  EXPECT_DOUBLE_EQ(plug.GetAuxFollower(1).GetReleaseCoefficient(), std::pow(0.01, 1.0 / 48000.0));
  // Tempos are kept to [1, 360]; NaN changes nothing.
  plug.OnGuiBpmChange(Vorna::kTempoField, 1000.0);
  EXPECT_EQ(PlugG::HOST_BPM, 360.0);
  plug.OnGuiBpmChange(Vorna::kTempoField, std::nan(""));
  EXPECT_EQ(PlugG::HOST_BPM, 360.0);
  plug.OnGuiBpmChange(Vorna::kTempoField, 120.0);
}

TEST(Plugin, ANewSampleRateKeepsGlideTimesInSeconds)
{
  Player player(96000);
  EXPECT_EQ(player.Plug().GetVoiceManager().GetVoiceTables().mGlideTime, 0.1 * 96000.0);
  Player back(48000);
  EXPECT_EQ(back.Plug().GetVoiceManager().GetVoiceTables().mGlideTime, 0.1 * 48000.0);
}

TEST(Plugin, TheSameSeedRendersTheSameSamples)
{
  // Noise and every shiver draw from the engine's generator.
  auto render = [](uint64_t seed) {
    Player player(48000, 512, seed);
    player.SetNow({{kNoise1Amnt, 0.5}, {kTune1ShiverAmount, 1.0}, {kPan1ShiverAmount, 0.5},
                   {kCutoff2ShiverAmount, 0.7}, {kBend1ShiverAmount, 0.3}});
    return player.Run(9600, {NoteOn(0, 60), NoteOn(100, 64), NoteOff(6000, 60)});
  };
  const Stereo a = render(7);
  const Stereo b = render(7);
  EXPECT_EQ(a.left, b.left);
  EXPECT_EQ(a.right, b.right);
  EXPECT_NE(a.left, render(8).left);
}
