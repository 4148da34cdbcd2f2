#include "Vorna.h"

#include "IGraphics.h"

#include <cstdio>
#include <thread>

namespace
{
constexpr char kPlainCurve = 'n';
constexpr double kCentre = 0.5;
}  // namespace

void Vorna::SetParamFromCC(int paramIdx, int ccValue)
{
  if (paramIdx < 0 || paramIdx >= kNumParams) return;
  const double e = ccValue * PlugC::oneDiv127;
  double v = e;
  const auto mapping = mCCMappings.find(paramIdx);
  if (mapping != mCCMappings.end())
  {
    const CCMapping& m = mapping->second;
    if (m.kind == kPlainCurve)
      v = m.func(e);
    else if (e <= kCentre)
      v = (1.0 - m.func((kCentre - e) * 2.0)) * kCentre;
    else
      v = m.func((e - kCentre) * 2.0) * kCentre + kCentre;
  }
  // The road of a control the user moves: the same value changes nothing, any
  // other is set as a normalised value and ramps like an editor change.
  if (v == GetParam(paramIdx)->GetNormalized()) return;
  SetParameterFromGUI(paramIdx, v);
  // The editor's controls belong to the main thread: they learn of the value when
  // the editor drains its mailbox before the next frame.
  if (IGraphics* gui = GetGUI()) gui->PostParamFromAudioThread(paramIdx, GetParam(paramIdx)->Value());
}

void Vorna::UpdateControlLearnedCC(int paramIdx, int cc)
{
  if (paramIdx < 0 || paramIdx >= kNumParams) return;
  MarkStateChanged();
  mLearnedCC[paramIdx].store(cc < 0 ? -1 : cc, std::memory_order_relaxed);
  // A binding learned on the audio thread reaches the menu at the next frame.
  if (std::this_thread::get_id() == mMainThread) RefreshLearnMenu(paramIdx);
}

std::string Vorna::GetMidiForgetText(int paramIdx) const
{
  const int cc = GetLearnedCC(paramIdx);
  if (cc < 0) return "MIDI forget (none)";
  char text[32];
  std::snprintf(text, sizeof(text), "MIDI forget CC#%d", cc);
  return text;
}

void Vorna::OnMenuClickMidiLearn(int paramIdx, int)
{
  if (paramIdx < 0 || paramIdx >= kNumParams) return;
  WDL_MutexLock lock(&mMutex);
  mMIDIReceiver.ArmLearn(paramIdx);
  // Arming takes the parameter off its controller at once, so the menu names what
  // is left now, not when the next controller binds it.
  UpdateControlLearnedCC(paramIdx, mMIDIReceiver.BoundController(paramIdx));
}

void Vorna::OnMenuClickMidiForget(int paramIdx, int)
{
  if (paramIdx < 0 || paramIdx >= kNumParams) return;
  WDL_MutexLock lock(&mMutex);
  // One binding per pick, the lowest controller's; the menu then names the next one.
  mMIDIReceiver.Forget(paramIdx);
  UpdateControlLearnedCC(paramIdx, mMIDIReceiver.BoundController(paramIdx));
}

void Vorna::OnMenuClickEraseMidiMap(int, int)
{
  WDL_MutexLock lock(&mMutex);
  for (int p = 0; p < kNumParams; ++p)
  {
    if (mParamsWithoutMenu.count(p)) continue;
    while (mMIDIReceiver.Forget(p) >= 0) {}
    UpdateControlLearnedCC(p, -1);
  }
}
