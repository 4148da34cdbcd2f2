#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A parameter set from the command line, found in the parameter table.
struct ParamSetting
{
  int paramIdx;
  double value;  // plain value, inside the parameter's range
};

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

// "NAME=VALUE": NAME exactly as the parameter table names it (blanks around it
// ignored), VALUE a plain value: any number inside a continuous parameter's
// range, a whole number for the other kinds (a switch takes 0 or 1).
bool ParseParamSetting(const std::string& text, ParamSetting* setting, std::string* error);
