#include "platform/foundation/nsstring.h"

namespace cocoa
{
size_t NSString::length() const
{
  std::u32string codePoints;
  if (!decodeUtf8(m_utf8, &codePoints)) return m_utf8.size();
  size_t units = 0;
  for (char32_t c : codePoints) units += c > 0xFFFF ? 2 : 1;
  return units;
}

bool decodeUtf8(std::string_view bytes, std::u32string* out)
{
  out->clear();
  size_t i = 0;
  while (i < bytes.size())
  {
    const unsigned char lead = static_cast<unsigned char>(bytes[i]);
    int extra = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead < 0x80) { value = lead; }
    else if ((lead & 0xE0) == 0xC0) { extra = 1; value = lead & 0x1F; minimum = 0x80; }
    else if ((lead & 0xF0) == 0xE0) { extra = 2; value = lead & 0x0F; minimum = 0x800; }
    else if ((lead & 0xF8) == 0xF0) { extra = 3; value = lead & 0x07; minimum = 0x10000; }
    else { out->clear(); return false; }
    if (i + extra >= bytes.size())
    {
      out->clear();
      return false;
    }
    for (int k = 1; k <= extra; ++k)
    {
      const unsigned char next = static_cast<unsigned char>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) { out->clear(); return false; }
      value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
    {
      out->clear();
      return false;
    }
    out->push_back(value);
    i += extra + 1;
  }
  return true;
}

void appendUtf8(char32_t c, std::string* out)
{
  if (c < 0x80) { out->push_back(static_cast<char>(c)); }
  else if (c < 0x800)
  {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
  else if (c < 0x10000)
  {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
  else
  {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}
}  // namespace cocoa
