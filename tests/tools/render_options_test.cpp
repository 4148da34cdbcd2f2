#include "RenderOptions.h"
#include "VornaParams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
struct Parsed
{
  bool ok;
  RenderOptions options;
  std::string error;
};

Parsed Parse(std::vector<const char*> args)
{
  args.insert(args.begin(), "vorna-render");
  Parsed p;
  p.ok = ParseRenderOptions(int(args.size()), args.data(), &p.options, &p.error);
  return p;
}
}  // namespace

TEST(RenderOptions, DefaultsNeedOnlyTheTwoFiles)
{
  const Parsed p = Parse({"in.mid", "out.wav"});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.options.sampleRate, 48000);
  EXPECT_EQ(p.options.blockSize, 32);
  EXPECT_FALSE(p.options.seed.has_value());
  EXPECT_EQ(p.options.tailSeconds, 2.0);
  EXPECT_TRUE(p.options.settings.empty());
  EXPECT_EQ(p.options.midiPath, "in.mid");
  EXPECT_EQ(p.options.wavPath, "out.wav");
}

TEST(RenderOptions, EveryOptionTakesItsValue)
{
  const Parsed p = Parse({"--sample-rate", "44100", "in.mid", "--block-size", "64", "--seed", "4294967295", "--tail",
                          "0.5", "--set", "flt 1 f=440", "--set", " poly/mono = 0 ", "--set", "osc 1 on/off=1",
                          "--set", "hardsync master=2", "out.wav"});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.options.sampleRate, 44100);
  EXPECT_EQ(p.options.blockSize, 64);
  EXPECT_EQ(p.options.seed, 4294967295u);
  EXPECT_EQ(p.options.tailSeconds, 0.5);
  ASSERT_EQ(p.options.settings.size(), 4u);
  EXPECT_EQ(p.options.settings[0].paramIdx, kFlt1F);
  EXPECT_EQ(p.options.settings[0].value, 440.0);
  EXPECT_EQ(p.options.settings[1].paramIdx, kPolyMono);
  EXPECT_EQ(p.options.settings[1].value, 0.0);
  EXPECT_EQ(p.options.settings[2].paramIdx, kOsc1OnOff);
  EXPECT_EQ(p.options.settings[3].paramIdx, kHardsyncMaster);
  EXPECT_EQ(p.options.settings[3].value, 2.0);
  EXPECT_EQ(p.options.midiPath, "in.mid");
  EXPECT_EQ(p.options.wavPath, "out.wav");

  // Range ends are inside; a negative value where the range allows one.
  EXPECT_TRUE(Parse({"--set", "master lim softness=-0.001", "--sample-rate", "8000", "a", "b"}).ok);
  EXPECT_TRUE(Parse({"--set", "fm 2 amnt=-20", "--block-size", "16384", "--tail", "0", "a", "b"}).ok);
}

TEST(RenderOptions, BadArgumentsAreNamedInTheError)
{
  struct Case
  {
    std::vector<const char*> args;
    const char* errorPart;
  };
  const Case cases[] = {
      {{"--volume", "3", "a", "b"}, "unknown option \"--volume\""},
      {{"-x", "a", "b"}, "unknown option \"-x\""},
      {{"a", "b", "--seed"}, "--seed needs a value"},
      {{"a"}, "give the MIDI file to read and the WAV file to write"},
      {{}, "give the MIDI file"},
      {{"a", "b", "c"}, "unexpected argument \"c\""},
      {{"--sample-rate", "48k", "a", "b"}, "--sample-rate \"48k\""},
      {{"--sample-rate", "7999", "a", "b"}, "from 8000 to 384000"},
      {{"--sample-rate", "384001", "a", "b"}, "--sample-rate"},
      {{"--block-size", "0", "a", "b"}, "--block-size \"0\""},
      {{"--block-size", "-4", "a", "b"}, "--block-size"},
      {{"--block-size", "", "a", "b"}, "--block-size"},
      {{"--seed", "4294967296", "a", "b"}, "--seed"},
      {{"--seed", "1.5", "a", "b"}, "--seed"},
      {{"--tail", "-1", "a", "b"}, "--tail \"-1\""},
      {{"--tail", "nan", "a", "b"}, "--tail"},
      {{"--tail", "601", "a", "b"}, "from 0 to 600"},
      {{"--set", "glide", "a", "b"}, "needs the form \"NAME=VALUE\""},
      {{"--set", "flt f=100", "a", "b"}, "no parameter is named \"flt f\""},
      {{"--set", "Glide=1", "a", "b"}, "no parameter is named \"Glide\""},
      {{"--set", "flt 1 f=30000", "a", "b"}, "\"flt 1 f\" takes values from 10 to 20000"},
      {{"--set", "flt 1 f=9.99", "a", "b"}, "takes values from 10"},
      {{"--set", "glide=fast", "a", "b"}, "\"fast\" is not a number"},
      {{"--set", "glide=", "a", "b"}, "\"\" is not a number"},
      {{"--set", "glide=inf", "a", "b"}, "is not a number"},
      {{"--set", "max voice count=4.5", "a", "b"}, "\"max voice count\" takes whole numbers"},
      {{"--set", "osc 1 on/off=2", "a", "b"}, "takes values from 0 to 1"},
      {{"--set", "waveform 1=6", "a", "b"}, "takes values from 0 to 5"},
  };
  for (const Case& c : cases)
  {
    const Parsed p = Parse(c.args);
    EXPECT_FALSE(p.ok) << c.errorPart;
    EXPECT_NE(p.error.find(c.errorPart), std::string::npos) << "wanted \"" << c.errorPart << "\" in: " << p.error;
  }
}
