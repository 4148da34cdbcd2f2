#pragma once

// An integer drawn as text: a parameter's plain value, or a number of the field's own
// range (1..16) when it is bound to none. Drags and wheel turns change it in whole
// steps; each new integer is reported through mSignal, bound or not. Main thread only.

#include "ControlLook.h"
#include "IKnobControlZK.h"

class IIntValTextControlZK : public IKnobControlZK
{
public:
  // What is drawn with the number.
  enum RLine
  {
    kNoLine = 0,
    kUnderline = 1,  // a centred line under it
    kSlash = 2,      // a "/" after it
  };

  IIntValTextControlZK(IPlugBase* plug, int x, int y, int paramIdx, int textSize, TextControlBGStyle style,
                       IIntValTextControlZK::RLine line, EDirection direction);

  // Left: the value prompt while entry is armed, else a redraw. Right: mSignalRightClick.
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  // Small drags add up until the rounded integer changes.
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;
  // One step a notch; with Shift, halves or doubles.
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override;
  void OnMouseOut() override;
  bool Draw(IGraphics* graphics) override;
  // Rounds the value to an integer; a new integer is pushed (when asked and bound) and
  // reported.
  void SetDirty(bool pushParamToPlug = true) override;

  // Takes the range of the bound parameter (id >= 0) or 1..16 (id < 0), and sizes the
  // field to its widest number.
  void SetPid(int id);
  // Shows n without reporting it.
  void SetQuantized(int n);
  // An unbound field's own range (taken in ascending order); the shown integer is
  // kept inside it and the value follows.
  void SetRange(int lo, int hi);
  // Body, drawing and target rectangles at once.
  void SetBodyRects(IRECT r);

  int GetInt() const { return mCurrent; }
  int GetMin() const { return mMin; }
  int GetMax() const { return mMax; }

  // (parameter index, new integer).
  Gallant::Signal2<int, int> mSignal;
  // While set, a left click opens the value prompt; leaving the field clears it.
  bool mEntryArmed = false;

private:
  double Normalized(int n) const;

  int mMin = 1, mMax = 16;
  int mCurrent = 0;
  TextControlBGStyle mStyle;
  RLine mLine;
};
