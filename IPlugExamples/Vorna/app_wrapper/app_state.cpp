#include "app_state.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

bool AudioSettingsInStateAreEqual(const AppState* a, const AppState* b)
{
  return a->driver == b->driver && std::strcmp(a->inDev, b->inDev) == 0 && std::strcmp(a->outDev, b->outDev) == 0 &&
         std::strcmp(a->sr, b->sr) == 0 && std::strcmp(a->iovs, b->iovs) == 0 &&
         std::strcmp(a->sigvs, b->sigvs) == 0 && a->inChanL == b->inChanL && a->inChanR == b->inChanR &&
         a->outChanL == b->outChanL && a->outChanR == b->outChanR && a->monoInput == b->monoInput;
}

bool MIDISettingsInStateAreEqual(const AppState* a, const AppState* b)
{
  return std::strcmp(a->midiInDev, b->midiInDev) == 0 && std::strcmp(a->midiOutDev, b->midiOutDev) == 0 &&
         a->midiInChan == b->midiInChan && a->midiOutChan == b->midiOutChan;
}

void CopyName(char (&field)[kNameSize], const char* text)
{
  if (!text) text = "";
  const size_t length = strnlen(text, kNameSize - 1);
  std::memmove(field, text, length);
  // The rest zeroed too, so that records holding the same texts hold the same bytes.
  std::memset(field + length, 0, kNameSize - length);
}

namespace
{
bool IsQuote(char c) { return c == '"' || c == '\''; }
bool IsControlByte(char c)
{
  const unsigned char u = static_cast<unsigned char>(c);
  return (u < 0x20 && c != '\t') || u == 0x7F;
}
bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Bytes of the UTF-8 sequence a lead byte starts; 1 for anything else.
size_t SequenceLength(char lead)
{
  const unsigned char c = static_cast<unsigned char>(lead);
  if (c >= 0xF0 && c < 0xF8) return 4;
  if (c >= 0xE0) return 3;
  if (c >= 0xC0) return 2;
  return 1;
}

// Leaves out a last character that lost bytes to a cut.
void DropCutCharacter(std::string* text)
{
  size_t start = text->size();
  while (start > 0 && text->size() - start < 4 && IsContinuation((*text)[start - 1])) --start;
  if (start == 0) return;
  --start;
  if (SequenceLength((*text)[start]) > text->size() - start) text->resize(start);
}
}  // namespace

std::string KeptName(const std::string& listed)
{
  std::string kept = listed.substr(0, kNameSize - 1);
  // Only what the cut split: bytes of no character that end a shorter name are part of it, and
  // leaving them out would keep the kept name as another name again.
  if (listed.size() > kept.size()) DropCutCharacter(&kept);
  std::replace_if(kept.begin(), kept.end(), IsControlByte, '?');
  // Until nothing more goes: the reader takes one pair of quotes a reading.
  for (size_t before = std::string::npos; before != kept.size();)
  {
    before = kept.size();
    const size_t first = kept.find_first_not_of(" \t");
    if (first == std::string::npos)
    {
      kept.clear();
      break;
    }
    kept = kept.substr(first, kept.find_last_not_of(" \t") + 1 - first);
    if (kept.size() >= 2 && IsQuote(kept.front()) && kept.back() == kept.front()) kept = kept.substr(1, kept.size() - 2);
  }
  return kept;
}

void KeepName(char (&field)[kNameSize], const std::string& listed) { CopyName(field, KeptName(listed).c_str()); }

NameMatch MatchStoredName(const char* stored, const std::string& listed)
{
  const size_t length = strnlen(stored, kNameSize);
  if (listed.size() == length && listed.compare(0, length, stored, length) == 0) return NameMatch::exact;
  if (KeptName(listed) == std::string_view(stored, length)) return NameMatch::keptAlike;
  if (length == kNameSize - 1 && listed.size() > length && listed.compare(0, length, stored, length) == 0)
    return NameMatch::prefix;
  return NameMatch::none;
}

int FindStoredName(const std::vector<std::string>& names, const char* stored)
{
  int found = -1;
  NameMatch best = NameMatch::none;
  for (size_t i = 0; i < names.size() && best != NameMatch::exact; ++i)
  {
    const NameMatch match = MatchStoredName(stored, names[i]);
    if (match < best)
    {
      best = match;
      found = int(i);
    }
  }
  return found;
}

void PickedNames::Remember(const std::vector<std::string>& names, size_t position)
{
  if (position >= names.size()) return;
  Pick pick{KeptName(names[position]), names[position], position};
  for (Pick& earlier : mPicks)
    if (earlier.kept == pick.kept)
    {
      earlier = std::move(pick);
      return;
    }
  mPicks.push_back(std::move(pick));
}

int PickedNames::Find(const std::vector<std::string>& names, const char* stored) const
{
  for (const Pick& pick : mPicks)
  {
    if (pick.kept != stored) continue;
    if (pick.position < names.size() && names[pick.position] == pick.listed) return int(pick.position);
    const auto listed = std::find(names.begin(), names.end(), pick.listed);
    if (listed != names.end()) return int(listed - names.begin());
  }
  return FindStoredName(names, stored);
}

namespace
{
constexpr size_t kMonoAt = offsetof(AppState, monoInput);
constexpr size_t kChannelAt = offsetof(AppState, midiInChan);
static_assert(kMonoAt < kChannelAt, "the plain byte ranges below run between the shared fields in this order");

void CopyBytes(AppState* to, const AppState& from, size_t begin, size_t end)
{
  std::memcpy(reinterpret_cast<char*>(to) + begin, reinterpret_cast<const char*>(&from) + begin, end - begin);
}
}  // namespace

void CopySettings(AppState* to, const AppState& from)
{
  if (to == &from) return;
  CopyBytes(to, from, 0, kMonoAt);
  CopyBytes(to, from, kMonoAt + sizeof(AppState::monoInput), kChannelAt);
  CopyBytes(to, from, kChannelAt + sizeof(AppState::midiInChan), sizeof(AppState));
  WriteSharedField(to->monoInput, from.monoInput);
  WriteSharedField(to->midiInChan, from.midiInChan);
}
