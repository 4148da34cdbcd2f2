#pragma once

#include "BoundedInputs.h"
#include "VornaControlIds.h"
#include "EnvelopeDetector.h"
#include "filters/FilterZK.h"
#include "IParamMailbox.h"
#include "IPlugStandalone.h"
#include "MIDIReceiver.h"
#include "Oscillator.h"
#include "VoiceManager.h"
#include "VornaParams.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

class ThreadPool;
struct VornaRoutes;
class IControlZK;
class IMenuZK;
class IMenuControlZK;
class IPanelControlZK;
class ITextControlZK;
class ITooltipControlZK;
class IURLControlZK;
struct ControlRow;

// Four characters as one big-endian number, the way plug-in identifiers are written.
constexpr int FourCharCode(const char (&text)[5])
{
  return int((unsigned(uint8_t(text[0])) << 24) | (unsigned(uint8_t(text[1])) << 16) |
             (unsigned(uint8_t(text[2])) << 8) | unsigned(uint8_t(text[3])));
}

// The MIDI receiver reserves its learn lists before it knows the instrument.
static_assert(MIDIReceiver::kLearnListReserve == kNumParams, "a learn list has room for every parameter");

// The synthesizer as a plug-in: the engine (MIDI receiver and voice manager)
// under the plug-in framework, its 138 parameters with their routing and
// smoothing, block processing with external inputs, MIDI learn and the state
// chunk. Built for the heap: the engine is large and held by value.
//
// The editor (built in the constructor when a graphics maker is set, see
// SetGraphicsMaker) is part of this class too: its controls, menus, panels and the
// rules that show and hide controls as the sound changes live in editor/.
class Vorna : public IPlugStandalone
{
public:
  // Identity handed to the plug-in framework.
  static constexpr const char* kChannelIO = "2-2 4-2 6-2 8-2";
  static constexpr int kNumPresets = 5;
  static constexpr const char* kEffectName = "Vorna";
  static constexpr const char* kMfrName = "Ostrelin";
  static constexpr int kVersion = 0x00000708;
  static constexpr int kUniqueID = FourCharCode("Vrna");
  static constexpr int kMfrID = FourCharCode("Okzr");
  static constexpr const char* kBundleID = "com.ostrelin.Vorna";
  static constexpr const char* kDefaultPresetName = "default preset";

  // Ramps of continuous parameters last one block, at most this many samples.
  static constexpr int kMaxRampLength = 3000;
  // A ramp whose step would be smaller than this is skipped; a ramp within it
  // of its target has arrived.
  static constexpr double kRampEpsilon = 1e-10;
  // Stereo input pairs the channel configurations offer at most.
  static constexpr int kInputPairs = 4;
  static constexpr double kMinTempo = 1.0;
  static constexpr double kMaxTempo = 360.0;
  static constexpr int kMaxThreads = 32;

  // The followers' times: at construction, and from every Reset on.
  static constexpr double kInitialFollowerSeconds = 0.01;
  static constexpr double kFollowerAttackSeconds = 0.25;
  static constexpr double kFollowerReleaseSeconds = 1.0;

  // The AM view switches start in their middle position, neither AM group
  // shown; the default presets, program and bank files store it so.
  static constexpr double kAMViewStart = 0.5;

  // The ids of the editor's controls of the values the plug-in keeps.
  enum EGuiControlId
  {
    kFMInputPair = kFMInputSelectorId,
    kAM1InputPair = kAM1InputSelectorId,
    kAM2InputPair = kAM2InputSelectorId,
    kTempoField = kTempoEntryId,
    kMaskInputBox = kMaskInputCheckBoxId,
  };

  // The value curve a learned controller follows for some parameters. Kind 'n'
  // applies func to the controller value; any other kind applies it to the
  // distance from the centre, on each side.
  struct CCMapping
  {
    double (*func)(double);
    char kind;
  };

  explicit Vorna(IPlugInstanceInfo instanceInfo);
  ~Vorna() override;

  // ---- the plug-in framework's virtual operations ----
  void Reset() override;
  void OnParamChange(int paramIdx) override;
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;
  // MIDI thread, no lock: hands the message to the receiver's intake.
  void ProcessMidiMsg(IMidiMsg* msg) override;
  bool SerializeState(ByteChunk* chunk) override;
  int UnserializeState(ByteChunk* chunk, int startPos) override;

  // ---- construction steps ----
  void CreateUI();
  void InitiateParams();
  void SetParamsShapes();
  void SetParamsDisplayTexts();
  // Every parameter stays automatable.
  void SetParamsCanAutomate() {}
  void SetMultithreading(bool on);
  void CreatePresets();

  // ---- routing and smoothing ----
  // Applies the current ramp value of a continuous parameter to the engine.
  void SetSmoothParamValue(int paramIdx);
  // One ramp step of every ramping parameter.
  void GlideParams();
  // Slot of the voice tables' activation signals.
  void OnActiveVoicesChange(int voice);

  // ---- MIDI learn ----
  // Audio thread: a learned controller's value 0..127 moves its parameter.
  void SetParamFromCC(int paramIdx, int ccValue);
  // A parameter was bound to controller cc, or unbound (cc -1).
  void UpdateControlLearnedCC(int paramIdx, int cc);
  // The learn operations of a parameter's menu; each takes the plug-in mutex.
  void OnMenuClickMidiLearn(int paramIdx, int unused = 0);
  void OnMenuClickMidiForget(int paramIdx, int unused = 0);
  void OnMenuClickEraseMidiMap(int unused1 = 0, int unused2 = 0);
  // The controller a parameter is bound to, or -1.
  int GetLearnedCC(int paramIdx) const { return mLearnedCC[paramIdx].load(std::memory_order_relaxed); }
  // The text of the parameter's "MIDI forget" menu item, and whether it is enabled.
  std::string GetMidiForgetText(int paramIdx) const;
  bool IsMidiForgetEnabled(int paramIdx) const { return GetLearnedCC(paramIdx) >= 0; }

  // ---- editor-side values ----
  // id kFMInputPair, kAM1InputPair or kAM2InputPair; pair number 1..4 (clamped).
  void OnChannelConfigChange(int id, int value);
  // Tempo in beats per minute, clamped to [kMinTempo, kMaxTempo]; NaN is ignored.
  // Takes the plug-in mutex.
  void OnGuiBpmChange(int id, double bpm);
  // Slot of the "Mask input" box: subtract the first input pair from the output.
  void SetMaskInput(int id, double value);
  // The value of oscillator osc's (0 or 1) AM view switch, 0..1 (NaN: kAMViewStart).
  void SetAMView(int osc, double value);
  double GetAMView(int osc) const { return mAMView[osc]; }
  // Zero-based input pair of the FM (0), AM 1 (1) and AM 2 (2) inputs.
  int GetInputPairSel(int which) const { return mInputPairSel[which]; }
  bool GetMaskInput() const { return mMaskInput; }

  // ---- the editor ----
  // Makes the editor's drawing surface: the platform's view, or a test's surface.
  using GraphicsMaker = IGraphics* (*)(IPlugBase* plug, int width, int height, int fps);
  // Process-wide, for the plug-ins constructed afterwards; without one (null, the
  // default) a plug-in has no editor and runs as well.
  static void SetGraphicsMaker(GraphicsMaker maker);

  // Construction steps, in the order CreateUI runs them.
  void CreateControls(IGraphics* graphics);
  void CreateTooltips();
  void SetControlLabels();
  void AttachControls(IGraphics* graphics);
  void CreateAndAttachTooltipCtrl(IGraphics* graphics);
  void CreateAndAttachInfoPanel(IGraphics* graphics);
  void CreateAndAttachChanConfigPanel(IGraphics* graphics);
  void CreateControlMenus();
  void CreateAndAttachMenuControl(IGraphics* graphics);
  void SetColors();
  void HideControls(IGraphics* graphics);
  void AdjustTargetRects();

  // Rules that show, hide and relabel controls as the sound changes. Main thread.
  void ManageHSVisibility();
  void ManageAddWaveformParamVisibility(int osc, OscWave wave);
  void UpdateFilterControlsShapesAndVisibility(int filter, FilterModel model);
  void ManageAMVisibility(int id, double value);

  // Handlers of the editor's menus and buttons. Main thread.
  void ShowControlMenu(int id, int x, int y);
  void IncreaseLabelsSize(int id = 0, int item = 0);
  void DecreaseLabelsSize(int id = 0, int item = 0);
  void ShowHideTooltips(int id, double value);
  void UpdateDynamicInfoText();
  void OnInfoBtnClick(int id, double value);
  void OnButtonClickChannelConfig(int id, double value);

  // The main thread's time with every editor frame: what the audio thread changed for
  // the editor (rules, menu texts) is shown here.
  void OnIdle() override;

  // The editor's controls, for the host and tests (null without an editor).
  IControlZK* GetParamControl(int paramIdx) const;
  IMenuControlZK* GetMenuControl() const { return mMenuControl; }
  IMenuZK* GetParamMenu(int paramIdx) const;
  IMenuZK* GetTextSizeMenu() const { return mTextSizeMenu.get(); }
  ITooltipControlZK* GetTooltipControl() const { return mTooltipControl; }
  IPanelControlZK* GetInfoPanel() const { return mInfoPanel; }
  IPanelControlZK* GetChanConfigPanel() const { return mChanConfigPanel; }
  ITextControlZK* GetInfoDynamicText() const { return mInfoDynamicText.get(); }
  IControlZK* GetAMViewSwitch(int osc) const { return osc == 0 ? mAMViewSwitch1 : mAMViewSwitch2; }
  IControlZK* GetTooltipButton() const { return mTooltipButton; }
  IControlZK* GetInfoButton() const { return mInfoButton; }
  IControlZK* GetChanConfigButton() const { return mChanConfigButton; }
  IControlZK* GetTempoEntry() const { return mTempoEntry; }
  IControlZK* GetInputSelector(int which) const { return mInputSelectors[which].get(); }
  IControlZK* GetMaskInputCheckBox() const { return mMaskInputCheckBox.get(); }
  const std::array<std::vector<int>, 4>& GetAMControlGroups() const { return mAMControlGroups; }

  // ---- engine access for hosts and tests ----
  // Restarts the engine's random generator, so that renders repeat bit for bit.
  void SeedRandom(uint64_t seed);
  VoiceManager& GetVoiceManager() { return mVoiceManager; }
  MIDIReceiver& GetMIDIReceiver() { return mMIDIReceiver; }
  const EnvelopeDetector& GetAuxFollower(int which) const { return mAuxEnv[which]; }
  int GetBlockLength() const { return mBlockLength; }
  bool IsRamping(int paramIdx) const { return mSmoothing[paramIdx]; }
  double GetSmoothCurrent(int paramIdx) const { return mSmoothCurrent[paramIdx]; }
  bool BendUsesBpm() const { return mBendUsesBpm; }
  bool AreParamsInitialized() const { return mParamsInitialized != 0; }
  bool IsPoolOn() const { return mPoolOn; }

private:
  friend struct VornaRoutes;

  // The editor's own construction: bitmaps, controls, labels, menus.
  void BuildEditor();
  void StoreControl(const ControlRow& row, IControlZK* control);
  // After a parameter reached the engine: its editor rule runs now on the main thread,
  // or at the next frame when another thread changed it.
  void EditorFollowsParam(int paramIdx);
  void RunEditorRule(int paramIdx);
  // The "MIDI forget" item of a parameter's menu, brought up to its binding.
  void RefreshLearnMenu(int paramIdx);
  // The editor-side values a loaded state set, shown on their controls.
  void ShowInternalValues();
  // The input selector of the FM (0), AM 1 (1) or AM 2 (2) input shows its pair.
  void ShowInputPair(int which);
  void ReportStateChange() { MarkStateChanged(); }
  void WireSignals();
  void DefineCCMappings();

  void SingleThreadBlockProcessing(double** inputs, double** outputs, int nFrames);
  // Tells a host that the state changed (not while a state is being loaded).
  void MarkStateChanged();
  // Values the engine keeps in samples, after the sample rate changed.
  void ReapplyRateDependentParams();
  // Takes a tempo from any source: clamped, NaN ignored; the engine follows.
  void ApplyTempo(double bpm);

  int UnserializeParams(ByteChunk* chunk, int pos, int count);
  bool SerializeInternalParams(ByteChunk* chunk);
  int UnserializeInternalParams(ByteChunk* chunk, int pos, int version);

  MIDIReceiver mMIDIReceiver;
  VoiceManager mVoiceManager;

  uint8_t mParamsInitialized = 0;
  bool mMultithreading = false;
  bool mPoolOn = false;
  bool mRedistribute = false;
  std::unique_ptr<ThreadPool> mPool;

  // Editor-side values.
  std::array<double, 2> mAMView = {kAMViewStart, kAMViewStart};
  std::array<std::atomic<int>, kNumParams> mLearnedCC;

  // Smoothing state, one slot per parameter.
  std::array<double, kNumParams> mSmoothCurrent{};
  std::array<double, kNumParams> mSmoothTarget{};
  std::array<double, kNumParams> mSmoothIncrement{};
  std::array<bool, kNumParams> mSmoothing{};
  bool mAnySmoothing = false;

  // Processing values.
  int mBlockLength = kMaxRampLength;
  bool mBendUsesBpm = false;
  // Set by the editor on the main thread, read once per block on the audio thread.
  std::atomic<int> mInputPairSel[3] = {0, 0, 0};
  BoundedInputs mBoundedIn;
  static_assert(BoundedInputs::kMaxPairs == kInputPairs);
  // Into mBoundedIn: FM left, right; AM 1 left, right; AM 2 left, right.
  double* mExtIn[6] = {};
  std::atomic<bool> mMaskInput = false;
  double mAuxEnvOut[2] = {0.0, 0.0};
  EnvelopeDetector mAuxEnv[2];

  bool mLoadingState = false;
  std::map<int, CCMapping> mCCMappings;

  // ---- the editor (main thread) ----
  // Attached controls belong to the graphics object, which deletes them; the panels'
  // children and the menus are shared and never attached.
  std::array<IControlZK*, kNumParams + 1> mParamControls{};  // + the menu control
  IMenuControlZK* mMenuControl = nullptr;
  ITooltipControlZK* mTooltipControl = nullptr;
  IControlZK* mAMViewSwitch1 = nullptr;
  IControlZK* mAMViewSwitch2 = nullptr;
  IControlZK* mTooltipButton = nullptr;
  IControlZK* mInfoButton = nullptr;
  IControlZK* mChanConfigButton = nullptr;
  IControlZK* mTempoEntry = nullptr;
  ITextControlZK* mTextLine1 = nullptr;
  ITextControlZK* mTextLine2 = nullptr;
  IPanelControlZK* mInfoPanel = nullptr;
  IPanelControlZK* mChanConfigPanel = nullptr;
  std::shared_ptr<ITextControlZK> mInfoTitleText, mInfoDynamicText;
  std::shared_ptr<IURLControlZK> mMailLink, mMembershipLink, mDonationLink;
  std::shared_ptr<ITextControlZK> mChanConfigCaption;
  std::vector<std::shared_ptr<ITextControlZK>> mChanConfigTexts;
  std::array<std::shared_ptr<IControlZK>, 3> mInputSelectors;  // FM, AM 1, AM 2
  std::shared_ptr<IControlZK> mMaskInputCheckBox;
  std::array<std::shared_ptr<IMenuZK>, kNumParams> mParamMenus;
  std::shared_ptr<IMenuZK> mTextSizeMenu;
  std::set<int> mParamsWithoutMenu;
  std::array<std::vector<int>, 4> mAMControlGroups;  // osc-1 AM, osc-2 AM, osc-1 OAM, osc-2 OAM
  // The controller each menu names now, so that a binding made on the audio thread
  // reaches its menu on the main thread.
  std::array<int, kNumParams> mMenuShowsCC{};
  // Rule parameters the audio thread changed, for the next frame.
  IParamMailbox mRuleMailbox{kNumParams};
  std::thread::id mMainThread = std::this_thread::get_id();
};

// The factory the application calls: a new plug-in, created under a
// process-wide lock. The MIDI output and its channel setting belong to the
// caller and must outlive the plug-in.
Vorna* MakePlug(void* midiOutput, unsigned short* midiOutChannel);
