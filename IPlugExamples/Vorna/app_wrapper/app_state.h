#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The application's settings record: fixed width, text fields NUL-terminated
// inside kNameSize bytes, so that records compare and copy as plain bytes.
constexpr size_t kNameSize = 100;

struct AppState
{
  uint16_t driver = 0;
  char inDev[kNameSize] = "default";
  char outDev[kNameSize] = "default";
  char sr[kNameSize] = "44100";
  char iovs[kNameSize] = "512";
  char sigvs[kNameSize] = "32";
  uint16_t inChanL = 1;
  uint16_t inChanR = 2;
  uint16_t outChanL = 1;
  uint16_t outChanR = 2;
  uint16_t monoInput = 0;
  char midiInDev[kNameSize] = "off";
  char midiOutDev[kNameSize] = "off";
  uint16_t midiInChan = 0;
  uint16_t midiOutChan = 0;
};

bool AudioSettingsInStateAreEqual(const AppState* a, const AppState* b);
bool MIDISettingsInStateAreEqual(const AppState* a, const AppState* b);

// Copies text into a kNameSize field, cut to kNameSize - 1 bytes, the rest of the field zeroed.
void CopyName(char (&field)[kNameSize], const char* text);

// A listed device or port name as a field keeps it: the first kNameSize - 1 bytes (a
// character cut there left out whole), each control byte but tab (which no line of the
// settings file holds) as '?', then without what the settings file's reader takes off its
// ends (blanks, tabs, a pair of quotes round it), so that the name picked is the very name
// the next start reads.
std::string KeptName(const std::string& listed);
void KeepName(char (&field)[kNameSize], const std::string& listed);

// How well a name kept in a field names a listed device or port, best first: the same text,
// the listed name as a field keeps it, or, when the field is full (a name cut on the way in),
// the start of it.
enum class NameMatch
{
  exact,
  keptAlike,
  prefix,
  none,
};
NameMatch MatchStoredName(const char* stored, const std::string& listed);
inline bool StoredNameMatches(const char* stored, const std::string& listed)
{
  return MatchStoredName(stored, listed) != NameMatch::none;
}

// The name a stored name stands for, or -1: the first that matches best.
int FindStoredName(const std::vector<std::string>& names, const char* stored);

// The entries the player picked, by the name each is kept under: while the application runs,
// a kept name stands for the very entry picked, even where other entries are kept alike.
class PickedNames
{
public:
  // names[position] was picked.
  void Remember(const std::vector<std::string>& names, size_t position);
  // The entry picked under the stored name, where it is still listed (at its place, else the
  // first of its name); otherwise FindStoredName's.
  int Find(const std::vector<std::string>& names, const char* stored) const;

private:
  struct Pick
  {
    std::string kept;
    std::string listed;
    size_t position;
  };
  std::vector<Pick> mPicks;
};

// The settings the audio and MIDI threads read while the main thread may write
// them (mono input, MIDI input channel): one whole 16-bit field at a time.
inline uint16_t ReadSharedField(uint16_t& field)
{
  return std::atomic_ref<uint16_t>(field).load(std::memory_order_relaxed);
}
inline void WriteSharedField(uint16_t& field, uint16_t value)
{
  std::atomic_ref<uint16_t>(field).store(value, std::memory_order_relaxed);
}

// Copies one whole record into another that the audio and MIDI threads may be reading
// (gState is never assigned as a whole): the fields they read are written whole, the rest
// as plain bytes.
void CopySettings(AppState* to, const AppState& from);
