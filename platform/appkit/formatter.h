#pragma once

#include "platform/foundation/nsstring.h"
#include "platform/foundation/object.h"

#include <string>

namespace cocoa
{
// Turns a field's text into its value and back, and judges text while it is typed. The
// values here are strings (what the layers above keep in fields).
class NSFormatter : public NSObject
{
public:
  // The text that shows a value; false for a value the formatter cannot show.
  virtual bool stringForObjectValue(const NSString& value, NSString* string) = 0;
  // The value a text stands for; false (with an error when asked) when it stands for none.
  virtual bool getObjectValue(NSString* value, const NSString& string, NSString* error) = 0;
  // Whether the text being typed may stand. When it may not, a formatter may offer a
  // replacement in newString, which the field then shows instead.
  virtual bool isPartialStringValid(const NSString& partial, NSString* newString, NSString* error)
  {
    (void)partial;
    (void)newString;
    (void)error;
    return true;
  }
};

// A set of characters, as a value.
class NSCharacterSet
{
public:
  NSCharacterSet() = default;
  static NSCharacterSet characterSetWithCharactersInString(const NSString& characters);
  bool characterIsMember(char32_t character) const;

private:
  std::u32string m_members;
};
}  // namespace cocoa
