#pragma once

#include <string>
#include <string_view>

namespace cocoa
{
// The platform's text value: UTF-8 bytes, copied by value, where Cocoa passes NSString.
class NSString
{
public:
  NSString() = default;
  NSString(const char* utf8) : m_utf8(utf8 ? utf8 : "") {}
  NSString(std::string utf8) : m_utf8(std::move(utf8)) {}
  NSString(std::string_view utf8) : m_utf8(utf8) {}

  static NSString stringWithUTF8String(const char* utf8) { return NSString(utf8); }

  const char* UTF8String() const { return m_utf8.c_str(); }
  const std::string& str() const { return m_utf8; }
  bool empty() const { return m_utf8.empty(); }
  // Length in UTF-16 units, as Cocoa counts it.
  size_t length() const;
  bool isEqualToString(const NSString& other) const { return m_utf8 == other.m_utf8; }
  bool operator==(const NSString& other) const = default;
  bool operator<(const NSString& other) const { return m_utf8 < other.m_utf8; }

private:
  std::string m_utf8;
};

// Decodes UTF-8 into code points; false, with out cleared, when the bytes are not valid
// UTF-8 (overlong forms, surrogates and values past U+10FFFF included).
bool decodeUtf8(std::string_view bytes, std::u32string* out);
void appendUtf8(char32_t codePoint, std::string* out);
}  // namespace cocoa
