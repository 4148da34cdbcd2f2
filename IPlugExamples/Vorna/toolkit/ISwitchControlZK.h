#pragma once

// The bitmap family of on/off and multi-position controls: each draws one frame of a
// strip. A switch steps to the next frame on every click, wrapping to the first; a
// contact is on only while the mouse is held. Main thread only.

#include "IControlZK.h"

class IBitmapControlZK : public IControlZK
{
public:
  // One frame of bitmap at (x, y).
  IBitmapControlZK(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap);

  // The frame nearest the value, then the labels.
  bool Draw(IGraphics* graphics) override;

protected:
  IBitmap mBitmap;
};

class ISwitchControlZK : public IBitmapControlZK
{
public:
  using IBitmapControlZK::IBitmapControlZK;

  // Left: the next frame, after the last the first. Right: mSignalRightClick.
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  // A fast second click steps again.
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override { OnMouseDown(x, y, mod); }
  void SetValueFromUserInput(double value) override;
};

// A switch that also reports (parameter index, value) after every press and every
// value typed or learned, changed or not.
class ISwitchControlWSignalZK : public ISwitchControlZK
{
public:
  using ISwitchControlZK::ISwitchControlZK;

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void SetValueFromUserInput(double value) override;

  Gallant::Signal2<int, double> mSignal;
};

// On while held: the press steps like a switch, the release goes back to 0.
class IContactControlZK : public ISwitchControlZK
{
public:
  using ISwitchControlZK::ISwitchControlZK;

  void OnMouseUp(int x, int y, IMouseMod* mod) override;
};
