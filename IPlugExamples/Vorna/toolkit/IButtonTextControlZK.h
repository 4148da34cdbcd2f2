#pragma once

// The text family of on/off controls: one of two names drawn in a box, bracketed or
// plain while released, filled in the highlight while pressed. A contact is on only
// while held; a button toggles on each click. The ...Signal classes also report
// (parameter index, value) after every press. Main thread only.

#include "ControlLook.h"
#include "IControlZK.h"

#include <string>
#include <vector>

class IContactTextControlZK : public IControlZK
{
public:
  // names: the texts for 0 and 1 (none gives "OFF" and "ON", one stands for both).
  IContactTextControlZK(IPlugBase* plug, int x, int y, int paramIdx, std::vector<std::string> names, int textSize,
                        TextControlBGStyle style);

  // Left: on and pressed, pushed. Right: mSignalRightClick.
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseUp(int x, int y, IMouseMod* mod) override;
  // Shown released without telling the plug-in, then mSignalHideTooltip.
  void OnMouseOut() override;
  bool Draw(IGraphics* graphics) override { return Draw(graphics, mRect); }
  void SetValueFromPlug(double value) override;
  // Quantised to 0 or 1; a change is pushed.
  void SetValueFromUserInput(double value) override;

  // Keeps at most two names and sizes the box to the longer one.
  virtual void SetNames(std::vector<std::string> names);
  virtual bool Draw(IGraphics* graphics, IRECT r);

  const std::vector<std::string>& GetNames() const { return mNames; }
  bool IsPressed() const { return mPressed; }
  bool mPressedShadow = true;

protected:
  std::vector<std::string> mNames;
  TextControlBGStyle mStyle;
  int mBoxHeight;
  int mBoxWidth = 0;
  bool mPressed = false;
};

// Toggles on each click and stays so.
class IButtonTextControlZK : public IContactTextControlZK
{
public:
  using IContactTextControlZK::IContactTextControlZK;

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseUp(int, int, IMouseMod*) override {}
  void OnMouseOut() override { IControlZK::OnMouseOut(); }
};

class IButtonTextWithSignal : public IButtonTextControlZK
{
public:
  using IButtonTextControlZK::IButtonTextControlZK;

  void OnMouseDown(int x, int y, IMouseMod* mod) override;

  Gallant::Signal2<int, double> mSignal;
};

class IContactTextControlWSignalZK : public IContactTextControlZK
{
public:
  using IContactTextControlZK::IContactTextControlZK;

  void OnMouseDown(int x, int y, IMouseMod* mod) override;

  Gallant::Signal2<int, double> mSignal;
};
