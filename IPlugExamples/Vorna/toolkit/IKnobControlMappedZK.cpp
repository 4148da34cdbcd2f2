#include "IKnobControlMappedZK.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace
{
constexpr int kMappedTextLength = 5;
constexpr int kMappedOffsetY = -5;
constexpr double kMappedGearing = 4.0;
constexpr double kFineGearing = 10.0;
constexpr double kWheelStep = 0.01, kFineWheelStep = 0.001;
constexpr double kCentre = 0.5;
// A step that would end this close to the centre is mirrored to its other side.
constexpr double kCentreGuard = 0.001;
}  // namespace

IKnobControlMappedZK::IKnobControlMappedZK(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                                           std::function<double(double)> map, std::function<double(double)> inverse,
                                           double stepFactor, double secondFactor, char mode)
    : IKnobMultiControlZK(plug, x, y, paramIdx, bitmap, kMappedTextLength, kLabelBelow, kLabelAlignCenter, 0,
                          kMappedOffsetY, kVertical, kMappedGearing),
      mMapFunction(std::move(map)),
      mInverseFunction(std::move(inverse)),
      mPosition(mValue),
      mStepFactor(stepFactor),
      mSecondFactor(secondFactor),
      mMode(mode)
{
}

double IKnobControlMappedZK::Map(double x, std::function<double(double)> f) const
{
  if (mMode == 'n') return f(x);
  if (x <= kCentre) return (1.0 - f((kCentre - x) * 2.0)) * 0.5;
  return f((x - kCentre) * 2.0) * 0.5 + kCentre;
}

void IKnobControlMappedZK::SetDirty(bool pushParamToPlug)
{
  // A value that is not a number would reach the frame choice's integer conversion.
  mPosition = std::isnan(mPosition) ? mClampLo : std::clamp(mPosition, mClampLo, mClampHi);
  mValue = Map(mPosition, mMapFunction);
  IControl::SetDirty(pushParamToPlug);
}

void IKnobControlMappedZK::OnMouseDrag(int, int, int dX, int dY, IMouseMod* mod)
{
  // Shift+wheel has its own stepping on this knob, so only Control gears a drag down.
  mPosition += DragChange(dX, dY, mod && mod->C);
  SetDirty(true);
}

void IKnobControlMappedZK::OnMouseDblClick(int, int, IMouseMod*)
{
  if (mDefaultValue < 0.0) return;
  mValue = mDefaultValue;
  mPosition = Map(mValue, mInverseFunction);
  IControl::SetDirty(true);
}

void IKnobControlMappedZK::OnMouseWheel(int, int, IMouseMod* mod, int d)
{
  if (!mValueShown)
  {
    mValueShown = true;
    ExtendTargetAreaWithText();
  }
  if (mod && mod->C) mPosition += d * kFineWheelStep;
  else if (mod && mod->S) StepMappedVal(mStepFactor, d);
  else mPosition += d * kWheelStep;
  SetDirty(true);
}

void IKnobControlMappedZK::StepMappedVal(double factor, int n)
{
  double v = mValue;
  double step;
  if (v < kCentre) step = n > 0 ? (kCentre - v) / factor : factor * 0.5 * (kCentre - v);
  else step = n <= 0 ? (v - kCentre) / factor : factor * 0.5 * (v - kCentre);
  v += n * step;
  if (n < 0 && v >= kCentre && v - kCentre < kCentreGuard) v = kCentre - (v - kCentre);
  else if (n > 0 && v < kCentre && kCentre - v < kCentreGuard) v = kCentre + (kCentre - v);
  mValue = v;
  mPosition = Map(v, mInverseFunction);
}

bool IKnobControlMappedZK::Draw(IGraphics* graphics)
{
  DrawFrame(graphics, mPosition);
  return true;
}

void IKnobControlMappedZK::SetValueFromUserInput(double value)
{
  if (value == mValue) return;
  mValue = value;
  mPosition = Map(value, mInverseFunction);
  IControl::SetDirty(true);
  mRedraw = true;
}

void IKnobControlMappedZK::SetValueFromPlug(double value)
{
  if (mDefaultValue < 0.0)
  {
    mValue = mDefaultValue = value;
    mPosition = Map(value, mInverseFunction);
  }
  if (value == mValue) return;
  mValue = value;
  mPosition = Map(value, mInverseFunction);
  SetDirty(false);
  mRedraw = true;
}
