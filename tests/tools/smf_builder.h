#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// Builds Standard MIDI File bytes by hand for the reader's tests.
namespace smf
{
using Bytes = std::vector<uint8_t>;

inline void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

inline Bytes BigEndian(uint32_t value, int nBytes)
{
  Bytes out;
  for (int i = nBytes - 1; i >= 0; --i) out.push_back(uint8_t(value >> (8 * i)));
  return out;
}

inline Bytes Chunk(const char* type, const Bytes& body)
{
  Bytes out(type, type + 4);
  Append(out, BigEndian(uint32_t(body.size()), 4));
  Append(out, body);
  return out;
}

inline Bytes Header(uint16_t format, uint16_t numTracks, uint16_t division)
{
  Bytes body = BigEndian(format, 2);
  Append(body, BigEndian(numTracks, 2));
  Append(body, BigEndian(division, 2));
  return Chunk("MThd", body);
}

inline Bytes Track(const Bytes& events) { return Chunk("MTrk", events); }

inline Bytes EndOfTrack() { return {0x00, 0xFF, 0x2F, 0x00}; }

// A whole file from a header and its track chunks.
inline Bytes File(uint16_t format, uint16_t division, std::initializer_list<Bytes> tracks)
{
  Bytes out = Header(format, uint16_t(tracks.size()), division);
  for (const Bytes& t : tracks) Append(out, t);
  return out;
}
}  // namespace smf
