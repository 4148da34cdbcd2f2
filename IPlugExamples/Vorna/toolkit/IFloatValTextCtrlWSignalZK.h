#pragma once

// A number with a fixed count of decimals in the field's own range, changed by drag or
// wheel; each change that moves the shown number is reported as (identifier, shown
// number) through mSignal. Main thread only.

#include "ControlLook.h"
#include "IKnobControlZK.h"

#include <string>

class IFloatValTextCtrlWSignalZK : public IKnobControlZK
{
public:
  // id is a parameter index, or a negative identifier for a field of its own (1..16).
  IFloatValTextCtrlWSignalZK(IPlugBase* plug, int x, int y, int id, int textSize, TextControlBGStyle style,
                             EDirection direction);

  // Opens the value prompt where the field allows it.
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
  // Back to the default, reported like any other change.
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override;
  bool Draw(IGraphics* graphics) override;
  void SetValueFromPlug(double value) override;

  // The bound parameter's range (id >= 0) or 1..16.
  virtual void SetPid(int id);
  // The range in either order; gearing and width follow it.
  virtual void SetMinMax(double a, double b);
  virtual void SetNumDecimals(int n);
  // The default as a plain number (clamped to the range); also the value while no
  // default was set.
  virtual void SetDefaultNonNorm(double x);
  // Shows a plain number from the plug-in: no report, no push.
  virtual void SetNonnormFromPlug(double x);

  // Rounds the value down to a shown number; a change is reported, then the control is
  // marked (and, with push, the parameter set).
  void AlignNormalizedAndSetDirty(bool push);

  // The shown number as drawn: rounded to the decimals.
  std::string ShownText() const;
  double GetShown() const { return mShown; }
  double GetMin() const { return mMin; }
  double GetMax() const { return mMax; }
  int GetNumDecimals() const { return mDecimals; }

  Gallant::Signal2<int, double> mSignal;

private:
  double Normalized(double x) const { return (x - mMin) / (mMax - mMin); }
  void UpdateWidth();

  int mDecimals = 2;
  double mMin = 1.0, mMax = 16.0;
  double mShown = 0.0;
  TextControlBGStyle mStyle;
};
