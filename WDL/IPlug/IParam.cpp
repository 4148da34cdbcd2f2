#include "IParam.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace
{
// ln(10) / 20: decibels to the exponent of e.
constexpr double kDBToExponent = 0.1151292546497;

// Steps such as 0.07 do not scale to an exact whole number in binary
// (0.07 * 10 * 10 is 7.000000000000001), so "whole" allows a relative error
// far below any step a parameter would use.
constexpr double kWholeTolerance = 1e-9;
constexpr int kMaxPrecision = 6;

bool IsWhole(double x)
{
  return std::fabs(x - std::nearbyint(x)) <= kWholeTolerance * std::fabs(x);
}

// Decimals needed to show every multiple of step.
int PrecisionFromStep(double step)
{
  if (IsWhole(step)) return 0;
  double scaled = step;
  for (int k = 1; k < kMaxPrecision; ++k)
  {
    scaled *= 10.0;
    if (IsWhole(scaled)) return k;
  }
  return kMaxPrecision;
}

// (int) of a double without undefined behaviour for NaN or values past the int range.
int TruncToInt(double x)
{
  if (std::isnan(x)) return 0;
  if (x >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (x <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(x);
}

void CopyText(char* field, const char* text)
{
  std::snprintf(field, IParam::kTextSize, "%s", text ? text : "");
}
}  // namespace

void IParam::InitCommon(EParamKind kind, const char* name, const char* label, const char* group, double minVal,
                        double maxVal, double step, double defaultVal)
{
  if (mType == kTypeNone) mType = kind;
  CopyText(mName, name);
  CopyText(mLabel, label);
  CopyText(mParamGroup, group);
  mMin = minVal;
  mMax = maxVal;
  mStep = step;
  mValue = mDefault = defaultVal;
}

void IParam::InitBool(const char* name, bool defaultVal, const char* label, const char* group)
{
  InitCommon(kTypeBool, name, label, group, 0.0, 1.0, 1.0, defaultVal ? 1.0 : 0.0);
  mShape = 1.0;
  mDisplayPrecision = 0;
  SetDisplayText(0, "off");
  SetDisplayText(1, "on");
}

void IParam::InitEnum(const char* name, int defaultVal, int nEnums, const char* label, const char* group)
{
  InitCommon(kTypeEnum, name, label, group, 0.0, std::max(1.0, static_cast<double>(nEnums) - 1.0), 1.0, defaultVal);
  mShape = 1.0;
  mDisplayPrecision = 0;
}

void IParam::InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label, const char* group)
{
  InitCommon(kTypeInt, name, label, group, minVal, std::max(static_cast<double>(minVal) + 1.0, static_cast<double>(maxVal)),
             1.0, defaultVal);
  mShape = 1.0;
  mDisplayPrecision = 0;
}

void IParam::InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                        const char* label, const char* group, double shape)
{
  InitCommon(kTypeDouble, name, label, group, minVal, std::max(minVal + step, maxVal), step, defaultVal);
  SetShape(shape);
  mDisplayPrecision = PrecisionFromStep(step);
}

void IParam::SetShape(double shape)
{
  if (shape > 0.0) mShape = shape;
}

double IParam::ClampToRange(double value) const
{
  if (value > mMax) return mMax;
  if (value < mMin) return mMin;
  return value;
}

void IParam::Set(double value)
{
  mValue = ClampToRange(std::isnan(value) ? mDefault : value);
}

void IParam::SetNormalized(double normalizedValue)
{
  if (std::isnan(normalizedValue))
  {
    Set(mDefault);
    return;
  }
  double value = GetNonNormalized(normalizedValue);
  if (mType != kTypeDouble && mStep > 0.0) value = std::floor(value / mStep + 0.5) * mStep;
  // Rounding to the step can pass the maximum when the range is not a whole number of steps.
  mValue = ClampToRange(value);
}

void IParam::SetDisplayText(int value, const char* text)
{
  DisplayTextEntry entry{};
  entry.mValue = value;
  CopyText(entry.mText, text);
  mDisplayTexts.Add(entry);
}

int IParam::Int() const { return TruncToInt(mValue); }

double IParam::DBToAmp() const { return std::exp(mValue * kDBToExponent); }

void IParam::GetBounds(double* minVal, double* maxVal) const
{
  if (minVal) *minVal = mMin;
  if (maxVal) *maxVal = mMax;
}

double IParam::GetNormalized(double value) const
{
  if (std::isnan(value)) value = mDefault;
  const double range = mMax - mMin;
  if (!(range > 0.0)) return 0.0;
  return std::pow((ClampToRange(value) - mMin) / range, 1.0 / GetShape());
}

double IParam::GetNonNormalized(double normalizedValue) const
{
  if (std::isnan(normalizedValue)) return ClampToRange(mDefault);
  const double n = std::clamp(normalizedValue, 0.0, 1.0);
  return mMin + (mMax - mMin) * std::pow(n, GetShape());
}

void IParam::GetDisplayForHost(double value, bool normalized, char* out, bool withDisplayText) const
{
  if (!out) return;
  if (normalized)
    value = GetNonNormalized(value);
  else if (std::isnan(value))
    value = mDefault;

  if (withDisplayText)
  {
    const DisplayTextEntry* entry = FindDisplayText(TruncToInt(value));
    if (entry && entry->mText[0])
    {
      std::snprintf(out, kDisplaySize, "%s", entry->mText);
      return;
    }
  }

  // Adding +0 turns a negated zero into 0, which prints without a sign.
  if (mNegateDisplay) value = -value + 0.0;

  if (mDisplayPrecision == 0)
    std::snprintf(out, kDisplaySize, "%d", TruncToInt(value));
  else
    std::snprintf(out, kDisplaySize, "%.*f", mDisplayPrecision, value);
}

const IParam::DisplayTextEntry* IParam::FindDisplayText(int value) const
{
  const DisplayTextEntry* entries = mDisplayTexts.Get();
  for (int i = 0; i < mDisplayTexts.GetSize(); ++i)
    if (entries[i].mValue == value) return &entries[i];
  return nullptr;
}

const char* IParam::GetDisplayText(int value) const
{
  const DisplayTextEntry* entry = FindDisplayText(value);
  return entry ? entry->mText : "";
}

const char* IParam::GetDisplayTextAtIdx(int index, int* value) const
{
  if (index < 0 || index >= mDisplayTexts.GetSize()) return "";
  const DisplayTextEntry& entry = mDisplayTexts.Get()[index];
  if (value) *value = entry.mValue;
  return entry.mText;
}

bool IParam::MapDisplayText(const char* text, int* value) const
{
  if (!text) return false;
  const DisplayTextEntry* entries = mDisplayTexts.Get();
  for (int i = 0; i < mDisplayTexts.GetSize(); ++i)
  {
    if (std::strcmp(entries[i].mText, text) == 0)
    {
      if (value) *value = entries[i].mValue;
      return true;
    }
  }
  return false;
}

const char* IParam::GetLabelForHost(double value) const
{
  const DisplayTextEntry* entry = FindDisplayText(TruncToInt(value));
  return (entry && entry->mText[0]) ? "" : mLabel;
}
