#pragma once

// The toolkit's knobs. IKnobControlZK turns mouse travel into value: one control length
// of travel moves the value by 1 / gearing, ten times finer with Shift or Control.
// IKnobMultiControlZK draws a frame of a bitmap strip and, after the first click or
// wheel turn, a small box beside it with the parameter's display text; a click in that
// box opens text entry. Main thread only.

#include "IControlZK.h"

class IKnobControlZK : public IControlZK
{
public:
  IKnobControlZK(IPlugBase* plug, IRECT rect, int paramIdx, EDirection direction, double gearing);

  // value += travel / length / gearing, then SetDirty(true).
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;

  double GetGearing() const { return mGearing; }
  void SetGearing(double gearing) { mGearing = gearing; }
  EDirection GetDirection() const { return mDirection; }

protected:
  // The value change for a drag by (dX, dY): upwards and rightwards raise it.
  double DragChange(int dX, int dY, bool fine) const;
  // 0.01 of the range per wheel notch, 0.001 with Shift or Control.
  static double WheelStep(const IMouseMod* mod);

  EDirection mDirection;
  double mGearing;
};

class IKnobMultiControlZK : public IKnobControlZK
{
public:
  // A knob at (x, y) the size of one frame of bitmap, bound to paramIdx (which must be
  // valid: the value box shows its display text). textLength characters of that text
  // are shown, in a box at position beside the frame, lined up by alignment and moved
  // by the offsets.
  IKnobMultiControlZK(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap, int textLength,
                      IControlZK::LabelPosition position, IControlZK::LabelAlignment alignment, int offsetX,
                      int offsetY, EDirection direction, double gearing);

  // Left: shows the value box, or opens text entry when it is shown and clicked.
  // Right: emits mSignalRightClick.
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  // Back to the default value, once there is one.
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override;
  // Hides the value box, then emits mSignalHideTooltip.
  void OnMouseOut() override;
  bool Draw(IGraphics* graphics) override;
  // The display text, cut to the text length, in the value box while it is shown.
  void DrawValue(IGraphics* graphics) override;
  void ShiftControlBy(int dx, int dy) override;
  // Sets the target rectangle without the value box.
  void SetTargetRect(IRECT r) override;

  // Takes effect at the next SetTextLength.
  virtual void SetLabelPosition(IControlZK::LabelPosition position) { mValuePosition = position; }
  // Colours, entry colours and the value box.
  virtual void SetStyle();
  // The target rectangle without the value box.
  virtual void CollapseTargetArea();
  // The target rectangle stretched over the value box, at least 10 pixels each way.
  virtual void ExtendTargetAreaWithText();

  // Lays the value box out for n characters at the control's text size; the drawing
  // rectangle grows to cover it.
  void SetTextLength(int n);
  // A further shift of the value box, applied now and kept for later layouts.
  void SetValueTextOffset(int x, int y);

  const IRECT& GetValueTextRECT() const { return mValueTextRECT; }
  const IRECT& GetBitmapRECT() const { return mBitmapRECT; }
  int GetTextLength() const { return mTextLength; }

protected:
  // The frame of the strip for a position 0..1.
  int FrameFor(double position) const;
  void DrawFrame(IGraphics* graphics, double position);

  IBitmap mBitmap;
  IRECT mBitmapRECT;
  IRECT mValueTextRECT;
  IRECT mSavedTargetRECT;
  int mExtraOffsetX = 0, mExtraOffsetY = 0;
  IControlZK::LabelPosition mValuePosition;
  IControlZK::LabelAlignment mValueAlignment;
  int mValueOffsetX, mValueOffsetY;
  int mTextLength;
};
