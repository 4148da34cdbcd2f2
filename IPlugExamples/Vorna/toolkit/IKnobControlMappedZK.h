#pragma once

// A knob that turns evenly while its parameter follows a curve: the knob keeps its own
// linear position 0..1, and the parameter's normalised value is the position passed
// through a map function (the inverse function brings values from the plug-in back to
// a position). In mirror mode the curve shapes each half outward from the centre, and
// Shift+wheel steps ever finer towards the centre. Main thread only.

#include "IKnobControlZK.h"

#include <functional>

class IKnobControlMappedZK : public IKnobMultiControlZK
{
public:
  // 'n' maps plainly; any other mode mirrors the map around the centre. stepFactor is
  // the factor of Shift+wheel steps; secondFactor is kept for whoever asks for it.
  IKnobControlMappedZK(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap, std::function<double(double)> map,
                       std::function<double(double)> inverse, double stepFactor, double secondFactor, char mode);

  // The knob rule applied to the position; only Control gears it down.
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
  // Back to the default value and its position, once there is a default.
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override;
  bool Draw(IGraphics* graphics) override;
  void SetValueFromPlug(double value) override;
  void SetValueFromUserInput(double value) override;
  // Clamps the position and takes the value from it through the map.
  void SetDirty(bool pushParamToPlug = true) override;

  // f applied to x as the mapping mode says; an empty f throws std::bad_function_call.
  double Map(double x, std::function<double(double)> f) const;
  // Moves the value n steps: each step towards the centre is the distance divided by
  // factor, each step away from it factor / 2 times the distance; a step never lands
  // within 0.001 of the centre from the side it comes from.
  void StepMappedVal(double factor, int n);

  double GetPosition() const { return mPosition; }
  double GetSecondFactor() const { return mSecondFactor; }

private:
  std::function<double(double)> mMapFunction;
  std::function<double(double)> mInverseFunction;
  double mPosition;
  double mStepFactor;
  double mSecondFactor;
  char mMode;
};
