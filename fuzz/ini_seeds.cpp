#include "seed_writer.h"

#include <string>

// Writes a few settings files into the directory given as the argument: the host's own
// settings, line ends, quotes, repeated sections and keys, headers that are not headers,
// records written by WritePrivateProfileStruct, many small sections, lines a rewrite drops.
int main(int argc, char** argv)
{
  if (argc != 2) return 2;
  std::string manySections;  // small sections, each its own little array in memory
  for (int i = 0; i < 300; ++i) manySections += "[s" + std::to_string(i) + "]\nk=\n";
  const struct
  {
    const char* name;
    std::string text;
  } seeds[] = {
      {"settings.ini",
       "[audio]\ndriver=0\nindev=default\noutdev=default\nin1=1\nin2=2\nout1=1\nout2=2\nmonoinput=0\n"
       "iovs=512\nsigvs=32\nsr=48000\n\n[midi]\nindev=off\noutdev=off\ninchan=0\noutchan=0\n\n"},
      {"crlf-bom.ini", "\xEF\xBB\xBF[Audio]\r\nrate = 44100\r\nname=  \"quoted text\" \r\n\r\n"},
      {"repeats.ini", "junk before\n[a]\nk=1\nK=2\n[b]\nx=1\n[A]\nj=3\n[]\nlost=1\n[c]tail\n;k=v\n"},
      {"not-headers.ini", "[a]\n[b=1\n=novalue\nnoequals\n  \t[ spaced ] \n\tkey\t=\tvalue\t\n[x]y]\nz=]\n"},
      {"structs.ini", "[s]\nrecord=01FF00\nbad=01FF01\nlower=a0ff9f\nempty=00\n"},
      {"no-newline.ini", "[a]\nk=v"},
      {"many-sections.ini", manySections},
      // What a rewrite drops: notes, text after a header, control bytes; and the key the fuzzer
      // writes, there already.
      {"notes.ini", "# notes\n[audio]\nsr=48000\nSee the manual.\n[link]: https://example.org\n"},
      {"control.ini", std::string("[fuzz]\nwritten=value\n[s]\nbad=01\x01\x03\0 01\nk=v\n", 42)},
  };
  for (const auto& seed : seeds)
    if (!WriteSeed(argv[1], seed.name, std::vector<uint8_t>(seed.text.begin(), seed.text.end()))) return 1;
  return 0;
}
