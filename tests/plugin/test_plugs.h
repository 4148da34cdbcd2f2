#pragma once

#include "headless_graphics.h"
#include "IPlugBase.h"
#include "IPlugStandalone.h"

#include <string>
#include <utility>
#include <vector>

// Small plug-ins for the framework tests: three parameters with values whose
// byte images are easy to work out by hand.
//   0 "on"   bool, default true            -> 1.0
//   1 "mode" int 0..4, default 3           -> 3.0 (normalised 0.75)
//   2 "gain" double 0..1 step 0.01, 0.25   -> 0.25
namespace testplug
{
constexpr int kNParams = 3;
constexpr int kUniqueID = 0x54737431;  // 'Tst1'
constexpr int kVersion = 0x010203;     // 1.2.3, decimal 10203

inline void DefineParams(IPlugBase* plug)
{
  plug->GetParam(0)->InitBool("on", true, "", "");
  plug->GetParam(1)->InitInt("mode", 3, 0, 4, "", "");
  plug->GetParam(2)->InitDouble("gain", 0.25, 0.0, 1.0, 0.01, "", "", 1.0);
}

// Records what the framework calls back.
struct Calls
{
  std::vector<int> paramChanges;
  std::vector<std::pair<int, double>> hostInforms;
  int programChanges = 0;
  int windowResizes = 0;
  int presetsChanged = 0;
};

// The bare base: nothing connected, no block size, a host that answers 0.
class BarePlug : public IPlugBase
{
public:
  explicit BarePlug(const char* channels, int nParams = kNParams, int nPresets = 2, bool doesChunks = true,
                    const char* effectName = "Bare")
      : IPlugBase(nParams, channels, nPresets, effectName, "Bare product", "Maker", kVersion, kUniqueID, 0x4D6B7231, 0,
                  true, doesChunks, true, kAPIVST2)
  {
  }

  void OnParamChange(int paramIdx) override { calls.paramChanges.push_back(paramIdx); }
  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int idx, double value) override { calls.hostInforms.emplace_back(idx, value); }
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override { ++calls.programChanges; }
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return tempo; }
  void GetTimeSig(int*, int*) override {}
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg* msg) override
  {
    sent.push_back(*msg);
    return msg->mStatus != 0xFF;  // a reset "fails" so that failures can be seen
  }

  Calls calls;
  double tempo = 120.0;
  std::vector<IMidiMsg> sent;
};

// The standalone plug-in with the three parameters, as the application builds it.
class TestPlug : public IPlugStandalone
{
public:
  explicit TestPlug(bool doesChunks = true, int nPresets = 2, IPlugInstanceInfo info = {}, bool doesMidi = true)
      : IPlugStandalone(std::move(info), kNParams, "2-2 4-2", nPresets, "Test", "", "Maker", kVersion, kUniqueID,
                        0x4D6B7231, 0, doesMidi, doesChunks, true, 0)
  {
    DefineParams(this);
  }

  void OnParamChange(int paramIdx) override { calls.paramChanges.push_back(paramIdx); }
  void InformHostOfProgramChange() override { ++calls.programChanges; }
  void OnWindowResize() override { ++calls.windowResizes; }
  void PresetsChangedByHost() override { ++calls.presetsChanged; }

  // The in-memory file road, for the readers' exhaustive tests.
  using IPlugBase::LoadBankFromBytes;
  using IPlugBase::LoadProgramFromBytes;
  using IPlugBase::MakeBankFile;
  using IPlugBase::MakeProgramFile;
  using IPlugBase::mMutex;

  Calls calls;
};

// An editor stand-in that records what the plug-in shows on it.
class RecordingGraphics : public HeadlessGraphics
{
public:
  struct Shown
  {
    int paramIdx;
    double value;
    bool normalized;
  };

  RecordingGraphics(IPlugBase* plug, int width, int height, bool* deleted = nullptr)
      : HeadlessGraphics(plug, width, height), mDeleted(deleted)
  {
  }
  ~RecordingGraphics() override
  {
    if (mDeleted) *mDeleted = true;
  }

  void PrepDraw() override { prepDrawAfter = static_cast<int>(shown.size()); }
  void SetParameterFromPlug(int paramIdx, double value, bool normalized) override
  {
    shown.push_back({paramIdx, value, normalized});
  }

  std::vector<Shown> shown;
  int prepDrawAfter = -1;  // how many values had been shown when PrepDraw ran

private:
  bool* mDeleted;
};

// Everything a loader may change: live values, slots and the current slot.
struct Snapshot
{
  std::vector<double> values;
  std::vector<std::string> names;
  std::vector<bool> initialized;
  std::vector<std::vector<uint8_t>> chunks;
  int current = -1;

  bool operator==(const Snapshot&) const = default;
};

inline Snapshot TakeSnapshot(const IPlugBase& plug)
{
  Snapshot s;
  for (int i = 0; i < plug.NParams(); ++i) s.values.push_back(plug.GetParam(i)->Value());
  for (int i = 0; i < plug.NPresets(); ++i)
  {
    const IPreset* p = plug.GetPreset(i);
    s.names.emplace_back(p->mName);
    s.initialized.push_back(p->mInitialized);
    const uint8_t* data = p->mChunk.GetData();
    s.chunks.emplace_back(data, data + p->mChunk.Size());
  }
  s.current = plug.GetCurrentPresetIdx();
  return s;
}

inline std::vector<uint8_t> BytesOf(const ByteChunk& chunk)
{
  const uint8_t* data = chunk.GetData();
  return std::vector<uint8_t>(data, data + chunk.Size());
}
}  // namespace testplug
