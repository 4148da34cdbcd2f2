#pragma once

#include "platform/foundation/geometry.h"
#include "platform/foundation/nsstring.h"
#include "platform/foundation/object.h"

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace cocoa
{
inline constexpr const char* NSPasteboardTypeString = "public.utf8-plain-text";
inline constexpr const char* NSFilenamesPboardType = "NSFilenamesPboardType";
inline constexpr const char* NSGeneralPboard = "Apple CFPasteboard general";
inline constexpr const char* NSDragPboard = "Apple CFPasteboard drag";

// A named in-process pasteboard of typed data. The general pasteboard's text is the
// system clipboard's: writing text puts it there, and text that another program put
// there replaces (and clears) what this process had.
class NSPasteboard : public NSObject
{
public:
  static NSPasteboard* generalPasteboard();
  static NSPasteboard* pasteboardWithName(const NSString& name);

  const NSString& name() const { return m_name; }
  // Empties the pasteboard; returns the new change count.
  NSInteger clearContents();
  NSInteger declareTypes(const std::vector<NSString>& types);
  std::vector<NSString> types();
  // The first of the given types the pasteboard holds.
  std::optional<NSString> availableTypeFromArray(const std::vector<NSString>& types);
  NSInteger changeCount() const { return m_changeCount; }

  bool setData(const std::vector<uint8_t>& data, const NSString& type);
  std::optional<std::vector<uint8_t>> dataForType(const NSString& type);
  bool setString(const NSString& text, const NSString& type);
  std::optional<NSString> stringForType(const NSString& type);
  bool setPropertyList(const std::vector<NSString>& list, const NSString& type);
  std::vector<NSString> propertyListForType(const NSString& type);

  // Between tests.
  static void resetAllForTesting();

private:
  explicit NSPasteboard(NSString name) : m_name(std::move(name)) {}
  bool isGeneral() const;
  void adoptSystemClipboard();

  NSString m_name;
  NSInteger m_changeCount = 0;
  std::vector<NSString> m_declared;
  std::map<NSString, std::vector<uint8_t>> m_data;
  std::map<NSString, std::vector<NSString>> m_lists;
  std::optional<std::string> m_textGivenToSystem;
};
}  // namespace cocoa
