#include "peer_dssi.h"

#include <dlfcn.h>
#include <dssi.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace
{
// A control port's default from its range hints, as hosts read them.
float DefaultOf(const LADSPA_PortRangeHint& hint, unsigned long sampleRate)
{
  const LADSPA_PortRangeHintDescriptor h = hint.HintDescriptor;
  float lower = hint.LowerBound, upper = hint.UpperBound;
  if (LADSPA_IS_HINT_SAMPLE_RATE(h))
  {
    lower *= float(sampleRate);
    upper *= float(sampleRate);
  }
  const bool logarithmic = LADSPA_IS_HINT_LOGARITHMIC(h) && lower > 0.0f && upper > 0.0f;
  auto between = [&](float t) {
    return logarithmic ? std::exp(std::log(lower) * (1.0f - t) + std::log(upper) * t) : lower * (1.0f - t) + upper * t;
  };
  switch (h & LADSPA_HINT_DEFAULT_MASK)
  {
    case LADSPA_HINT_DEFAULT_MINIMUM: return lower;
    case LADSPA_HINT_DEFAULT_LOW: return between(0.25f);
    case LADSPA_HINT_DEFAULT_MIDDLE: return between(0.5f);
    case LADSPA_HINT_DEFAULT_HIGH: return between(0.75f);
    case LADSPA_HINT_DEFAULT_MAXIMUM: return upper;
    case LADSPA_HINT_DEFAULT_0: return 0.0f;
    case LADSPA_HINT_DEFAULT_1: return 1.0f;
    case LADSPA_HINT_DEFAULT_100: return 100.0f;
    case LADSPA_HINT_DEFAULT_440: return 440.0f;
    default: return LADSPA_IS_HINT_BOUNDED_BELOW(h) ? lower : 0.0f;
  }
}
}  // namespace

DssiPeer::~DssiPeer()
{
  Unload();
}

bool DssiPeer::Load(const std::string& path, unsigned long sampleRate)
{
  Unload();
  // The peer keeps its banks under the data home: a scratch one keeps the user's
  // untouched and needs no folder to exist already.
  char scratch[] = "/tmp/peer-data-XXXXXX";
  if (mkdtemp(scratch))
  {
    mDataHome = scratch;
    setenv("XDG_DATA_HOME", scratch, 1);
  }
  mLibrary = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!mLibrary)
  {
    const char* why = dlerror();
    mError = why ? why : "cannot open " + path;
    return false;
  }
  auto entry = reinterpret_cast<DSSI_Descriptor_Function>(dlsym(mLibrary, "dssi_descriptor"));
  mDescriptor = entry ? entry(0) : nullptr;
  if (!mDescriptor || !mDescriptor->LADSPA_Plugin || !mDescriptor->run_synth)
  {
    mError = path + " holds no DSSI synthesizer";
    Unload();
    return false;
  }
  const LADSPA_Descriptor& ladspa = *mDescriptor->LADSPA_Plugin;
  mHandle = ladspa.instantiate(&ladspa, sampleRate);
  if (!mHandle)
  {
    mError = "the plug-in did not start";
    Unload();
    return false;
  }
  mControls.assign(ladspa.PortCount, 0.0f);
  mLeft.assign(kMaxBlock, 0.0f);
  mRight.assign(kMaxBlock, 0.0f);
  int audioOut = 0;
  for (unsigned long p = 0; p < ladspa.PortCount; ++p)
  {
    const LADSPA_PortDescriptor d = ladspa.PortDescriptors[p];
    if (LADSPA_IS_PORT_CONTROL(d))
    {
      mControls[p] = DefaultOf(ladspa.PortRangeHints[p], sampleRate);
      ladspa.connect_port(mHandle, p, &mControls[p]);
    }
    else if (LADSPA_IS_PORT_AUDIO(d) && LADSPA_IS_PORT_OUTPUT(d))
    {
      ladspa.connect_port(mHandle, p, audioOut++ == 0 ? mLeft.data() : mRight.data());
    }
  }
  if (audioOut < 2)
  {
    mError = "the plug-in has no stereo output";
    Unload();
    return false;
  }
  if (ladspa.activate) ladspa.activate(mHandle);
  return true;
}

const char* DssiPeer::Name() const
{
  return mDescriptor ? mDescriptor->LADSPA_Plugin->Label : "";
}

bool DssiPeer::SetControl(const std::string& port, float value)
{
  if (!mDescriptor) return false;
  const LADSPA_Descriptor& ladspa = *mDescriptor->LADSPA_Plugin;
  for (unsigned long p = 0; p < ladspa.PortCount; ++p)
  {
    if (!LADSPA_IS_PORT_CONTROL(ladspa.PortDescriptors[p]) || port != ladspa.PortNames[p]) continue;
    mControls[p] = value;
    return true;
  }
  return false;
}

void DssiPeer::PressKeys(const std::vector<int>& keys, int velocity)
{
  mPendingKeys = keys;
  mVelocity = velocity;
}

void DssiPeer::RenderBlock(unsigned long frames)
{
  snd_seq_event_t events[128] = {};
  unsigned long count = 0;
  for (int key : mPendingKeys)
  {
    if (count == sizeof(events) / sizeof(events[0])) break;
    snd_seq_event_t& e = events[count++];
    e.type = SND_SEQ_EVENT_NOTEON;
    e.time.tick = 0;
    e.data.note.channel = 0;
    e.data.note.note = static_cast<unsigned char>(key);
    e.data.note.velocity = static_cast<unsigned char>(mVelocity);
  }
  mPendingKeys.clear();
  mDescriptor->run_synth(mHandle, frames < kMaxBlock ? frames : kMaxBlock, events, count);
}

void DssiPeer::Unload()
{
  if (mHandle)
  {
    const LADSPA_Descriptor& ladspa = *mDescriptor->LADSPA_Plugin;
    if (ladspa.deactivate) ladspa.deactivate(mHandle);
    ladspa.cleanup(mHandle);
    mHandle = nullptr;
  }
  mDescriptor = nullptr;
  if (mLibrary) dlclose(mLibrary);
  mLibrary = nullptr;
  if (!mDataHome.empty())
  {
    std::error_code ignored;
    std::filesystem::remove_all(mDataHome, ignored);
    mDataHome.clear();
  }
}
