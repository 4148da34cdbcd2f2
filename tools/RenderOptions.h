#pragma once

#include "VornaParams.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What vorna-render was asked to do.
struct RenderOptions
{
  static constexpr int kDefaultSampleRate = 48000;
  // The application's default sub-block: the instrument caps note-ons per
  // block, so a file renders as the application plays it only in its blocks.
  static constexpr int kDefaultBlockSize = 32;
  static constexpr double kDefaultTailSeconds = 2.0;

  static constexpr int kMinSampleRate = 8000;
  static constexpr int kMaxSampleRate = 384000;
  static constexpr int kMinBlockSize = 1;
  static constexpr int kMaxBlockSize = 16384;
  static constexpr double kMaxTailSeconds = 600.0;

  int sampleRate = kDefaultSampleRate;
  int blockSize = kDefaultBlockSize;
  std::optional<uint32_t> seed;  // none: seeded from the clock
  double tailSeconds = kDefaultTailSeconds;
  std::vector<ParamSetting> settings;  // in command-line order
  std::string midiPath;
  std::string wavPath;
};

// The one-line synopsis printed with option errors.
const char* RenderUsage();

// Parses argv[1 ..]. On a bad option, a bad number, an unknown parameter name
// or a value outside its parameter's range returns false with a sentence that
// names the offending argument in error.
bool ParseRenderOptions(int argc, const char* const* argv, RenderOptions* options, std::string* error);
