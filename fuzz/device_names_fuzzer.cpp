// Device and port names as the audio and MIDI libraries give them: any bytes, any length.
// Besides not crashing, for every name: the name kept for it is at most 99 bytes, holds no
// control byte but tab, has no blank or tab at either end nor a pair of quotes round it (what
// the settings file's reader takes off), is kept as itself, and is valid UTF-8 when the name
// was; the settings file gives it back as it was written. For every list: each name is found
// by its own kept name (an entry that matches it at least as well), and a name picked while
// the application runs is the one found. For the audio devices a driver lists, the name
// shown is the text after the last ": " of the library's name, and every device is found by
// the name kept for it.
//
// Input: byte 0 picks what else is done (bit 0: the settings-file round trip of the first
// name; bit 1: the devices go through ProbeAudioIO); then names, each a length byte (255:
// 255 plus the next byte) and its bytes, the input's end cutting the last one short.
#include "app_main.h"
#include "swell-ini.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>


namespace
{
// A broken invariant: the line that found it, then the crash libFuzzer keeps the input of.
[[noreturn]] void Fail(int line)
{
  std::fprintf(stderr, "%s:%d: invariant broken\n", __FILE__, line);
  __builtin_trap();
}
}  // namespace

namespace
{
constexpr size_t kMaxNames = 24;
constexpr size_t kKeptBytes = kNameSize - 1;

bool isControl(unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7F; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool validUtf8(const std::string& s)
{
  for (size_t i = 0; i < s.size();)
  {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = 0;
    unsigned code = 0;
    if (c < 0x80) n = 1, code = c;
    else if (c >= 0xC2 && c < 0xE0) n = 2, code = c & 0x1F;
    else if (c >= 0xE0 && c < 0xF0) n = 3, code = c & 0x0F;
    else if (c >= 0xF0 && c < 0xF5) n = 4, code = c & 0x07;
    else return false;
    if (i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k)
    {
      const unsigned char d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      code = code << 6 | (d & 0x3F);
    }
    if ((n == 3 && code < 0x800) || (n == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF))
      return false;
    i += n;
  }
  return true;
}

void checkKept(const std::string& listed)
{
  const std::string kept = KeptName(listed);
  if (kept.size() > kKeptBytes) Fail(__LINE__);
  for (char c : kept)
    if (isControl(static_cast<unsigned char>(c))) Fail(__LINE__);
  if (!kept.empty() && (isBlank(kept.front()) || isBlank(kept.back()))) Fail(__LINE__);
  if (kept.size() >= 2 && (kept.front() == '"' || kept.front() == '\'') && kept.back() == kept.front())
    Fail(__LINE__);
  if (KeptName(kept) != kept) Fail(__LINE__);
  if (validUtf8(listed) && !validUtf8(kept)) Fail(__LINE__);
  // As a field keeps it.
  char field[kNameSize];
  std::memset(field, 'x', sizeof field);
  KeepName(field, listed);
  if (strnlen(field, kNameSize) != kept.size() || kept.compare(0, kept.size(), field, kept.size()) != 0)
    Fail(__LINE__);
  if (MatchStoredName(field, listed) == NameMatch::none) Fail(__LINE__);
}

// The kept name written as a settings value and read back.
void checkSettingsRoundTrip(const std::string& listed)
{
  static unsigned serial = 0;
  static const std::string folder = [] {
    char inMemory[] = "/dev/shm/vorna-names-fuzz-XXXXXX";
    char onDisk[] = "/tmp/vorna-names-fuzz-XXXXXX";
    const char* made = mkdtemp(inMemory);
    if (!made) made = mkdtemp(onDisk);
    if (!made) Fail(__LINE__);
    static std::string path = made;
    std::atexit([] { rmdir(path.c_str()); });
    return std::string(made);
  }();
  const std::string name = std::to_string(serial++) + ".ini";
  const std::string file = folder + "/" + name;
  char field[kNameSize];
  KeepName(field, listed);
  if (!WritePrivateProfileString("midi", "indev", field, file.c_str())) Fail(__LINE__);
  char back[2 * kNameSize];
  GetPrivateProfileString("midi", "indev", "(none)", back, sizeof back, file.c_str());
  if (std::strcmp(back, field) != 0) Fail(__LINE__);
  // The file and the writers' lock file the layer made beside it.
  unlink(file.c_str());
  unlink((folder + "/." + name + ".lock").c_str());
}

void checkList(const std::vector<std::string>& names)
{
  for (size_t i = 0; i < names.size(); ++i)
  {
    char field[kNameSize];
    KeepName(field, names[i]);
    const NameMatch own = MatchStoredName(field, names[i]);
    const int found = FindStoredName(names, field);
    if (found < 0 || size_t(found) >= names.size()) Fail(__LINE__);
    const NameMatch match = MatchStoredName(field, names[size_t(found)]);
    if (match == NameMatch::none || match > own) Fail(__LINE__);
    // No entry before the one found matches better, nor as well.
    for (int j = 0; j < found; ++j)
      if (MatchStoredName(field, names[size_t(j)]) <= match) Fail(__LINE__);
  }
  // Picks while the application runs: each is the entry found under its kept name until a
  // later pick is kept alike.
  PickedNames picks;
  std::vector<size_t> picked;
  for (size_t i = 0; i < names.size(); i += 2)
  {
    picks.Remember(names, i);
    picked.push_back(i);
  }
  for (size_t k = 0; k < picked.size(); ++k)
  {
    const std::string kept = KeptName(names[picked[k]]);
    bool replaced = false;
    for (size_t later = k + 1; later < picked.size(); ++later)
      replaced = replaced || KeptName(names[picked[later]]) == kept;
    if (!replaced && picks.Find(names, kept.c_str()) != int(picked[k])) Fail(__LINE__);
  }
}

// A driver that lists the fuzzed names as its devices.
class ListingDriver : public AudioDriver
{
public:
  explicit ListingDriver(std::vector<RtAudio::DeviceInfo> devices) : mDevices(std::move(devices)) {}
  unsigned int getDeviceCount() override { return unsigned(mDevices.size()); }
  RtAudio::DeviceInfo getDeviceInfo(unsigned int device) override { return mDevices.at(device); }
  void openStream(RtAudio::StreamParameters*, RtAudio::StreamParameters*, RtAudioFormat, unsigned int, unsigned int*,
                  RtAudioCallback, void*, RtAudio::StreamOptions*) override
  {
  }
  void startStream() override {}
  void stopStream() override {}
  void abortStream() override {}
  void closeStream() override {}
  bool isStreamOpen() const override { return false; }
  bool isStreamRunning() const override { return false; }
  bool serverWent() const override { return false; }
  bool streamFailed(std::string*) override { return false; }

private:
  std::vector<RtAudio::DeviceInfo> mDevices;
};

void checkAudioDevices(const std::vector<std::string>& names, const uint8_t* data, size_t size)
{
  std::vector<RtAudio::DeviceInfo> devices;
  for (size_t i = 0; i < names.size(); ++i)
  {
    RtAudio::DeviceInfo info;
    const uint8_t bits = size ? data[i % size] : 0;
    // Some as the libraries name them: the card or server, ": ", the device.
    info.name = (bits & 4 ? std::string("hw:Card: ") : std::string()) + names[i];
    info.probed = (bits & 1) == 0;
    info.inputChannels = bits & 2 ? 2 : 0;
    info.outputChannels = bits & 8 ? 0 : 2;
    devices.push_back(info);
  }
  gDAC = std::make_unique<ListingDriver>(devices);
  if (!ProbeAudioIO()) Fail(__LINE__);
  if (gAudioIDDevNames.size() != devices.size()) Fail(__LINE__);
  for (size_t id = 0; id < devices.size(); ++id)
  {
    const std::string& full = devices[id].name;
    const size_t separator = full.rfind(": ");
    const std::string shown = separator == std::string::npos ? full : full.substr(separator + 2);
    if (gAudioIDDevNames[id] != shown || GetAudioDeviceName(int(id)) != shown) Fail(__LINE__);
    char field[kNameSize];
    KeepName(field, shown);
    const int found = GetAudioDeviceID(field);
    if (found < 0 || MatchStoredName(field, gAudioIDDevNames[size_t(found)]) == NameMatch::none) Fail(__LINE__);
  }
  gDAC.reset();
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
  // A device the library could not probe is said on standard output.
  if (!std::freopen("/dev/null", "w", stdout)) Fail(__LINE__);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size < 1) return 0;
  const uint8_t what = data[0];
  std::vector<std::string> names;
  size_t at = 1;
  while (at < size && names.size() < kMaxNames)
  {
    size_t length = data[at++];
    if (length == 255 && at < size) length += data[at++];
    length = std::min(length, size - at);
    names.emplace_back(reinterpret_cast<const char*>(data + at), length);
    at += length;
  }
  for (const std::string& name : names) checkKept(name);
  if ((what & 1) && !names.empty()) checkSettingsRoundTrip(names.front());
  checkList(names);
  if (what & 2) checkAudioDevices(names, data, size);
  return 0;
}
