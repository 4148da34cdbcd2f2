#pragma once

// The patterns render-bench times and instructions.sh counts: named patches of
// ours, and the peer synthesizer playing the same chord, each rendered for a
// given time at 48 kHz in blocks of 256 on the calling thread.
#include <string>
#include <vector>

namespace render_patterns
{
constexpr int kSampleRate = 48000;
constexpr int kBlockSize = 256;
constexpr int kLowestKey = 24;
constexpr int kKeyStep = 2;
constexpr int kVelocity = 100;

struct Patch
{
  const char* name;
  int notes;                          // held from the first frame; none: the idle engine
  std::vector<const char*> settings;  // "NAME=VALUE", as vorna-render's --set takes them
  double target;                      // real-time factor at least; idle: ns per frame at most; 0: none
  bool peer;                          // the peer plays the same chord beside it
  // The peer's control ports ("port_name=VALUE") that differ from their defaults.
  std::vector<const char*> peerSettings = {};
};

const std::vector<Patch>& Patches();
const Patch* Find(const std::string& name);
// Keys 24 + 2k, k < notes.
std::vector<int> Chord(int notes);

struct Render
{
  double cpuSeconds = 0.0;  // of the calling thread, the blocks' processing only
  double peak = 0.0;        // of the first frame of every block: shows that it sounds
  bool ok = true;
  std::string error;
};

// Ours: the patch through the plug-in.
Render RenderOurs(const Patch& patch, double seconds);
// The peer holding the patch's chord: its default sound with the patch's peer settings.
Render RenderPeer(const Patch& patch, double seconds);
}  // namespace render_patterns
