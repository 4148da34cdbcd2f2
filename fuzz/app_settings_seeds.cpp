#include "seed_writer.h"

#include <string>

// Writes a few settings.ini texts into the directory given as the argument: the file a first
// start writes, every number at and past its bounds, names quoted and padded and cut at 99
// bytes, a driver this build lacks, keys given twice and lines a rewrite keeps aside.
int main(int argc, char** argv)
{
  if (argc != 2) return 2;
  const std::string longName(120, 'n');
  const struct
  {
    const char* name;
    std::string text;
  } seeds[] = {
      {"first-start.ini",
       "[audio]\ndriver=0\nindev=default\noutdev=default\nin1=1\nin2=2\nout1=1\nout2=2\nmonoinput=0\n"
       "iovs=512\nsigvs=32\nsr=44100\n\n[midi]\nindev=off\noutdev=off\ninchan=0\noutchan=0\n\n"},
      {"bounds.ini",
       "[audio]\ndriver=2\nin1=0\nin2=65536\nout1=-3\nout2=70000\nmonoinput=99999\niovs=8192\nsigvs=8193\n"
       "sr=384001\n[midi]\ninchan=17\noutchan=-1\n"},
      {"low-bounds.ini", "[audio]\nsr=8000\niovs=1\nsigvs=0001\n[midi]\ninchan=16\noutchan=16\n"},
      {"numbers-as-text.ini", "[audio]\nsr= 48000 \niovs=+64\nsigvs=3.5e1\ndriver=1x\nin1=\"2\"\n[midi]\ninchan=0x10\n"},
      {"quoted-names.ini",
       "[audio]\nindev=\"'inner quotes'\"\noutdev=  padded  \n[midi]\nindev='  spaced  '\noutdev=\"\"\n"},
      {"long-names.ini", "[audio]\nindev=" + longName + "\noutdev=" + std::string(97, 'x') + "\xC3\xA9\xC3\xA9\n[midi]\nindev=" +
                             std::string(98, 'y') + " z\noutdev=" + std::string(99, 'w') + "\t\n"},
      {"unknown-driver.ini", "[audio]\ndriver=7\n[midi]\nindev=virtual input\noutdev=virtual output\n"},
      {"repeats.ini", "notes\n[audio]\nsr=96000\nsr=22050\n[AUDIO]\niovs=256\n[midi]\ninchan=3\n[extra]\nk=v\n"},
  };
  for (const auto& seed : seeds)
    if (!WriteSeed(argv[1], seed.name, std::vector<uint8_t>(seed.text.begin(), seed.text.end()))) return 1;
  return 0;
}
