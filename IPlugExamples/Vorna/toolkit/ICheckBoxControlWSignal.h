#pragma once

// A square check box drawn from bars, toggled by a left click, reporting
// (parameter index, value) after each click. Main thread only.

#include "IControlZK.h"

class ICheckBoxControlWSignal : public IControlZK
{
public:
  ICheckBoxControlWSignal(IPlugBase* plug, IRECT rect, int paramIdx) : IControlZK(plug, rect, paramIdx) {}

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  // A frame of bars an eighth of the width thick; a filled square inside when checked.
  bool Draw(IGraphics* graphics) override;

  Gallant::Signal2<int, double> mSignal;
};
