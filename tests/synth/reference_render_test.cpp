// Renders a set of patches through the plug-in and compares each render, bit
// for bit, with the render this build's engine gave when the figures below
// were recorded. The engine's inner loops are rearranged for speed; every such
// change must leave these renders exactly as they were. A change meant to alter
// the sound records new figures and says so in its commit.
//
// VORNA_PRINT_RENDER_HASHES=1 prints the figures of the present build.
#include "synth_test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
using synthtest::Event;
using synthtest::Player;

constexpr long kFrames = 12000;  // a quarter second at 48 kHz: attacks, decays and the first sustain
constexpr int kLowestKey = 24;
constexpr int kKeyStep = 2;

struct ReferenceCase
{
  const char* name;
  int notes;
  std::vector<std::pair<int, double>> settings;
  double inputLevel;
  std::uint64_t hash;
};

// FNV-1a over the bytes of both channels: any change of any bit of any sample changes it.
std::uint64_t HashOf(const synthtest::Stereo& s)
{
  std::uint64_t h = 14695981039346656037ull;
  for (const std::vector<double>* channel : {&s.left, &s.right})
  {
    for (double x : *channel)
    {
      unsigned char bytes[sizeof(double)];
      std::memcpy(bytes, &x, sizeof(double));
      for (unsigned char b : bytes) h = (h ^ b) * 1099511628211ull;
    }
  }
  return h;
}

synthtest::Stereo Render(const ReferenceCase& c)
{
  Player player;
  for (const auto& setting : c.settings) player.SetNow({setting});
  std::vector<Event> events;
  for (int k = 0; k < c.notes; ++k) events.push_back(synthtest::NoteOn(0, kLowestKey + kKeyStep * k, 100));
  // Half the keys lift early, so releases and voices going silent are part of every render.
  for (int k = 0; k < c.notes; k += 2) events.push_back(synthtest::NoteOff(kFrames / 2, kLowestKey + kKeyStep * k));
  return player.Run(kFrames, events, c.inputLevel);
}

// 32 voices of two saws through filter model `model` at 1 kHz, q 0.4, swept by
// the envelope (A 0.1 s, D 0.1 s, S 0).
std::vector<std::pair<int, double>> SweptSaws(double model)
{
  return {{kMaxVoiceCount, 32}, {kWaveform1, 1}, {kWaveform2, 1}, {kFlt1Model, model}, {kFlt2Model, model},
          {kFlt1F, 1000},       {kFlt2F, 1000},  {kFlt1Q, 0.4},     {kFlt2Q, 0.4},       {kFlt1Env, 0.5},
          {kFlt2Env, 0.5},      {kFlt1A, 0.1},   {kFlt2A, 0.1},     {kFlt1D, 0.1},       {kFlt2D, 0.1},
          {kFlt1S, 0.0},        {kFlt2S, 0.0}};
}

const std::vector<ReferenceCase>& Cases()
{
  static const std::vector<ReferenceCase> cases = {
      {"default 8", 8, {}, 0.0, 0x2e1108b7d248cc71ull},
      {"default 32", 32, {{kMaxVoiceCount, 32}}, 0.0, 0xe34bb93d7091dab1ull},
      {"reson saws 32",
       32,
       {{kMaxVoiceCount, 32}, {kWaveform1, 1}, {kWaveform2, 1}, {kFlt1Model, 0}, {kFlt2Model, 0}, {kFlt1F, 2000},
        {kFlt2F, 2000}, {kFlt1Q, 0.4}, {kFlt2Q, 0.4}, {kFlt1Env, 0.5}, {kFlt2Env, 0.5}},
       0.0, 0x605fd0559f8e7f7dull},
      {"t ladder 32",
       32,
       {{kMaxVoiceCount, 32}, {kWaveform1, 1}, {kWaveform2, 1}, {kFlt1Model, 3}, {kFlt2Model, 3}, {kFlt1F, 2000},
        {kFlt2F, 2000}, {kFlt1Q, 0.4}, {kFlt2Q, 0.4}, {kFlt1Env, 0.5}, {kFlt2Env, 0.5}, {kFlt1Drive, 0.5},
        {kFlt2Drive, 0.5}},
       0.0, 0x51f2146abb4eed05ull},
      {"moog 32",
       32,
       {{kMaxVoiceCount, 32}, {kWaveform1, 2}, {kWaveform2, 3}, {kFlt1Model, 4}, {kFlt2Model, 4}, {kFlt1F, 1500},
        {kFlt2F, 1500}, {kFlt1Q, 0.6}, {kFlt2Q, 0.6}, {kFlt1Env, 0.7}, {kFlt2Env, 0.7}, {kFlt1Drive, 0.8},
        {kFlt2Drive, 0.8}},
       0.0, 0x5894d39f5e7075e5ull},
      {"formant x16 8", 8, {{kOsc1Oversampling, 3}, {kOsc2Oversampling, 3}, {kWaveform1, 4}, {kWaveform2, 5},
        {kFlt1Model, 2}, {kFlt2Model, 2}}, 0.0, 0x926a7dd77dee1645ull},
      {"saws simple env 32", 32, SweptSaws(1), 0.0, 0x5ecf644bdaac5a31ull},
      {"saws t ladder env 32", 32, SweptSaws(3), 0.0, 0xe2917ca30467d7e5ull},
      {"saws moog env 32", 32, SweptSaws(4), 0.0, 0xcb900f51b3af28a5ull},
      {"squares and triangles swept down 8",
       8,
       {{kWaveform1, 2}, {kWaveform2, 3}, {kFlt1PassType, 1}, {kFlt2PassType, 2}, {kFlt1F, 3000}, {kFlt2F, 3000},
        {kFlt1Q, 0.7}, {kFlt2Q, 0.7}, {kFlt1Env, -0.6}, {kFlt2Env, -0.6}, {kFlt1A, 0.05}, {kFlt2A, 0.05},
        {kFlt1D, 0.08}, {kFlt2D, 0.08}, {kFlt1S, 0.3}, {kFlt2S, 0.3}},
       0.0, 0xea757c9db6afdcb1ull},
      {"fm 8", 8, {{kFm1Amnt, 2.0}}, 0.0, 0xeb60142dc7ac33c9ull},
      {"fm from the envelope into saws 8", 8,
       {{kWaveform1, 1}, {kWaveform2, 1}, {kFm2Amnt, 4.0}, {kFm2Source, 2}, {kFlt2Env, 0.5}}, 0.0, 0x17867843154d6259ull},
      {"feedback saws 8", 8, {{kWaveform1, 1}, {kOscFb1, 0.6}, {kOscFb2, 0.3}, {kFlt1Env, 0.4}}, 0.0, 0xad3898aef64030d5ull},
      {"x4 8", 8, {{kOsc1Oversampling, 1}, {kOsc2Oversampling, 1}}, 0.0, 0x3683597d89f9bd21ull},
      {"x16 fm saws 8", 8,
       {{kOsc1Oversampling, 3}, {kWaveform1, 1}, {kWaveform2, 1}, {kFm1Amnt, 3.0}, {kFlt1Env, 0.4}}, 0.0, 0xcd232fe7194b7a61ull},
      {"hard sync saws 8", 8,
       {{kWaveform1, 1}, {kWaveform2, 1}, {kHardsyncMaster, 0}, {kTune1Width, 24}, {kTune1, 0.6}}, 0.0,
       0xc64f0a789e875925ull},
      // Recorded from the frame-by-frame road: shivers walking the cutoff, the
      // pitch and the level, and noise, alone and together.
      {"cutoff shiver saws 8", 8,
       {{kWaveform1, 1}, {kWaveform2, 1}, {kFlt1F, 2000}, {kFlt2F, 2000}, {kCutoff1ShiverAmount, 0.5},
        {kCutoff2ShiverAmount, 0.5}},
       0.0, 0xc3397e764f785eddull},
      {"cutoff shiver in step over a swept moog 32", 32,
       [] {
         auto s = SweptSaws(4);
         s.insert(s.end(), {{kCutoffShiverSync, 2}, {kCutoff1ShiverAmount, 0.7}, {kCutoff1ShiverSpeed, 30}});
         return s;
       }(),
       0.0, 0xba094f202a9a3879ull},
      {"tune and pan shivers 8", 8,
       {{kWaveform1, 1}, {kTune1ShiverAmount, 0.5}, {kTune2ShiverAmount, 0.3}, {kTuneShiverSync, 1},
        {kPan1ShiverAmount, 0.6}, {kPan2ShiverAmount, 0.4}, {kFlt1Env, 0.4}},
       0.0, 0xed62e7cbbbf9adcbull},
      {"noise saws 8", 8,
       {{kWaveform1, 1}, {kWaveform2, 1}, {kNoise1Amnt, 0.3}, {kNoise2Amnt, 0.3}, {kNoise2Color, -0.5},
        {kAm2Depth, 0.4}},
       0.0, 0x65f4051ef74eb2abull},
      {"noise under walking shivers 32", 32,
       {{kMaxVoiceCount, 32}, {kWaveform1, 1}, {kNoise1Amnt, 0.2}, {kCutoff1ShiverAmount, 0.4},
        {kTune2ShiverAmount, 0.5}, {kPan1ShiverAmount, 0.5}, {kFlt2Env, 0.5}},
       0.0, 0x7e9dae8365124bddull},
      {"modulated 6",
       6,
       {{kNoise1Amnt, 0.4}, {kIn2Amnt, 0.5}, {kAm2Depth, 0.6}, {kFm1Amnt, 0.3}, {kFm2Source, 1}, {kFm2Amnt, 0.2},
        {kOam1, 0.5}, {kHardsyncMaster, 2}, {kTune1ShiverAmount, 0.5}, {kBend2ShiverAmount, 0.5},
        {kCutoff1ShiverAmount, 0.5}, {kPan2ShiverAmount, 0.5}, {kOscFb2, 0.3}, {kDcr1, 1}},
       0.25, 0x9c12d4b86c2d3fd9ull},
  };
  return cases;
}

TEST(ReferenceRender, EveryPatchRendersBitForBitAsRecorded)
{
  const bool print = std::getenv("VORNA_PRINT_RENDER_HASHES") != nullptr;
  for (const ReferenceCase& c : Cases())
  {
    const synthtest::Stereo s = Render(c);
    double peak = 0.0;
    for (double x : s.left) peak = std::max(peak, std::fabs(x));
    // A silent render would match any other silent render: each patch must sound.
    EXPECT_GT(peak, 1e-3) << c.name;
    const std::uint64_t h = HashOf(s);
    if (print) std::printf("      {\"%s\" ... 0x%016llxull}\n", c.name, static_cast<unsigned long long>(h));
    EXPECT_EQ(h, c.hash) << c.name;
  }
}
}  // namespace
