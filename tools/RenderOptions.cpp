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

std::string Trimmed(const std::string& text)
{
  const char* blanks = " \t";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

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

int FindParam(const std::string& name)
{
  for (int i = 0; i < kNumParams; ++i)
    if (name == GetVornaParamRow(i).name) return i;
  return -1;
}
}  // namespace

const char* RenderUsage()
{
  return "usage: vorna-render [--sample-rate HZ] [--block-size N] [--seed N] [--tail SECONDS] "
         "[--set \"NAME=VALUE\"]... IN.mid OUT.wav";
}

bool ParseParamSetting(const std::string& text, ParamSetting* setting, std::string* error)
{
  const size_t equals = text.find('=');
  if (equals == std::string::npos)
  {
    *error = "--set " + Quoted(text) + " needs the form \"NAME=VALUE\"";
    return false;
  }
  const std::string name = Trimmed(text.substr(0, equals));
  const std::string valueText = Trimmed(text.substr(equals + 1));
  const int index = FindParam(name);
  if (index < 0)
  {
    *error = "--set " + Quoted(text) + ": no parameter is named " + Quoted(name);
    return false;
  }
  const VornaParamRow& row = GetVornaParamRow(index);
  double value;
  if (!ParseNumber(valueText, &value))
  {
    *error = "--set " + Quoted(text) + ": " + Quoted(valueText) + " is not a number";
    return false;
  }
  if (value < row.minValue || value > row.maxValue)
  {
    *error = "--set " + Quoted(text) + ": " + Quoted(name) + " takes values from " + Number(row.minValue) +
             " to " + Number(row.maxValue);
    return false;
  }
  if (row.kind != IParam::kTypeDouble && value != std::floor(value))
  {
    *error = "--set " + Quoted(text) + ": " + Quoted(name) + " takes whole numbers";
    return false;
  }
  setting->paramIdx = index;
  setting->value = value;
  return true;
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
