#pragma once

// The peer synthesizer in the benchmarks: a DSSI plug-in (amsynth, from its
// Debian package) loaded and driven as a minimal host drives it, on the same
// pattern render-bench plays to our own.
#include <string>
#include <vector>

struct _DSSI_Descriptor;

class DssiPeer
{
public:
  static constexpr const char* kDefaultPath = "/usr/lib/dssi/amsynth_dssi.so";

  DssiPeer() = default;
  DssiPeer(const DssiPeer&) = delete;
  DssiPeer& operator=(const DssiPeer&) = delete;
  ~DssiPeer();

  // Loads the library's first plug-in at sampleRate with every control port at
  // its stated default. False, with the reason in Error(), when it cannot.
  bool Load(const std::string& path, unsigned long sampleRate);
  const std::string& Error() const { return mError; }
  const char* Name() const;
  // Sets the control port of that name; false when there is none.
  bool SetControl(const std::string& port, float value);

  // Starts the keys (velocity given) at the next block's first frame.
  void PressKeys(const std::vector<int>& keys, int velocity);
  // Renders one block of frames (<= the block size given to Load's caller).
  void RenderBlock(unsigned long frames);
  const float* Left() const { return mLeft.data(); }
  const float* Right() const { return mRight.data(); }
  void Unload();

  static constexpr unsigned long kMaxBlock = 4096;

private:
  void* mLibrary = nullptr;
  const _DSSI_Descriptor* mDescriptor = nullptr;
  void* mHandle = nullptr;
  std::vector<float> mControls;
  std::vector<float> mLeft, mRight;
  std::vector<int> mPendingKeys;
  int mVelocity = 0;
  std::string mError;
  std::string mDataHome;  // the scratch data home while loaded
};
