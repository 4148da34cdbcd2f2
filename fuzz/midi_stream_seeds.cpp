#include "VornaParams.h"
#include "seed_writer.h"

#include <initializer_list>
#include <string>
#include <vector>

// Writes a few MIDI streams in midi_stream_fuzzer's layout into the directory
// given as the argument: a chord held and let go, pedals over a melody, the
// pitch wheel with all-notes-off, a controller learned and then moving its
// parameter, and messages the synthesizer ignores.
namespace
{
constexpr uint8_t kRender = 3;

struct Stream
{
  std::vector<uint8_t> bytes;

  Stream(uint8_t blockSizeChoice, uint8_t learnedParam) : bytes{blockSizeChoice, learnedParam} {}
  // A message of 1 to 3 bytes at a sample offset 0..63.
  Stream& Msg(int offset, std::initializer_list<uint8_t> message)
  {
    bytes.push_back(uint8_t(offset << 2 | int(message.size() - 1)));
    bytes.insert(bytes.end(), message);
    return *this;
  }
  Stream& Render(int blocks)
  {
    bytes.insert(bytes.end(), size_t(blocks), kRender);
    return *this;
  }
};
}  // namespace

int main(int argc, char** argv)
{
  if (argc != 2) return 2;
  const std::string dir = argv[1];
  constexpr uint8_t kNoLearn = 255;

  Stream chord(3, kNoLearn);
  for (int k = 0; k < 4; ++k) chord.Msg(k, {0x90, uint8_t(48 + 4 * k), 100});
  chord.Render(8);
  for (int k = 0; k < 4; ++k) chord.Msg(10 * k, {0x80, uint8_t(48 + 4 * k), 0});
  chord.Render(4);

  Stream pedals(2, kNoLearn);
  pedals.Msg(0, {0xB0, 64, 127}).Msg(1, {0x90, 60, 90}).Render(2).Msg(0, {0x80, 60, 0});
  pedals.Msg(5, {0xB0, 66, 127}).Msg(6, {0x90, 64, 80}).Render(2).Msg(0, {0x90, 67, 0});
  pedals.Msg(0, {0xB0, 65, 127}).Msg(0, {0xB0, 68, 127}).Msg(2, {0x90, 72, 70}).Render(2);
  pedals.Msg(0, {0xB0, 64, 0}).Msg(0, {0xB0, 66, 0}).Render(3);

  Stream wheel(0, kNoLearn);
  wheel.Msg(0, {0x90, 69, 127}).Render(16).Msg(0, {0xE0, 0x7F, 0x7F}).Render(16).Msg(0, {0xE0, 0x00, 0x00});
  wheel.Render(16).Msg(0, {0xB0, 123, 0}).Render(16);

  Stream learn(4, kFlt1F);
  learn.Msg(0, {0x90, 36, 110}).Msg(0, {0xB0, 74, 0}).Render(1);
  for (int v = 0; v <= 127; v += 32) learn.Msg(0, {0xB0, 74, uint8_t(v)}).Render(1);

  Stream ignored(1, kNoLearn);
  ignored.Msg(0, {0xF8}).Msg(0, {0xC0, 5}).Msg(0, {0xD0, 64}).Msg(0, {0xA0, 60, 30}).Msg(0, {0xF0, 0x7E, 0xF7});
  ignored.Msg(0, {0x45, 0x90, 0x20}).Msg(63, {0x9F, 60, 100}).Render(4);

  const bool ok = WriteSeed(dir, "chord", chord.bytes) && WriteSeed(dir, "pedals", pedals.bytes) &&
                  WriteSeed(dir, "wheel", wheel.bytes) && WriteSeed(dir, "learn", learn.bytes) &&
                  WriteSeed(dir, "ignored", ignored.bytes);
  return ok ? 0 : 1;
}
