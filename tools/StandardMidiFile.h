#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One channel message of a MIDI file, at its time from the start of the piece.
// A message with one data byte (program change, channel pressure) has data2 0.
struct SmfEvent
{
  double seconds;
  uint8_t status;
  uint8_t data1;
  uint8_t data2;
};

// The channel messages of a whole file, merged from every track into time
// order. At the same tick each track's note-offs (and note-ons of velocity 0)
// go before the other tracks' messages, so that a note ending in one track
// never ends the same key just begun in another; otherwise track order, and
// within a track always file order.
struct SmfSequence
{
  int format = 0;
  int numTracks = 0;
  std::vector<SmfEvent> events;
};

// Files larger than this are refused before they are read: a piece that a
// person plays is a few hundred kilobytes at most.
inline constexpr size_t kMaxSmfFileBytes = 16u << 20;
// A bound on the messages kept, so that a hostile file cannot claim unbounded memory.
inline constexpr size_t kMaxSmfEvents = 4u << 20;

// Reads a Standard MIDI File of format 0 or 1: running status, system-exclusive
// and meta events (tempo changes are honoured, the rest skipped), chunks of
// unknown type skipped, metrical or SMPTE time division. Every length is
// checked against the bytes left. On failure returns false with a sentence
// naming what is wrong in error; out is then left empty.
bool ReadStandardMidiFile(const uint8_t* data, size_t size, SmfSequence* out, std::string* error);

// The same from a file; a missing or unreadable file is an error too.
bool LoadStandardMidiFile(const std::string& path, SmfSequence* out, std::string* error);
