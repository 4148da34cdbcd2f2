#include "platform/appkit/formatter.h"

#include <algorithm>

namespace cocoa
{
NSCharacterSet NSCharacterSet::characterSetWithCharactersInString(const NSString& characters)
{
  NSCharacterSet set;
  if (!decodeUtf8(characters.str(), &set.m_members))
    for (unsigned char c : characters.str()) set.m_members.push_back(c);
  return set;
}

bool NSCharacterSet::characterIsMember(char32_t character) const
{
  return std::find(m_members.begin(), m_members.end(), character) != m_members.end();
}
}  // namespace cocoa
