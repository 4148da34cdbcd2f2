#include "Hosts.h"

#include "Log.h"

#include <cstdio>
#include <cstring>
#include <iterator>

namespace
{
struct HostWord
{
  const char* word;
  EHost host;
};

// Tested in this order; the first word the name contains decides, so a name
// that holds two of them is identified by the earlier one.
constexpr HostWord kHostWords[] = {
  {"cubase", kHostCubase},
  {"reaper", kHostReaper},
  {"nuendo", kHostNuendo},
  {"cakewalk", kHostSonar},
  {"samplitude", kHostSamplitude},
  {"fruity", kHostFL},
  {"live", kHostLive},
  {"melodyne", kHostMelodyne},
  {"vstmanlib", kHostVSTScanner},
  {"aulab", kHostAULab},
  {"garageband", kHostGarageBand},
  {"forte", kHostForte},
  {"chainer", kHostChainer},
  {"audition", kHostAudition},
  {"orion", kHostOrion},
  {"sawstudio", kHostSAWStudio},
  {"logic", kHostLogic},
  {"digital", kHostDigitalPerformer},
  {"audiomulch", kHostAudioMulch},
  {"presonus", kHostStudioOne},
  {"vst3plugintesthost", kHostVST3TestHost},
  {"protools", kHostProTools},
  {"ardour", kHostArdour},
  {"openmpt", kHostOpenMPT},
  {"renoise", kHostRenoise},
  {"standalone", kHostStandalone},
};

// Indexed by EHost; null where the host has no display name.
constexpr const char* kHostNames[] = {
  "Unknown",            // 0
  "Reaper",             // 1
  "ProTools",           // 2
  "Cubase",             // 3
  "Nuendo",             // 4
  "Sonar",              // 5
  "Vegas",              // 6
  "FLStudio",           // 7
  "Samplitude",         // 8
  "Live",               // 9
  nullptr,              // 10
  nullptr,              // 11
  nullptr,              // 12
  "VSTScanner",         // 13
  "AULab",              // 14
  "Forte",              // 15
  "Chainer",            // 16
  "Audition",           // 17
  "Orion",              // 18
  nullptr,              // 19
  "SAWStudio",          // 20
  "Logic",              // 21
  "GarageBand",         // 22
  "DigitalPerformer",   // 23
  "Standalone",         // 24
  "AudioMulch",         // 25
  "StudioOne",          // 26
  "VST3PluginTestHost", // 27
  "Ardour",             // 28
  "Renoise",            // 29
  "OpenMPT",            // 30
};
static_assert(std::size(kHostNames) == kHostOpenMPT + 1, "one entry per host number");

constexpr int kMaxLookedAtName = 256;  // bytes, NUL included
}  // namespace

EHost LookUpHost(const char* name)
{
  if (!name) return kHostUnknown;

  // Cut before lower-casing: ToLower writes as much as it reads.
  char cut[kMaxLookedAtName];
  std::strncpy(cut, name, sizeof(cut) - 1);
  cut[sizeof(cut) - 1] = 0;
  char lower[kMaxLookedAtName];
  ToLower(lower, cut);

  for (const HostWord& hw : kHostWords)
    if (std::strstr(lower, hw.word)) return hw.host;
  return kHostUnknown;
}

void GetHostNameStr(EHost host, char* out)
{
  if (!out) return;
  const char* name = nullptr;
  if (host >= 0 && host < static_cast<int>(std::size(kHostNames))) name = kHostNames[host];
  std::snprintf(out, kHostNameSize, "%s", name ? name : "Unknown");
}
