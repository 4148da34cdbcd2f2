#pragma once

class IPlugBase;

// The plug-in's editor: its drawing surface and the controls bound to the
// parameters. The plug-in owns the editor it is given (IPlugBase::AttachGraphics)
// and deletes it through this interface.
class IGraphics
{
public:
  IGraphics(IPlugBase* plug, int width, int height) : mPlug(plug), mWidth(width), mHeight(height) {}
  virtual ~IGraphics() = default;

  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // Creates the drawing bitmaps; called once, before the plug-in keeps the editor.
  virtual void PrepDraw() = 0;
  // Shows a value the plug-in set on every control bound to paramIdx; a plain
  // value (normalized false) is normalised by the parameter first.
  virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized) = 0;

  IPlugBase* GetPlug() const { return mPlug; }
  // The editor's size in pixels.
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }

protected:
  IPlugBase* mPlug;
  int mWidth;
  int mHeight;
};
