#include "seed_writer.h"

#include <string>

// Writes a few edits into the directory given as the argument: a start text (its length,
// then its bytes) and operations (see the fuzzer): typing, keys with and without Shift and
// Command, pasting line breaks, selections inside characters, invalid bytes.
int main(int argc, char** argv)
{
  if (argc != 2) return 2;
  const auto text = [](const std::string& start) { return std::string(1, static_cast<char>(start.size())) + start; };
  const struct
  {
    const char* name;
    std::string bytes;
  } seeds[] = {
      {"typing", text("hello") + std::string("\x03\x05world\x01\x00\x01\x11\x01\x20\x06", 14)},
      {"utf8", text("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x98\x80") + std::string("\x02\x03\x02\x01\x00\x01\x18\x0E", 8)},
      {"paste-lines", text("") + std::string("\x00\x09" "a\r\nb\nc\rd\x0D\x0A\x01\x03\x01\x02", 16)},
      {"invalid", text("\xC3(\x80x\xE2\x82") + std::string("\x02\x01\x03\x01\x01\x04\x10\x05\x15\x02\x02\x06", 12)},
      {"wrap", text("one two three four five six seven eight nine ten") + std::string("\x05\x30\x14\x04\x50\x30\x01\x03\x01\x13", 10)},
  };
  for (const auto& seed : seeds)
    if (!WriteSeed(argv[1], seed.name, std::vector<uint8_t>(seed.bytes.begin(), seed.bytes.end()))) return 1;
  return 0;
}
