#include "EditorLayout.h"
#include "IGraphics.h"
#include "Vorna.h"
#include "ZKControls.h"
#include "filters/FilterKinds.h"
#include "globals.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

// The editor's controls, made from the control table in its order.

namespace
{
// The filter-model lists name every model of the engine.
constexpr int NamesIn(const char* names)
{
  int n = 1;
  for (; *names; ++names) n += *names == '|';
  return n;
}
static_assert(NamesIn(FindParamRow(kFlt1Model)->names) == kNumFilterModels &&
                NamesIn(FindParamRow(kFlt2Model)->names) == kNumFilterModels,
              "the editor's model lists name every filter model");

// An open list has int(n / rows + 0.5) columns of `rows` names: a name past them could not be chosen.
constexpr bool EveryListShowsAllItsNames()
{
  for (const ControlRow& row : kControlRows)
  {
    if (row.kind != ControlKind::kList) continue;
    const int n = NamesIn(row.names), rows = row.rows < 1 ? 1 : row.rows;
    const int columns = std::max(1, static_cast<int>(static_cast<double>(n) / rows + 0.5));
    if (columns * rows < n) return false;
  }
  return true;
}
static_assert(EveryListShowsAllItsNames(), "every list's grid shows all its names");

// Knobs: value text below, centred, 5 pixels up; dragged up and down, four control
// heights of travel from end to end.
constexpr int kValueTextOffsetY = -5;
constexpr double kKnobGearing = 4.0;
constexpr int kTextSize = 16;
constexpr double kAMViewStartValue = 0.5;

double Cube(double x) { return x * x * x; }
double CubeRoot(double x) { return std::pow(x, 1.0 / 3.0); }
// The FM amounts' wheel: Shift steps towards the centre by halves.
constexpr double kMappedStepFactor = 2.0, kMappedSecondFactor = 2.0;
constexpr char kMirroredCurve = 's';

std::vector<std::string> Names(const char* joined)
{
  std::vector<std::string> names;
  if (!joined) return names;
  std::string name;
  for (const char* c = joined;; ++c)
  {
    if (*c == '|' || *c == '\0')
    {
      names.push_back(name);
      name.clear();
      if (*c == '\0') break;
    }
    else
    {
      name += *c;
    }
  }
  return names;
}

TextControlBGStyle Style(int style) { return static_cast<TextControlBGStyle>(style); }
}  // namespace

void Vorna::CreateControls(IGraphics* graphics)
{
  std::map<int, IBitmap> bitmaps;
  for (const EditorImage& image : kControlImages)
  {
    std::string path = std::string(kEditorImageFolder) + image.file;
    bitmaps[image.id] = graphics->LoadIBitmap(image.id, path.c_str(), image.frames, false);
  }

  for (const ControlRow& row : kControlRows)
  {
    IBitmap* bitmap = row.imageId ? &bitmaps[row.imageId] : nullptr;
    const std::vector<std::string> names = Names(row.names);
    IControlZK* control = nullptr;
    switch (row.kind)
    {
      case ControlKind::kKnob:
        control = new IKnobMultiControlZK(this, row.x, row.y, row.id, bitmap, row.valueTextLength,
                                          IControlZK::kLabelBelow, IControlZK::kLabelAlignCenter, 0,
                                          kValueTextOffsetY, kVertical, kKnobGearing);
        break;
      case ControlKind::kMappedKnob:
        control = new IKnobControlMappedZK(this, row.x, row.y, row.id, bitmap, Cube, CubeRoot, kMappedStepFactor,
                                           kMappedSecondFactor, kMirroredCurve);
        break;
      case ControlKind::kSwitch: control = new ISwitchControlZK(this, row.x, row.y, row.id, bitmap); break;
      case ControlKind::kContact: control = new IContactControlZK(this, row.x, row.y, row.id, bitmap); break;
      case ControlKind::kViewSwitch: control = new ISwitchControlWSignalZK(this, row.x, row.y, row.id, bitmap); break;
      case ControlKind::kList:
        control = new IListControlZK(this, row.x, row.y, row.id, names, kTextSize, 0, row.rows, Style(row.style),
                                     kVertical);
        break;
      case ControlKind::kTextButton:
        control = new IButtonTextControlZK(this, row.x, row.y, row.id, names, kTextSize, Style(row.style));
        break;
      case ControlKind::kTextButtonWithSignal:
        control = new IButtonTextWithSignal(this, row.x, row.y, row.id, names, kTextSize, Style(row.style));
        break;
      case ControlKind::kTextContactWithSignal:
        control = new IContactTextControlWSignalZK(this, row.x, row.y, row.id, names, kTextSize, Style(row.style));
        break;
      case ControlKind::kIntField:
        control = new IIntValTextControlZK(this, row.x, row.y, row.id, kTextSize, Style(row.style),
                                           IIntValTextControlZK::RLine(0), kVertical);
        break;
      case ControlKind::kFloatField:
        control = new IFloatValTextCtrlWSignalZK(this, row.x, row.y, row.id, kTextSize, Style(row.style), kVertical);
        break;
      case ControlKind::kText:
      {
        auto* text = new ITextControlZK(this, row.x, row.y, kTextSize, "Geneva");
        text->SetRects(IRECT(row.x, row.y, row.x, row.y));
        control = text;
        break;
      }
    }
    StoreControl(row, control);
  }

  static_cast<ISwitchControlWSignalZK*>(mAMViewSwitch1)->SetValueFromPlug(kAMViewStartValue);
  static_cast<ISwitchControlWSignalZK*>(mAMViewSwitch2)->SetValueFromPlug(kAMViewStartValue);
  static_cast<ISwitchControlWSignalZK*>(mAMViewSwitch1)->mSignal.Connect(this, &Vorna::ManageAMVisibility);
  static_cast<ISwitchControlWSignalZK*>(mAMViewSwitch2)->mSignal.Connect(this, &Vorna::ManageAMVisibility);
  static_cast<IContactTextControlWSignalZK*>(mChanConfigButton)
      ->mSignal.Connect(this, &Vorna::OnButtonClickChannelConfig);
  auto* tempo = static_cast<IFloatValTextCtrlWSignalZK*>(mTempoEntry);
  tempo->SetMinMax(kMinTempo, kMaxTempo);
  tempo->SetDefaultNonNorm(PlugG::HOST_BPM);
  tempo->mSignal.Connect(this, &Vorna::OnGuiBpmChange);

  mAMControlGroups[0].assign(std::begin(kAMGroup1), std::end(kAMGroup1));
  mAMControlGroups[1].assign(std::begin(kAMGroup2), std::end(kAMGroup2));
  mAMControlGroups[2].assign(std::begin(kOAMGroup1), std::end(kOAMGroup1));
  mAMControlGroups[3].assign(std::begin(kOAMGroup2), std::end(kOAMGroup2));
}

void Vorna::StoreControl(const ControlRow& row, IControlZK* control)
{
  if (row.id >= 0)
  {
    mParamControls[row.id] = control;
    return;
  }
  switch (row.kind)
  {
    case ControlKind::kViewSwitch: (row.id == kAMViewSwitch1Id ? mAMViewSwitch1 : mAMViewSwitch2) = control; break;
    case ControlKind::kTextButtonWithSignal: mTooltipButton = control; break;
    case ControlKind::kTextContactWithSignal:
      (row.id == kInfoButtonId ? mInfoButton : mChanConfigButton) = control;
      break;
    case ControlKind::kFloatField: mTempoEntry = control; break;
    case ControlKind::kText: (mTextLine1 ? mTextLine2 : mTextLine1) = static_cast<ITextControlZK*>(control); break;
    default: break;
  }
}

IControlZK* Vorna::GetParamControl(int paramIdx) const
{
  return paramIdx >= 0 && paramIdx <= kNumParams ? mParamControls[paramIdx] : nullptr;
}
