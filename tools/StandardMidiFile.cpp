#include "StandardMidiFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace
{
constexpr uint32_t kHeaderLength = 6;
constexpr uint32_t kDefaultMicrosPerQuarter = 500000;  // 120 beats per minute
constexpr int kMaxVariableLengthBytes = 4;

constexpr uint8_t kMetaEvent = 0xFF;
constexpr uint8_t kSysEx = 0xF0;
constexpr uint8_t kSysExContinuation = 0xF7;
constexpr uint8_t kMetaEndOfTrack = 0x2F;
constexpr uint8_t kMetaTempo = 0x51;

std::string Format(const char* fmt, auto... args)
{
  char text[256];
  std::snprintf(text, sizeof(text), fmt, args...);
  return text;
}

// A read position inside a byte range that never reads past its end.
class Cursor
{
public:
  Cursor(const uint8_t* data, size_t size) : mData(data), mSize(size) {}

  size_t Left() const { return mSize - mPos; }
  size_t Pos() const { return mPos; }
  bool AtEnd() const { return mPos >= mSize; }

  bool Byte(uint8_t* value)
  {
    if (Left() < 1) return false;
    *value = mData[mPos++];
    return true;
  }

  bool BigEndian(int nBytes, uint32_t* value)
  {
    if (Left() < size_t(nBytes)) return false;
    uint32_t v = 0;
    for (int i = 0; i < nBytes; ++i) v = (v << 8) | mData[mPos++];
    *value = v;
    return true;
  }

  // MIDI's variable-length quantity: seven bits per byte, high bit "more follows".
  bool VariableLength(uint32_t* value)
  {
    uint32_t v = 0;
    for (int i = 0; i < kMaxVariableLengthBytes; ++i)
    {
      uint8_t b;
      if (!Byte(&b)) return false;
      v = (v << 7) | (b & 0x7F);
      if (!(b & 0x80))
      {
        *value = v;
        return true;
      }
    }
    return false;
  }

  bool Skip(size_t n)
  {
    if (Left() < n) return false;
    mPos += n;
    return true;
  }

  const uint8_t* Here() const { return mData + mPos; }

private:
  const uint8_t* mData;
  size_t mSize;
  size_t mPos = 0;
};

// Where a message goes among the other tracks' messages at its tick; lower first.
enum class SameTickRank : uint8_t
{
  kLeadingNoteOff,    // the note-offs that open the track's messages at this tick
  kUpToLastNoteOff,   // the rest up to the track's last note-off at this tick
  kAfterNoteOffs,     // what follows the track's last note-off at this tick
};

struct TickedEvent
{
  uint64_t tick;
  SmfEvent event;
  SameTickRank rank = SameTickRank::kAfterNoteOffs;
};

bool IsNoteOff(const SmfEvent& e)
{
  const int kind = e.status >> 4;
  return kind == 0x8 || (kind == 0x9 && e.data2 == 0);
}

// A note-off ends a note its own track began earlier; played after another
// track's note-on of the same key at the same tick, it would end that new note
// at once. So at each tick every track's note-offs go before the other tracks'
// messages, as far as the track's own order allows: its leading note-offs
// first, then everything up to its last note-off, then the rest. Within the
// track the ranks never decrease, so a stable sort keeps its file order.
void RankSameTickMessages(TickedEvent* first, TickedEvent* last)
{
  while (first != last)
  {
    TickedEvent* end = first;
    const TickedEvent* lastNoteOff = nullptr;
    for (; end != last && end->tick == first->tick; ++end)
      if (IsNoteOff(end->event)) lastNoteOff = end;
    bool leading = true;
    for (TickedEvent* e = first; e != end; ++e)
    {
      leading = leading && IsNoteOff(e->event);
      if (leading)
        e->rank = SameTickRank::kLeadingNoteOff;
      else if (e <= lastNoteOff)
        e->rank = SameTickRank::kUpToLastNoteOff;
      else
        e->rank = SameTickRank::kAfterNoteOffs;
    }
    first = end;
  }
}

// Chunk types are four bytes from the file: printable ASCII as it is, any
// other byte as \xNN, so that a message never carries raw control bytes.
std::string PrintableChunkType(const char* type)
{
  std::string out;
  for (int i = 0; i < 4; ++i)
  {
    const unsigned char c = static_cast<unsigned char>(type[i]);
    if (c >= 0x20 && c < 0x7F)
      out += char(c);
    else
      out += Format("\\x%02X", c);
  }
  return out;
}

struct TempoChange
{
  uint64_t tick;
  uint32_t microsPerQuarter;
};

// Data bytes of a channel message by its high nibble (0x8 .. 0xE).
int DataBytesOf(uint8_t status)
{
  const int kind = status >> 4;
  return (kind == 0xC || kind == 0xD) ? 1 : 2;
}

class TrackReader
{
public:
  TrackReader(int trackNumber, std::vector<TickedEvent>* events, std::vector<TempoChange>* tempos)
      : mTrack(trackNumber), mEvents(events), mTempos(tempos)
  {
  }

  bool Read(Cursor cursor, std::string* error)
  {
    uint64_t tick = 0;
    uint8_t runningStatus = 0;
    while (!cursor.AtEnd())
    {
      uint32_t delta;
      if (!cursor.VariableLength(&delta)) return Fail(error, "a time delta that is cut short or longer than four bytes");
      tick += delta;

      uint8_t first;
      if (!cursor.Byte(&first)) return Fail(error, "an event missing after its time delta");

      if (first == kMetaEvent)
      {
        runningStatus = 0;
        bool endOfTrack = false;
        if (!ReadMeta(cursor, tick, &endOfTrack, error)) return false;
        if (endOfTrack) return true;  // whatever follows in the chunk is not part of the track
        continue;
      }
      if (first == kSysEx || first == kSysExContinuation)
      {
        runningStatus = 0;
        uint32_t length;
        if (!cursor.VariableLength(&length) || !cursor.Skip(length))
          return Fail(error, "a system-exclusive message that is cut short");
        continue;
      }
      if (first > 0xF0) return Fail(error, Format("the status byte 0x%02X, which a MIDI file cannot hold", first));

      uint8_t status = runningStatus;
      uint8_t data[2] = {0, 0};
      int dataRead = 0;
      if (first & 0x80)
        status = first;
      else if (status == 0)
        return Fail(error, Format("the data byte 0x%02X without a status before it", first));
      else
        data[dataRead++] = first;
      runningStatus = status;

      for (; dataRead < DataBytesOf(status); ++dataRead)
      {
        if (!cursor.Byte(&data[dataRead])) return Fail(error, "a channel message that is cut short");
        if (data[dataRead] & 0x80)
          return Fail(error, Format("the byte 0x%02X where a data byte belongs", data[dataRead]));
      }
      if (mEvents->size() >= kMaxSmfEvents)
        return Fail(error, Format("more than %zu channel messages in the file", kMaxSmfEvents));
      mEvents->push_back({tick, {0.0, status, data[0], data[1]}});
    }
    return true;  // a track without an end-of-track event ends with its chunk
  }

private:
  bool ReadMeta(Cursor& cursor, uint64_t tick, bool* endOfTrack, std::string* error)
  {
    uint8_t type;
    uint32_t length;
    if (!cursor.Byte(&type) || !cursor.VariableLength(&length) || cursor.Left() < length)
      return Fail(error, "a meta event that is cut short");
    const uint8_t* body = cursor.Here();
    cursor.Skip(length);
    if (type == kMetaEndOfTrack)
    {
      *endOfTrack = true;
    }
    else if (type == kMetaTempo)
    {
      if (length != 3) return Fail(error, Format("a tempo event of %u bytes instead of 3", length));
      const uint32_t micros = (uint32_t(body[0]) << 16) | (uint32_t(body[1]) << 8) | body[2];
      if (micros == 0) return Fail(error, "a tempo of 0 microseconds per quarter note");
      mTempos->push_back({tick, micros});
    }
    return true;
  }

  bool Fail(std::string* error, const std::string& what) const
  {
    *error = Format("track %d holds %s", mTrack, what.c_str());
    return false;
  }

  int mTrack;
  std::vector<TickedEvent>* mEvents;
  std::vector<TempoChange>* mTempos;
};

// Seconds per tick under one tempo, or for all ticks of an SMPTE division.
struct Timing
{
  bool smpte = false;
  double secondsPerSmpteTick = 0.0;
  uint32_t ticksPerQuarter = 0;
};

bool ReadDivision(uint16_t division, Timing* timing, std::string* error)
{
  if (!(division & 0x8000))
  {
    if (division == 0)
    {
      *error = "the header gives 0 ticks per quarter note";
      return false;
    }
    timing->ticksPerQuarter = division;
    return true;
  }
  const int framesPerSecond = -static_cast<int8_t>(division >> 8);
  const int ticksPerFrame = division & 0xFF;
  double rate = 0.0;
  switch (framesPerSecond)
  {
    case 24: rate = 24.0; break;
    case 25: rate = 25.0; break;
    case 29: rate = 30000.0 / 1001.0; break;  // 30 drop-frame runs at 29.97 frames per second
    case 30: rate = 30.0; break;
    default: *error = Format("the header gives %d SMPTE frames per second (24, 25, 29 or 30)", framesPerSecond); return false;
  }
  if (ticksPerFrame == 0)
  {
    *error = "the header gives 0 ticks per SMPTE frame";
    return false;
  }
  timing->smpte = true;
  timing->secondsPerSmpteTick = 1.0 / (rate * ticksPerFrame);
  return true;
}

// Converts ticks to seconds along the tempo map, walking both in tick order.
void AssignSeconds(const Timing& timing, std::vector<TempoChange>& tempos, std::vector<TickedEvent>& events)
{
  if (timing.smpte)
  {
    for (TickedEvent& e : events) e.event.seconds = double(e.tick) * timing.secondsPerSmpteTick;
    return;
  }
  std::stable_sort(tempos.begin(), tempos.end(), [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
  const double quarterTicks = timing.ticksPerQuarter;
  uint64_t segmentTick = 0;
  double segmentSeconds = 0.0;
  double secondsPerTick = kDefaultMicrosPerQuarter * 1e-6 / quarterTicks;
  size_t nextTempo = 0;
  for (TickedEvent& e : events)
  {
    // A tempo change at the same tick as a message applies to it.
    while (nextTempo < tempos.size() && tempos[nextTempo].tick <= e.tick)
    {
      segmentSeconds += double(tempos[nextTempo].tick - segmentTick) * secondsPerTick;
      segmentTick = tempos[nextTempo].tick;
      secondsPerTick = tempos[nextTempo].microsPerQuarter * 1e-6 / quarterTicks;
      ++nextTempo;
    }
    e.event.seconds = segmentSeconds + double(e.tick - segmentTick) * secondsPerTick;
  }
}
}  // namespace

bool ReadStandardMidiFile(const uint8_t* data, size_t size, SmfSequence* out, std::string* error)
{
  *out = SmfSequence{};
  Cursor file(data, size);

  uint32_t headerLength;
  uint32_t format;
  uint32_t numTracks;
  uint32_t division;
  if (size < 4 || std::memcmp(data, "MThd", 4) != 0)
  {
    *error = "not a Standard MIDI File (it does not start with \"MThd\")";
    return false;
  }
  file.Skip(4);
  if (!file.BigEndian(4, &headerLength) || headerLength < kHeaderLength || !file.BigEndian(2, &format) ||
      !file.BigEndian(2, &numTracks) || !file.BigEndian(2, &division) || !file.Skip(headerLength - kHeaderLength))
  {
    *error = "the file header is cut short";
    return false;
  }
  if (format == 2)
  {
    *error = "format 2 (independent sequences) is not supported; use format 0 or 1";
    return false;
  }
  if (format > 2)
  {
    *error = Format("unknown file format %u", format);
    return false;
  }
  if (numTracks == 0)
  {
    *error = "the header announces no tracks";
    return false;
  }
  if (format == 0 && numTracks != 1)
  {
    *error = Format("a format 0 file must hold one track, this header announces %u", numTracks);
    return false;
  }
  Timing timing;
  if (!ReadDivision(uint16_t(division), &timing, error)) return false;

  std::vector<TickedEvent> events;
  std::vector<TempoChange> tempos;
  int tracksRead = 0;
  while (tracksRead < int(numTracks))
  {
    char type[4];
    uint32_t length = 0;
    if (file.Left() < 8)
    {
      *error = Format("the header announces %u tracks, the file holds %d", numTracks, tracksRead);
      return false;
    }
    std::memcpy(type, file.Here(), 4);
    file.Skip(4);
    file.BigEndian(4, &length);
    if (file.Left() < length)
    {
      *error = Format("chunk %s after track %d needs %u bytes, %zu are left", PrintableChunkType(type).c_str(),
                      tracksRead, length, file.Left());
      return false;
    }
    Cursor chunk(file.Here(), length);
    file.Skip(length);
    if (std::memcmp(type, "MTrk", 4) != 0) continue;  // chunks of other types are skipped by rule
    ++tracksRead;
    const size_t trackStart = events.size();
    if (!TrackReader(tracksRead, &events, &tempos).Read(chunk, error)) return false;
    RankSameTickMessages(events.data() + trackStart, events.data() + events.size());
  }

  // Tracks were appended one after the other: a stable sort keeps track order,
  // then file order, for messages of the same tick and rank.
  std::stable_sort(events.begin(), events.end(), [](const TickedEvent& a, const TickedEvent& b) {
    return a.tick != b.tick ? a.tick < b.tick : a.rank < b.rank;
  });
  AssignSeconds(timing, tempos, events);

  out->format = int(format);
  out->numTracks = int(numTracks);
  out->events.reserve(events.size());
  for (const TickedEvent& e : events) out->events.push_back(e.event);
  return true;
}

bool LoadStandardMidiFile(const std::string& path, SmfSequence* out, std::string* error)
{
  *out = SmfSequence{};
  const std::string quoted = "\"" + path + "\"";
  std::error_code code;
  if (std::filesystem::is_directory(path, code))
  {
    *error = quoted + " is a folder, not a MIDI file";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in)
  {
    *error = "cannot open the MIDI file " + quoted;
    return false;
  }
  std::vector<uint8_t> bytes;
  char buffer[65536];
  while (in)
  {
    in.read(buffer, sizeof(buffer));
    bytes.insert(bytes.end(), buffer, buffer + in.gcount());
    if (bytes.size() > kMaxSmfFileBytes)
    {
      *error = "the MIDI file " + quoted + Format(" is larger than %zu MiB", kMaxSmfFileBytes >> 20);
      return false;
    }
  }
  if (in.bad())
  {
    *error = "cannot read the MIDI file " + quoted;
    return false;
  }
  if (!ReadStandardMidiFile(bytes.data(), bytes.size(), out, error))
  {
    *error = quoted + ": " + *error;
    return false;
  }
  return true;
}
