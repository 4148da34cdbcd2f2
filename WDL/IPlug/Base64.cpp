#include "Base64.h"

namespace
{
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The 6-bit value of c, or -1 outside the alphabet.
int SextetOf(char c)
{
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}
}  // namespace

void Base64Encode(const uint8_t* data, int size, WDL_String* out)
{
  out->Set("");
  if (!data || size <= 0) return;
  const long long textLength = (static_cast<long long>(size) + 2) / 3 * 4;
  if (textLength > 0x7FFFFFFE) return;
  out->SetLen(static_cast<int>(textLength));
  char* text = out->GetWritable();
  if (!text || out->GetLength() != textLength) return;

  for (int i = 0, o = 0; i < size; i += 3, o += 4)
  {
    const int remaining = size - i;
    const uint32_t group = (static_cast<uint32_t>(data[i]) << 16) |
                           (remaining > 1 ? static_cast<uint32_t>(data[i + 1]) << 8 : 0) |
                           (remaining > 2 ? static_cast<uint32_t>(data[i + 2]) : 0);
    text[o] = kAlphabet[(group >> 18) & 63];
    text[o + 1] = kAlphabet[(group >> 12) & 63];
    text[o + 2] = remaining > 1 ? kAlphabet[(group >> 6) & 63] : '=';
    text[o + 3] = remaining > 2 ? kAlphabet[group & 63] : '=';
  }
}

int Base64Decode(const char* text, uint8_t* dest, int destSize)
{
  if (!text || !dest || destSize <= 0) return 0;
  int written = 0;
  uint32_t bits = 0;
  int nBits = 0;
  for (const char* p = text; written < destSize; ++p)
  {
    const int sextet = SextetOf(*p);
    if (sextet < 0) break;
    bits = (bits << 6) | static_cast<uint32_t>(sextet);
    nBits += 6;
    if (nBits >= 8)
    {
      nBits -= 8;
      dest[written++] = static_cast<uint8_t>(bits >> nBits);
      bits &= (1u << nBits) - 1;
    }
  }
  return written;
}
