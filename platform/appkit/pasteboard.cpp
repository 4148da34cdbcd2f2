#include "platform/appkit/pasteboard.h"

#include "platform/backend/backend.h"

#include <algorithm>

namespace cocoa
{
namespace
{
std::map<NSString, NSPasteboard*>& pasteboards()
{
  static auto* all = new std::map<NSString, NSPasteboard*>;
  return *all;
}
}  // namespace

NSPasteboard* NSPasteboard::generalPasteboard()
{
  return pasteboardWithName(NSGeneralPboard);
}

NSPasteboard* NSPasteboard::pasteboardWithName(const NSString& name)
{
  auto& all = pasteboards();
  auto found = all.find(name);
  if (found != all.end()) return found->second;
  NSPasteboard* pasteboard = new NSPasteboard(name);
  all[name] = pasteboard;
  return pasteboard;
}

void NSPasteboard::resetAllForTesting()
{
  for (auto& [name, pasteboard] : pasteboards()) pasteboard->release();
  pasteboards().clear();
}

bool NSPasteboard::isGeneral() const
{
  return m_name == NSString(NSGeneralPboard);
}

void NSPasteboard::adoptSystemClipboard()
{
  if (!isGeneral()) return;
  const std::optional<std::string> system = platformBackend().clipboardText();
  if (!system || system == m_textGivenToSystem) return;
  // Another program copied: what this process had on the pasteboard is gone.
  m_declared.assign(1, NSString(NSPasteboardTypeString));
  m_data.clear();
  m_lists.clear();
  m_data[NSPasteboardTypeString] = std::vector<uint8_t>(system->begin(), system->end());
  m_textGivenToSystem = system;
  ++m_changeCount;
}

NSInteger NSPasteboard::clearContents()
{
  m_declared.clear();
  m_data.clear();
  m_lists.clear();
  return ++m_changeCount;
}

NSInteger NSPasteboard::declareTypes(const std::vector<NSString>& types)
{
  clearContents();
  m_declared = types;
  return m_changeCount;
}

std::vector<NSString> NSPasteboard::types()
{
  adoptSystemClipboard();
  return m_declared;
}

std::optional<NSString> NSPasteboard::availableTypeFromArray(const std::vector<NSString>& types)
{
  adoptSystemClipboard();
  for (const NSString& type : types)
    if (m_data.count(type) || m_lists.count(type)) return type;
  return std::nullopt;
}

bool NSPasteboard::setData(const std::vector<uint8_t>& data, const NSString& type)
{
  if (std::find(m_declared.begin(), m_declared.end(), type) == m_declared.end()) m_declared.push_back(type);
  m_data[type] = data;
  if (isGeneral() && type == NSString(NSPasteboardTypeString))
  {
    m_textGivenToSystem = std::string(data.begin(), data.end());
    platformBackend().setClipboardText(*m_textGivenToSystem);
  }
  return true;
}

std::optional<std::vector<uint8_t>> NSPasteboard::dataForType(const NSString& type)
{
  adoptSystemClipboard();
  auto found = m_data.find(type);
  if (found == m_data.end()) return std::nullopt;
  return found->second;
}

bool NSPasteboard::setString(const NSString& text, const NSString& type)
{
  return setData(std::vector<uint8_t>(text.str().begin(), text.str().end()), type);
}

std::optional<NSString> NSPasteboard::stringForType(const NSString& type)
{
  const auto data = dataForType(type);
  if (!data) return std::nullopt;
  return NSString(std::string(data->begin(), data->end()));
}

bool NSPasteboard::setPropertyList(const std::vector<NSString>& list, const NSString& type)
{
  if (std::find(m_declared.begin(), m_declared.end(), type) == m_declared.end()) m_declared.push_back(type);
  m_lists[type] = list;
  return true;
}

std::vector<NSString> NSPasteboard::propertyListForType(const NSString& type)
{
  adoptSystemClipboard();
  auto found = m_lists.find(type);
  return found == m_lists.end() ? std::vector<NSString>{} : found->second;
}
}  // namespace cocoa
