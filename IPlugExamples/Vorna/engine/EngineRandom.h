#pragma once

#include <cstdint>

// The engine's own random generator, shared by the noise source and the shiver
// walks. One instance per engine, handed to its users by reference: no global
// state, no lock, no allocation, so it is safe on the audio thread and a render
// seeded explicitly repeats bit for bit.
//
// SplitMix64 underneath; Next() keeps the top 31 bits, the range the noise and
// shiver arithmetic is written for.
class EngineRandom
{
public:
  static constexpr int kMax = 2147483647;  // 2^31 - 1, the largest value Next() returns

  // Seeded from the clock, so two runs of the instrument differ.
  EngineRandom();
  explicit EngineRandom(std::uint64_t seed) { Seed(seed); }

  // Restarts the sequence; the same seed always gives the same sequence.
  void Seed(std::uint64_t seed) { mState = seed; }

  // Uniform in [0, kMax].
  int Next()
  {
    mState += kGoldenGamma;
    std::uint64_t z = mState;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<int>(z >> 33);
  }

private:
  static constexpr std::uint64_t kGoldenGamma = 0x9E3779B97F4A7C15ull;

  std::uint64_t mState = 0;
};
