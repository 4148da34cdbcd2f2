#pragma once

#include "Shapes.h"

#include <vector>

// Where the editor puts its controls and their labels, as the background is
// designed around them: which band a control stands in, the rectangle it covers,
// the label under it and when it is shown. Oscillator 2's controls are oscillator
// 1's twins moved 280 pixels down.

enum class Band
{
  Osc1,
  Osc2,
  Between,  // the shiver sync switches, which tie both oscillators together
  Master,
};

// Where a label sits below its control; the editor measures labels at 14 pixels.
enum class LabelPlace
{
  None,
  LargeKnob,   // 1 pixel lower than the frame's half height, 4 pixels left
  Small,       // 7 pixels lower
  PolySwitch,  // 22 pixels lower
};

// When the editor shows the control.
enum class Shown
{
  Always,
  AmView,       // its oscillator's AM view switch at the left
  OamView,      // at the right
  AmOrOamView,  // at either end
  SincWave,
  PolySawWave,
  HardSync,     // a hard-sync master is chosen
  Formant,      // the formant filter model is chosen
  NotFormant,
  Never,
  Plugin,       // not in the standalone application
};

struct ControlPlace
{
  int id;       // parameter index, or the editor's id of a control of its own
  int imageId;  // 0: a control that writes its value as text
  int x, y;
  int w, h;     // of a text control; an image control is one frame of its image
  const char* label;
  LabelPlace labelPlace;
  Shown shown;
  Band band;
};

// Every control, oscillator 2's included.
const std::vector<ControlPlace>& ControlPlaces();

bool IsTextControl(const ControlPlace& place);
// The rectangle the control covers (its frame or its text box).
Box ControlBox(const ControlPlace& place);
// The box the editor draws the label in (all zero without a label): a box for its
// text centred on the control, then moved down by half the control's height and
// the place's shift.
Box LabelBox(const ControlPlace& place);
// The rows of that box the letters cover.
Box LabelInkBox(const ControlPlace& place);
