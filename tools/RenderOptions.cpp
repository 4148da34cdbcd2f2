#include "RenderOptions.h"

#include "VornaParams.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The whole text as a finite number.
bool ParseNumber(const std::string& text, double* value)
{
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

// The whole text as a whole number in [minValue, maxValue].
bool ParseWhole(const std::string& text, long long minValue, long long maxValue, long long* value)
{
  if (text.empty() || text[0] == '-' || text[0] == '+' || text[0] == ' ') return false;
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (end != text.c_str() + text.size() || errno == ERANGE || v < minValue || v > maxValue) return false;
  *value = v;
  return true;
}

std::string Number(double value)
{
  char text[64];
  std::snprintf(text, sizeof(text), "%.10g", value);
  return text;
}

}  // namespace

const char* RenderUsage()
{
  return "usage: vorna-render [--sample-rate HZ] [--block-size N] [--seed N] [--tail SECONDS] "
         "[--set \"NAME=VALUE\"]... IN.mid OUT.wav";
}

bool ParseRenderOptions(int argc, const char* const* argv, RenderOptions* options, std::string* error)
{
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i)
  {
    const std::string arg = argv[i];
    if (arg.size() < 2 || arg[0] != '-')
    {
      positional.push_back(arg);
      continue;
    }
    const bool known = arg == "--sample-rate" || arg == "--block-size" || arg == "--seed" || arg == "--tail" ||
                       arg == "--set";
    if (!known)
    {
      *error = "unknown option " + Quoted(arg);
      return false;
    }
    if (i + 1 >= argc)
    {
      *error = arg + " needs a value";
      return false;
    }
    const std::string value = argv[++i];
    long long whole;
    if (arg == "--sample-rate")
    {
      if (!ParseWhole(value, RenderOptions::kMinSampleRate, RenderOptions::kMaxSampleRate, &whole))
      {
        *error = "--sample-rate " + Quoted(value) + ": give a whole number of Hz from " +
                 std::to_string(RenderOptions::kMinSampleRate) + " to " + std::to_string(RenderOptions::kMaxSampleRate);
        return false;
      }
      options->sampleRate = int(whole);
    }
    else if (arg == "--block-size")
    {
      if (!ParseWhole(value, RenderOptions::kMinBlockSize, RenderOptions::kMaxBlockSize, &whole))
      {
        *error = "--block-size " + Quoted(value) + ": give a whole number of frames from " +
                 std::to_string(RenderOptions::kMinBlockSize) + " to " + std::to_string(RenderOptions::kMaxBlockSize);
        return false;
      }
      options->blockSize = int(whole);
    }
    else if (arg == "--seed")
    {
      if (!ParseWhole(value, 0, UINT32_MAX, &whole))
      {
        *error = "--seed " + Quoted(value) + ": give a whole number from 0 to " + std::to_string(UINT32_MAX);
        return false;
      }
      options->seed = uint32_t(whole);
    }
    else if (arg == "--tail")
    {
      double seconds;
      if (!ParseNumber(value, &seconds) || seconds < 0.0 || seconds > RenderOptions::kMaxTailSeconds)
      {
        *error = "--tail " + Quoted(value) + ": give a number of seconds from 0 to " +
                 Number(RenderOptions::kMaxTailSeconds);
        return false;
      }
      options->tailSeconds = seconds;
    }
    else
    {
      ParamSetting setting;
      if (!ParseParamSetting(value, &setting, error)) return false;
      options->settings.push_back(setting);
    }
  }
  if (positional.size() != 2)
  {
    *error = positional.size() < 2 ? "give the MIDI file to read and the WAV file to write"
                                   : "unexpected argument " + Quoted(positional[2]);
    return false;
  }
  options->midiPath = positional[0];
  options->wavPath = positional[1];
  return true;
}
