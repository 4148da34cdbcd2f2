#include "VornaParams.h"

#include "IParam.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

// The parameters by name, as the command-line tools and the host set them.
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

std::string Number(double value)
{
  char text[64];
  std::snprintf(text, sizeof(text), "%.10g", value);
  return text;
}
}  // namespace

int FindParam(const std::string& name)
{
  for (int i = 0; i < kNumParams; ++i)
    if (name == GetVornaParamRow(i).name) return i;
  return -1;
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

