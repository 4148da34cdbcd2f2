#include "seed_writer.h"

#include <random>
#include <string>

// raster_draw_fuzzer reads every choice from its input through a data
// provider, so any bytes are a drawing program: writes a few fixed
// pseudo-random ones of different lengths into the directory given as the
// argument.
int main(int argc, char** argv)
{
  if (argc != 2) return 2;
  const std::string dir = argv[1];
  constexpr size_t kSizes[] = {16, 64, 200, 512, 1500, 4000};
  std::mt19937 random(20240611);
  for (size_t size : kSizes)
  {
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) b = uint8_t(random());
    if (!WriteSeed(dir, ("draw-" + std::to_string(size)).c_str(), bytes)) return 1;
  }
  return 0;
}
