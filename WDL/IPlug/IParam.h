#pragma once

#include "heapbuf.h"

#include <atomic>

// One automatable value of a plug-in: kind, range, step, value curve, display
// precision, the names it is shown under and optional texts for single values.
//
// Set and SetNormalized keep the plain value within [minimum, maximum], and a
// NaN handed to either selects the default value.
class IParam
{
public:
  enum EParamKind : int
  {
    kTypeNone = 0,
    kTypeBool = 1,
    kTypeInt = 2,
    kTypeEnum = 3,
    kTypeDouble = 4
  };

  // Size of the name, label, group and display-text fields, NUL included;
  // longer texts are cut.
  static constexpr int kTextSize = 32;
  // The size GetDisplayForHost needs for its output.
  static constexpr int kDisplaySize = 128;

  struct DisplayTextEntry
  {
    int mValue;
    char mText[kTextSize];
  };

  IParam() = default;

  // Each Init sets the kind only while it is still kTypeNone: a parameter
  // initialised twice keeps its first kind but takes the new range and texts.
  // Value and default become defaultVal.
  void InitBool(const char* name, bool defaultVal, const char* label, const char* group);
  // Range 0 .. max(1, nEnums - 1).
  void InitEnum(const char* name, int defaultVal, int nEnums, const char* label, const char* group);
  // Range minVal .. max(minVal + 1, maxVal).
  void InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label, const char* group);
  // Range minVal .. max(minVal + step, maxVal); the display precision follows
  // from the step; a shape of 0 keeps the current shape.
  void InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step, const char* label,
                  const char* group, double shape);

  // The exponent of the value curve; 0 (and any other non-positive or NaN
  // exponent, which would map the range outside itself) leaves it unchanged.
  void SetShape(double shape);
  // Shows the value negated in GetDisplayForHost.
  void NegateDisplay() { mNegateDisplay = true; }

  // Sets the plain value, clamped to the range, not snapped to the step.
  void Set(double value);
  // Sets the value from 0..1 (clamped): through the value curve, then, unless
  // the parameter is a double, to the nearest step.
  void SetNormalized(double normalizedValue);
  void SetDisplayText(int value, const char* text);
  // Drops every display text, so that a table of its own can replace the
  // "off" and "on" that InitBool attaches (lookups take the first entry).
  void ClearDisplayTexts() { mDisplayTexts.Resize(0, false); }

  EParamKind Type() const { return mType; }
  double Value() const { return mValue; }
  bool Bool() const { return mValue >= 0.5; }
  // The value truncated toward zero (saturating at the int range).
  int Int() const;
  // The value read as decibels, as a linear gain.
  double DBToAmp() const;

  double GetMin() const { return mMin; }
  double GetMax() const { return mMax; }
  void GetBounds(double* minVal, double* maxVal) const;
  double GetStep() const { return mStep; }
  double GetShape() const { return mShape.load(); }
  double GetDefault() const { return mDefault; }
  int GetPrecision() const { return mDisplayPrecision; }
  bool GetNegateDisplay() const { return mNegateDisplay; }

  double GetNormalized() const { return GetNormalized(mValue); }
  // The plain value clamped to the range, normalised to 0..1.
  double GetNormalized(double value) const;
  // minimum + (maximum - minimum) * n^shape, with n clamped to 0..1.
  double GetNonNormalized(double normalizedValue) const;

  // Writes the value's display text (at most kDisplaySize bytes): its display
  // text when one is wanted and defined, else the number with the display
  // precision, negated when NegateDisplay was set.
  void GetDisplayForHost(double value, bool normalized, char* out, bool withDisplayText) const;

  // The first entry for value, or "".
  const char* GetDisplayText(int value) const;
  int GetNDisplayTexts() const { return mDisplayTexts.GetSize(); }
  // The text of entry index, storing its value when value is not null; for an
  // index outside the table "" is returned and value is left untouched.
  const char* GetDisplayTextAtIdx(int index, int* value = nullptr) const;
  // Finds the first entry whose text equals text exactly (case-sensitive) and
  // stores its value; false, with value untouched, when none does.
  bool MapDisplayText(const char* text, int* value) const;

  const char* GetNameForHost() const { return mName; }
  // "" while the current value has a non-empty display text.
  const char* GetLabelForHost() const { return GetLabelForHost(mValue); }
  // The same for a plain value, without reading the current one (which the audio
  // thread may be setting).
  const char* GetLabelForHost(double value) const;
  const char* GetParamGroupForHost() const { return mParamGroup; }

private:
  // Shared by the Init functions: the kind (while unset), names and range.
  void InitCommon(EParamKind kind, const char* name, const char* label, const char* group, double minVal, double maxVal,
                  double step, double defaultVal);
  const DisplayTextEntry* FindDisplayText(int value) const;
  double ClampToRange(double value) const;

  EParamKind mType = kTypeNone;
  double mValue = 0.0;
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  // A filter model moved by a learned controller reshapes its knobs on the audio
  // thread while the editor converts values with the same curve. Copyable, so that
  // parameters stay plain values.
  struct SharedCurve
  {
    std::atomic<double> exponent;
    SharedCurve(double x) : exponent(x) {}
    SharedCurve(const SharedCurve& other) : exponent(other.load()) {}
    SharedCurve& operator=(const SharedCurve& other) { return *this = other.load(); }
    SharedCurve& operator=(double x)
    {
      exponent.store(x, std::memory_order_relaxed);
      return *this;
    }
    double load() const { return exponent.load(std::memory_order_relaxed); }
  };
  SharedCurve mShape{1.0};
  double mDefault = 0.0;
  int mDisplayPrecision = 0;
  char mName[kTextSize] = {};
  char mLabel[kTextSize] = {};
  char mParamGroup[kTextSize] = {};
  bool mNegateDisplay = false;
  // Most tables are a handful of entries: grow by eight rather than by a page.
  WDL_TypedBuf<DisplayTextEntry> mDisplayTexts{8 * static_cast<int>(sizeof(DisplayTextEntry))};
};
