#include "EditorLabelStyle.h"
#include "EditorLayout.h"
#include "FilterModelShapes.h"
#include "IGraphics.h"
#include "Vorna.h"
#include "ZKControls.h"

#include <cmath>

// The rules that show only the controls the current sound uses. They run on the main
// thread: at once when the main thread changed the parameter, at the next frame when a
// learned controller changed it on the audio thread.

namespace
{
bool IsRuleParam(int paramIdx)
{
  switch (paramIdx)
  {
    case kWaveform1:
    case kWaveform2:
    case kHardsyncMaster:
    case kFlt1Model:
    case kFlt2Model: return true;
    default: return false;
  }
}


template <class Ids>
void HideAll(IGraphics* gui, const Ids& ids, bool hide)
{
  for (int p : ids) gui->HideControl(p, hide);
}
}  // namespace

void Vorna::EditorFollowsParam(int paramIdx)
{
  if (!IsRuleParam(paramIdx) || !GetGUI()) return;
  if (std::this_thread::get_id() == mMainThread) RunEditorRule(paramIdx);
  else mRuleMailbox.Post(paramIdx, GetParam(paramIdx)->Value());
}

void Vorna::RunEditorRule(int paramIdx)
{
  WDL_MutexLock lock(&mMutex);
  const int value = static_cast<int>(GetParam(paramIdx)->Value());
  switch (paramIdx)
  {
    case kWaveform1: ManageAddWaveformParamVisibility(0, static_cast<OscWave>(value)); break;
    case kWaveform2: ManageAddWaveformParamVisibility(1, static_cast<OscWave>(value)); break;
    case kHardsyncMaster: ManageHSVisibility(); break;
    case kFlt1Model: UpdateFilterControlsShapesAndVisibility(0, static_cast<FilterModel>(value)); break;
    case kFlt2Model: UpdateFilterControlsShapesAndVisibility(1, static_cast<FilterModel>(value)); break;
    default: break;
  }
}

void Vorna::OnIdle()
{
  mRuleMailbox.Drain([this](int paramIdx, double) { RunEditorRule(paramIdx); });
  if (GetGUI())
    for (int p = 0; p < kNumParams; ++p) RefreshLearnMenu(p);
}

void Vorna::ManageHSVisibility()
{
  IGraphics* gui = GetGUI();
  if (!gui) return;
  constexpr int kNoHardSync = 1;
  HideAll(gui, kHardSyncParams, static_cast<int>(GetParam(kHardsyncMaster)->Value()) == kNoHardSync);
}

void Vorna::ManageAddWaveformParamVisibility(int osc, OscWave wave)
{
  IGraphics* gui = GetGUI();
  if (!gui || osc < 0 || osc > 1) return;
  gui->HideControl(kSyncWidthParams[osc], wave != kOscSinc);
  gui->HideControl(kPolysawTypeParams[osc], wave != kOscPolysaw);
}

void Vorna::UpdateFilterControlsShapesAndVisibility(int filter, FilterModel model)
{
  const int flt = filter == 0 ? 0 : 1;
  const FilterModelParams params = ParamsOfFilter(flt);
  const FilterModelShapes shapes = ShapesForFilterModel(model);
  WDL_MutexLock lock(&mMutex);
  GetParam(params.freq)->SetShape(shapes.freq);
  GetParam(params.q)->SetShape(shapes.q);
  GetParam(params.drive)->SetShape(shapes.drive);

  IGraphics* gui = GetGUI();
  if (!gui) return;
  // The same plain values lie elsewhere on the new curves: the knobs move there, so
  // that the next drag starts where the sound is.
  for (int p : {params.freq, params.q, params.drive}) gui->SetParameterFromPlug(p, GetParam(p)->Value(), false);

  const bool formant = model == kFltFormant;
  gui->HideControl(params.passType, formant);
  gui->HideControl(params.addParam, !formant);
  const IText style = EditorLabelStyle();
  const auto relabel = [&](int p, const char* text, LabelOffset offset) {
    if (IControlZK* c = mParamControls[p])
      c->SetLabel(0, text, style, offset.x, offset.y, IControlZK::kLabelBelow);
  };
  relabel(params.freq, formant ? kFormantFreqLabel : kFreqLabel, kLargeKnobLabel);
  relabel(params.q, formant ? kFormantQLabel : kQLabel, kLargeKnobLabel);
  relabel(params.addParam, formant ? kFormantAddParamLabel : kHiddenAddParamLabel, kSmallLabel);
}

void Vorna::ManageAMVisibility(int id, double value)
{
  const int osc = id == kAMViewSwitch1Id ? 0 : id == kAMViewSwitch2Id ? 1 : -1;
  if (osc < 0) return;
  SetAMView(osc, value);
  if (IGraphics* gui = GetGUI())
  {
    const std::vector<int>& am = mAMControlGroups[osc];
    const std::vector<int>& oam = mAMControlGroups[osc + 2];
    // The group to hide goes first, so that a parameter of both groups ends shown.
    if (value == 0.0)
    {
      HideAll(gui, oam, true);
      HideAll(gui, am, false);
    }
    else if (value == 1.0)
    {
      HideAll(gui, am, true);
      HideAll(gui, oam, false);
    }
    else
    {
      HideAll(gui, am, true);
      HideAll(gui, oam, true);
    }
  }
  MarkStateChanged();
}
