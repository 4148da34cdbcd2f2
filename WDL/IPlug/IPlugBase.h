#pragma once

#include "ByteChunk.h"
#include "Hosts.h"
#include "IParam.h"
#include "IPlugStructs.h"
#include "IPreset.h"
#include "heapbuf.h"
#include "mutex.h"
#include "ptrlist.h"
#include "wdlstring.h"

#include <cstdint>

class IGraphics;
struct ITimeInfo;

// The base of every plug-in object: identity, parameters, preset slots, the
// audio channel model, the editor it owns and the recursive mutex under which
// processing, parameter changes and state serialisation run. The virtual
// operations are how a host drives the plug-in and how the plug-in asks the
// host about its transport; their order is fixed.
class IPlugBase
{
public:
  // Size of the effect, product and maker name fields, NUL included.
  static constexpr int kMaxNameSize = 128;
  // The four bytes "tffp" that open a versioned state, and the version after them.
  static constexpr int32_t kChunkVersionMagic = 0x70666674;
  static constexpr int32_t kChunkVersion = 0x10000;

  struct ChannelIO
  {
    int mIn;
    int mOut;
  };

  struct InChannel
  {
    bool mConnected = false;
    double** mSrc = nullptr;  // this channel's entry in the input pointer array
    WDL_TypedBuf<double> mScratchBuf;
    WDL_String mLabel;
  };

  struct OutChannel
  {
    bool mConnected = false;
    double** mDest = nullptr;  // this channel's entry in the output pointer array
    float* mFDest = nullptr;   // the host's float buffer on the float road
    WDL_TypedBuf<double> mScratchBuf;
    WDL_String mLabel;
  };

  // channelIOStr lists the legal configurations as "in-out" pairs separated by
  // blanks, e.g. "2-2 4-2"; null gives none and no channels.
  IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName, const char* productName,
            const char* mfrName, int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
            bool plugDoesChunks, bool plugIsInst, EAPI plugAPI);

  IPlugBase(const IPlugBase&) = delete;
  IPlugBase& operator=(const IPlugBase&) = delete;

  // ---- the virtual interface, in its fixed order ----
  virtual ~IPlugBase();
  virtual void Reset();
  virtual void OnParamChange(int paramIdx);
  // Copies input i to output i; outputs without an input are silenced.
  virtual void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames);
  virtual void OnGUIOpen() {}
  virtual void OnGUIClose() {}
  virtual void OnIdle() {}
  virtual void OnActivate(bool active);
  // Forwards the message to the MIDI output.
  virtual void ProcessMidiMsg(IMidiMsg* msg);
  virtual void ProcessSysEx(ISysEx*) {}
  virtual bool MidiNoteName(int noteNumber, char* noteName);
  virtual bool SerializeState(ByteChunk* chunk);
  // Returns the position after the state, or -1.
  virtual int UnserializeState(ByteChunk* chunk, int startPos);
  // state holds at least startPos + NParams() little-endian doubles.
  virtual bool CompareState(const unsigned char* state, int startPos);
  virtual void OnWindowResize() {}
  virtual bool HostRequestingAboutBox() { return false; }
  virtual void OnHostIdentified() {}
  virtual void PopupHostContextMenuForParam(int, int, int) {}
  virtual void SetParameterFromGUI(int paramIdx, double normalizedValue);
  virtual void BeginInformHostOfParamChange(int paramIdx) = 0;
  virtual void InformHostOfParamChange(int paramIdx, double normalizedValue) = 0;
  virtual void EndInformHostOfParamChange(int paramIdx) = 0;
  virtual void InformHostOfProgramChange() = 0;
  virtual bool IsRenderingOffline() { return false; }
  virtual int GetSamplePos() = 0;
  virtual double GetTempo() = 0;
  virtual void GetTimeSig(int* numerator, int* denominator) = 0;
  virtual void GetTime(ITimeInfo* timeInfo) = 0;
  virtual EHost GetHost() { return mHost; }
  virtual EAPI GetAPI() { return mAPI; }
  virtual void ResizeGraphics(int width, int height) = 0;
  virtual void HostSpecificInit() {}
  // Takes ownership of the editor and shows every parameter on it.
  virtual void AttachGraphics(IGraphics* graphics);
  virtual void SetLatency(int samples) { mLatency = samples; }
  virtual bool SendMidiMsg(IMidiMsg* msg) = 0;
  virtual bool SendSysEx(ISysEx*) { return false; }
  virtual void RedrawParamControls();
  virtual void DirtyPTCompareState() {}
  virtual void PresetsChangedByHost() {}
  // Resizes and zeroes every channel's scratch buffer when the size changes.
  virtual void SetBlockSize(int blockSize);

  // ---- identity ----
  const char* GetEffectName() const { return mEffectName; }
  const char* GetProductName() const { return mProductName; }
  const char* GetMfrName() const { return mMfrName; }
  int GetUniqueID() const { return mUniqueID; }
  int GetMfrID() const { return mMfrID; }
  // The packed version, or its decimal form.
  int GetEffectVersion(bool decimal) const;
  // Writes "v%d.%d.%d" into out (kVersionStrSize bytes).
  void GetEffectVersionStr(char* out) const;
  int GetHostVersion(bool decimal);
  void GetHostVersionStr(char* out);
  const char* GetAPIString();
  const char* GetArchString() const { return "x64"; }
  void SetHost(const char* name, int version);
  bool DoesStateChunks() const { return mStateChunks; }
  bool IsInst() const { return mIsInst; }
  bool DoesMIDI() const { return mDoesMIDI; }

  // ---- parameters ----
  int NParams() const { return mParams.GetSize(); }
  IParam* GetParam(int paramIdx) const { return mParams.Get(paramIdx); }
  IGraphics* GetGUI() const { return mGraphics; }
  // OnParamChange for every parameter, in index order.
  void OnParamReset();
  // Tells the host every parameter's value.
  void DirtyParameters();

  // ---- audio ----
  double GetSampleRate() const { return mSampleRate; }
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  int GetLatency() const { return mLatency; }
  // Samples per beat at the host's tempo; 0 without a tempo.
  double GetSamplesPerBeat();

  int NChannelIO() const { return mChannelIO.GetSize(); }
  // False for an index outside the configurations.
  bool GetChannelIO(int idx, int* nIn, int* nOut) const;
  // Whether some configuration has these counts; a negative count matches any.
  bool LegalIO(int nIn, int nOut) const;
  // Disconnects the inputs from the third on and connects the outputs from the third on.
  void LimitToStereoIO();
  int NInChannels() const { return mInChannels.GetSize(); }
  int NOutChannels() const { return mOutChannels.GetSize(); }
  bool IsInChannelConnected(int chIdx) const;
  bool IsOutChannelConnected(int chIdx) const;
  // A channel that is not connected reads (input) or writes (output) its own
  // scratch buffer instead of a host buffer.
  void SetInputChannelConnections(int first, int n, bool connected);
  void SetOutputChannelConnections(int first, int n, bool connected);
  void SetInputLabel(int chIdx, const char* label);
  void SetOutputLabel(int chIdx, const char* label);
  const char* GetInputLabel(int chIdx) const;
  const char* GetOutputLabel(int chIdx) const;
  // Only buses 0 and 1 have input labels; output buses any index from 0.
  void SetInputBusLabel(int busIdx, const char* label);
  void SetOutputBusLabel(int busIdx, const char* label);
  const char* GetInputBusLabel(int busIdx) const;
  const char* GetOutputBusLabel(int busIdx) const;

  // The road for hosts that hand over their own buffers, one per connected
  // channel from `first` on. The float forms convert through the scratch
  // buffers and handle at most GetBlockSize() frames.
  void AttachInputBuffers(int first, int n, double** buffers);
  void AttachInputBuffers(int first, int n, float** buffers, int nFrames);
  void AttachOutputBuffers(int first, int n, double** buffers);
  void AttachOutputBuffers(int first, int n, float** buffers);
  void PassThroughBuffers(double sampleType, int nFrames);
  void PassThroughBuffers(float sampleType, int nFrames);
  void ProcessBuffers(double sampleType, int nFrames);
  void ProcessBuffers(float sampleType, int nFrames);
  void ProcessBuffersAccumulating(float sampleType, int nFrames);
  void ZeroScratchBuffers();

  // ---- MIDI ----
  // True when every message was sent.
  bool SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* msgs);

  // ---- state and presets ----
  // Appends every parameter's plain value as a double.
  bool SerializeParams(ByteChunk* chunk);
  // Reads one double per parameter from pos, clamped to its range (NaN gives
  // the default). A short chunk sets the first parameter without data to its
  // clamped 0 and leaves the later ones; every parameter is announced either
  // way. Returns the position after the values, or -1.
  int UnserializeParams(ByteChunk* chunk, int pos);

  // Clears the chunk and puts the version header.
  static bool InitChunkWithIPlugVer(ByteChunk* chunk);
  // The version after a header at *pos (which then advances past it, or becomes
  // -1 when the header is cut short); 0 with *pos unchanged without a header.
  static int GetIPlugVerFromChunk(ByteChunk* chunk, int* pos);

  int NPresets() const { return mPresets.GetSize(); }
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }
  const IPreset* GetPreset(int idx) const { return mPresets.Get(idx); }
  // "" for an index outside the slots.
  const char* GetPresetName(int idx) const;

  // Each fills the first slot not yet initialized; false when none is free.
  // n slots named name ("Empty" for null) with the current state; stops at the first failure.
  bool MakeDefaultPreset(const char* name, int n);
  // One value per parameter follows: an int for bool, int and enum parameters,
  // a double for double parameters.
  bool MakePreset(const char* name, ...);
  // n pairs follow: parameter index, then its value as for MakePreset; the
  // parameters not named keep their current values. An index outside the
  // parameters ends the list (its value's type is unknown).
  bool MakePresetFromNamedParams(const char* name, int n, ...);
  bool MakePresetFromChunk(const char* name, ByteChunk* chunk);
  // A state of size bytes decoded from Base64 text; bytes the text does not
  // cover are zero.
  bool MakePresetFromBlob(const char* name, const char* blob, int size);
  // Every free slot becomes "Empty" holding the current state.
  void EnsureDefaultPreset();
  void PruneUninitializedPresets();

  // Applies slot idx (a free slot first takes the current state as
  // "user preset N") and makes it current.
  bool RestorePreset(int idx);
  bool RestorePreset(const char* name);
  // Refills the current slot with the current state; a non-empty name renames it.
  void ModifyCurrentPreset(const char* name = nullptr);

  // Per slot: name (as PutStr), an initialized byte, then the slot's state when initialized.
  bool SerializePresets(ByteChunk* chunk);
  // Reads what SerializePresets wrote, applying and re-saving every
  // initialized slot, then restores the current preset. Stops at the first
  // short read, leaving the slot where data ran out as it was. Returns the
  // position after the bank, or -1.
  int UnserializePresets(ByteChunk* chunk, int pos);

  // Program (current state) and bank (every slot) files.
  bool SaveProgramAsFXP(WDL_String* path);
  bool LoadProgramFromFXP(WDL_String* path);
  bool SaveBankAsFXB(WDL_String* path);
  bool LoadBankFromFXB(WDL_String* path);

  // Developer dumps: source text that rebuilds the current preset or the bank.
  bool DumpPresetSrcCode(const char* path, const char** paramEnumNames);
  bool DumpPresetBlob(const char* path);
  bool DumpBankBlob(const char* path);

protected:
  // The same file layouts in memory; the loaders check every field against
  // size before reading it.
  bool MakeProgramFile(ByteChunk* file);
  bool MakeBankFile(ByteChunk* file);
  bool LoadProgramFromBytes(const uint8_t* data, int size);
  bool LoadBankFromBytes(const uint8_t* data, int size);

private:
  void ParseChannelIO(const char* channelIOStr, int* nInputs, int* nOutputs);
  // Points every unconnected channel at its scratch buffer (null while empty).
  void RouteUnconnectedToScratch();
  // The float side of the host-side buffer road: store or add each connected output.
  void CopyOutputsToFloat(int nFrames, bool accumulate);
  IPreset* FirstFreePreset() const;
  // UnserializePresets for the first nSlots slots only.
  int UnserializePresetSlots(ByteChunk* chunk, int pos, int nSlots);
  // Fills the slot with the current state; false (the slot unchanged) on failure.
  bool CaptureStateInto(IPreset* preset);
  bool LoadChunkProgram(const uint8_t* data, int size);
  bool LoadParamProgram(const uint8_t* data, int size);
  bool LoadChunkBank(const uint8_t* data, int size);
  bool LoadParamBank(const uint8_t* data, int size);
  // Refills the current slot from the loaded state, applies it and tells the host.
  void FinishProgramLoad();

  WDL_PtrList<ChannelIO> mChannelIO;

protected:
  // Taken by processing, parameter changes, state serialisation and the
  // editor's attachment; recursive, so overrides may take it again.
  WDL_Mutex mMutex;

private:
  char mEffectName[kMaxNameSize];
  char mProductName[kMaxNameSize];
  char mMfrName[kMaxNameSize];
  int mUniqueID;
  int mMfrID;
  int mVersion;
  EAPI mAPI;
  EHost mHost = kHostUninit;
  int mHostVersion = 0;
  bool mStateChunks;
  bool mIsInst;
  bool mDoesMIDI;
  int mCurrentPresetIdx = 0;
  double mSampleRate = 44100.0;
  int mBlockSize = 0;
  int mLatency;
  IGraphics* mGraphics = nullptr;
  WDL_PtrList<IParam> mParams;
  WDL_PtrList<IPreset> mPresets;
  WDL_TypedBuf<double*> mInData;
  WDL_TypedBuf<double*> mOutData;
  WDL_PtrList<InChannel> mInChannels;
  WDL_PtrList<OutChannel> mOutChannels;
  WDL_PtrList<WDL_String> mInputBusLabels;
  WDL_PtrList<WDL_String> mOutputBusLabels;
};
