#include "smf_builder.h"

#include <cstdio>
#include <string>

// Writes a few small MIDI files into the directory given as the argument: both
// formats, running status, tempo changes, system-exclusive, SMPTE time and
// tracks that end and begin the same keys at one tick.
int main(int argc, char** argv)
{
  if (argc != 2) return 2;
  using smf::Bytes;
  const Bytes notes = {0x00, 0x90, 60, 100, 0x60, 64, 100, 0x60, 0x80, 60, 0, 0x00, 64, 0,
                       0x00, 0xE0, 0x00, 0x50, 0x10, 0xB0, 64, 127, 0x00, 0xC0, 3, 0x00, 0xFF, 0x2F, 0x00};
  const Bytes tempos = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x81, 0x40, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,
                        0x00, 0xF0, 0x03, 0x43, 0x12, 0xF7, 0x00, 0xFF, 0x2F, 0x00};
  // Tracks meeting at one tick: one ends keys that another begins there.
  const Bytes takesOver = {0x60, 0x90, 60, 100, 0x00, 0xB0, 7, 90, 0x00, 0x90, 64, 100, 0x00, 0xFF, 0x2F, 0x00};
  const Bytes handsOver = {0x00, 0x90, 60, 90, 0x60, 0x90, 60, 0, 0x00, 0x90, 62, 80, 0x00, 0x80, 64, 0,
                           0x00, 0xFF, 0x2F, 0x00};
  const struct
  {
    const char* name;
    Bytes file;
  } seeds[] = {
      {"format0.mid", smf::File(0, 96, {smf::Track(notes)})},
      {"format1.mid", smf::File(1, 480, {smf::Track(tempos), smf::Track(notes)})},
      {"smpte.mid", smf::File(0, uint16_t((uint8_t(-25) << 8) | 40), {smf::Track(notes)})},
      {"tracks_meet.mid", smf::File(1, 96, {smf::Track(takesOver), smf::Track(notes), smf::Track(handsOver)})},
  };
  for (const auto& seed : seeds)
  {
    const std::string path = std::string(argv[1]) + "/" + seed.name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 1;
    std::fwrite(seed.file.data(), 1, seed.file.size(), f);
    std::fclose(f);
  }
  return 0;
}
