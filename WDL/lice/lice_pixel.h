#pragma once

// One pixel: 0xAARRGGBB with straight alpha, bytes blue, green, red, alpha in memory.
namespace lice
{
inline unsigned char* Bytes(unsigned int* p) { return reinterpret_cast<unsigned char*>(p); }
inline const unsigned char* Bytes(const unsigned int* p) { return reinterpret_cast<const unsigned char*>(p); }
inline int ChannelR(unsigned int p) { return (p >> 16) & 0xFF; }
inline int ChannelG(unsigned int p) { return (p >> 8) & 0xFF; }
inline int ChannelB(unsigned int p) { return p & 0xFF; }
inline int ChannelA(unsigned int p) { return p >> 24; }
inline unsigned int Pack(int r, int g, int b, int a)
{
  return ((unsigned int)(a & 0xFF) << 24) | ((unsigned int)(r & 0xFF) << 16) | ((unsigned int)(g & 0xFF) << 8) |
         (unsigned int)(b & 0xFF);
}
}  // namespace lice
