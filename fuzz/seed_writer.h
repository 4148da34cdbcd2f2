#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Seed generators write each seed as one file in the directory they are given.
inline bool WriteSeed(const std::string& dir, const char* name, const std::vector<uint8_t>& bytes)
{
  FILE* f = std::fopen((dir + "/" + name).c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && written;
}

// A selector byte followed by the bytes of a chunk or file.
inline std::vector<uint8_t> Selected(uint8_t selector, const uint8_t* data, int size)
{
  std::vector<uint8_t> bytes{selector};
  bytes.insert(bytes.end(), data, data + size);
  return bytes;
}
