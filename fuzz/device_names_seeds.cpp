#include "seed_writer.h"

#include <string>
#include <vector>

// Writes a few lists of names in device_names_fuzzer's layout into the directory given as the
// argument: ALSA and JACK names as the libraries give them, names that keep alike (blanks,
// quotes, control bytes), names cut at 99 bytes inside a character, and names that are not
// UTF-8.
namespace
{
std::vector<uint8_t> List(uint8_t what, const std::vector<std::string>& names)
{
  std::vector<uint8_t> bytes{what};
  for (const std::string& name : names)
  {
    if (name.size() >= 255)
    {
      bytes.push_back(255);
      bytes.push_back(uint8_t(name.size() - 255));
    }
    else
      bytes.push_back(uint8_t(name.size()));
    bytes.insert(bytes.end(), name.begin(), name.end());
  }
  return bytes;
}
}  // namespace

int main(int argc, char** argv)
{
  if (argc != 2) return 2;
  const std::string cutInside = std::string(98, 'a') + "\xE2\x82\xAC tail";
  const struct
  {
    const char* name;
    std::vector<uint8_t> bytes;
  } seeds[] = {
      {"alsa", List(3, {"hw:CARD=PCH,DEV=0: HDA Intel PCH: ALC892 Analog (hw:0,0)", "default", "pulse",
                        "USB Audio: Scarlett 2i2: USB Audio (hw:1,0)"})},
      {"jack", List(2, {"system", "Keys:midi/playback_1", "a2j:Midi Through [14] (capture): Midi Through Port-0"})},
      {"kept-alike", List(1, {"Keys ", " Keys", "\"Keys\"", "'Keys'", "Keys", "Ke\nys", "Ke?ys", "\t"})},
      {"cut", List(3, {cutInside, std::string(99, 'b') + " ", std::string(300, 'c'), std::string(99, 'c')})},
      {"not-utf8", List(2, {"\xFF\xFE", "caf\xC3", "\xC3 x", std::string("nul\0inside", 10), "\x7F", ": "})},
  };
  for (const auto& seed : seeds)
    if (!WriteSeed(argv[1], seed.name, seed.bytes)) return 1;
  return 0;
}
