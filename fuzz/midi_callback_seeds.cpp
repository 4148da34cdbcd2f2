#include "seed_writer.h"

#include <initializer_list>
#include <string>
#include <vector>

// Writes a few port streams in midi_callback_fuzzer's layout into the directory given as the
// argument: a chord played and let go on channel 1 with the filter on 1, notes in running
// status, a message split over calls, SysEx short and long, messages cut short, and a stream
// whose messages all come before the first buffer.
namespace
{
constexpr uint8_t kRender = 0xFF;

struct Stream
{
  std::vector<uint8_t> bytes;

  Stream(uint8_t channel, uint8_t sizes) : bytes{channel, sizes} {}
  // One call of the callback with these bytes (up to 4; longer ones through Long).
  Stream& Call(std::initializer_list<uint8_t> message)
  {
    bytes.push_back(uint8_t(message.size()));
    bytes.insert(bytes.end(), message);
    return *this;
  }
  // One call with a SysEx message of 4 + n bytes.
  Stream& Long(uint8_t n)
  {
    bytes.push_back(0xF0);
    bytes.push_back(n);
    bytes.push_back(0xF0);
    for (int i = 0; i < 2 + n; ++i) bytes.push_back(uint8_t(i & 0x7F));
    bytes.push_back(0xF7);
    return *this;
  }
  Stream& Render(int buffers)
  {
    bytes.insert(bytes.end(), size_t(buffers), kRender);
    return *this;
  }
};
}  // namespace

int main(int argc, char** argv)
{
  if (argc != 2) return 2;
  const struct
  {
    const char* name;
    Stream stream;
  } seeds[] = {
      {"chord", Stream(1, 2 + 5 * 2)
                    .Render(1)
                    .Call({0x90, 60, 100})
                    .Call({0x90, 64, 90})
                    .Call({0x91, 67, 80})
                    .Render(4)
                    .Call({0x80, 60, 0})
                    .Call({0x90, 64, 0})
                    .Render(3)},
      {"running-status", Stream(0, 3 + 5 * 3)
                             .Render(1)
                             .Call({0x90, 48, 100})
                             .Call({50, 100})
                             .Call({52, 100})
                             .Render(2)
                             .Call({48, 0})
                             .Call({50})
                             .Render(2)},
      {"split", Stream(0, 1 + 5 * 1)
                    .Render(1)
                    .Call({0x90})
                    .Call({62, 110})
                    .Call({0xB0, 7})
                    .Call({100})
                    .Call({0xE0, 0, 0x7F})
                    .Render(6)},
      {"sysex", Stream(0, 2 + 5 * 4).Render(1).Call({0xF0, 0x7E, 0xF7}).Long(0).Long(200).Call({0xF7}).Render(2)},
      {"cut-short", Stream(16, 4 + 5 * 2 + 0x40)
                        .Render(1)
                        .Call({0x9F, 72, 127})
                        .Call({0xCF})
                        .Call({0xDF})
                        .Call({})
                        .Render(2)
                        .Call({0x8F, 72})},
      {"before-the-stream", Stream(0, 0).Call({0x90, 60, 100}).Call({0xF8}).Render(2).Call({0x80, 60, 0}).Render(1)},
  };
  for (const auto& seed : seeds)
    if (!WriteSeed(argv[1], seed.name, seed.stream.bytes)) return 1;
  return 0;
}
