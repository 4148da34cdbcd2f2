// The clipboard on two pasteboards: the general one for text (shared with other programs
// through the platform), a private one for the application's own formats.

#include "swell-clipboard.h"

#include "swell-misc.h"

#include "platform/appkit/pasteboard.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using namespace cocoa;

namespace
{
constexpr const char* kTextFormatName = "SWELL__CF_TEXT";
constexpr const char* kPrivatePasteboard = "SWELL_APP";

struct PendingClipboardState
{
  UINT format;
  HANDLE handle;
};

std::vector<NSString> m_clip_fmts;
std::vector<UINT> m_clip_curfmts;
std::vector<PendingClipboardState> m_clipsPending;
std::vector<HANDLE> m_clip_recs;

NSString typeOfName(const char* name)
{
  return NSString(!std::strcmp(name, kTextFormatName) ? NSPasteboardTypeString : name);
}

// The type of a registered id, or null.
const NSString* typeOfFormat(UINT format)
{
  return format >= 1 && format <= m_clip_fmts.size() ? &m_clip_fmts[format - 1] : nullptr;
}

UINT textFormat()
{
  return RegisterClipboardFormat(kTextFormatName);
}

NSPasteboard* privatePasteboard()
{
  return NSPasteboard::pasteboardWithName(NSString(kPrivatePasteboard));
}

void freePending()
{
  for (const PendingClipboardState& pending : m_clipsPending) GlobalFree(pending.handle);
  m_clipsPending.clear();
}

HANDLE handleWithBytes(const void* bytes, size_t size)
{
  HANDLE handle = GlobalAlloc(0, static_cast<int>(size));
  if (void* data = GlobalLock(handle))
  {
    if (size) std::memcpy(data, bytes, size);
    GlobalUnlock(handle);
  }
  return handle;
}
}  // namespace

UINT RegisterClipboardFormat(const char* name)
{
  if (!name) return 0;
  const NSString type = typeOfName(name);
  const auto found = std::find(m_clip_fmts.begin(), m_clip_fmts.end(), type);
  if (found != m_clip_fmts.end()) return static_cast<UINT>(found - m_clip_fmts.begin()) + 1;
  m_clip_fmts.push_back(type);
  return static_cast<UINT>(m_clip_fmts.size());
}

bool OpenClipboard(HWND)
{
  freePending();
  textFormat();
  m_clip_curfmts.clear();
  for (const NSString& type : privatePasteboard()->types())
  {
    const auto found = std::find(m_clip_fmts.begin(), m_clip_fmts.end(), type);
    if (found == m_clip_fmts.end()) continue;
    const auto id = static_cast<UINT>(found - m_clip_fmts.begin()) + 1;
    if (std::find(m_clip_curfmts.begin(), m_clip_curfmts.end(), id) == m_clip_curfmts.end()) m_clip_curfmts.push_back(id);
  }
  return true;
}

UINT EnumClipboardFormats(UINT format)
{
  if (format == 0) return m_clip_curfmts.empty() ? 0 : m_clip_curfmts.front();
  const auto found = std::find(m_clip_curfmts.begin(), m_clip_curfmts.end(), format);
  if (found == m_clip_curfmts.end() || found + 1 == m_clip_curfmts.end()) return 0;
  return *(found + 1);
}

HANDLE GetClipboardData(UINT format)
{
  const NSString* type = typeOfFormat(format);
  if (!type) return nullptr;
  HANDLE handle = nullptr;
  if (format == textFormat())
  {
    const std::optional<NSString> text = NSPasteboard::generalPasteboard()->stringForType(NSPasteboardTypeString);
    if (!text) return nullptr;
    const std::string& bytes = text->str();
    handle = handleWithBytes(bytes.c_str(), std::strlen(bytes.c_str()) + 1);
  }
  else
  {
    const std::optional<std::vector<uint8_t>> data = privatePasteboard()->dataForType(*type);
    if (!data) return nullptr;
    handle = handleWithBytes(data->data(), data->size());
  }
  if (handle) m_clip_recs.push_back(handle);
  return handle;
}

void EmptyClipboard()
{
  freePending();
}

void SetClipboardData(UINT format, HANDLE handle)
{
  m_clipsPending.push_back(PendingClipboardState{format, handle});
}

void CloseClipboard()
{
  for (HANDLE handle : m_clip_recs) GlobalFree(handle);
  m_clip_recs.clear();
  if (m_clipsPending.empty()) return;
  const UINT text = textFormat();
  const bool anyText = std::any_of(m_clipsPending.begin(), m_clipsPending.end(),
                                   [text](const PendingClipboardState& p) { return p.format == text; });
  // All the formats go to one pasteboard: the general one as soon as text is among them.
  NSPasteboard* pasteboard = anyText ? NSPasteboard::generalPasteboard() : privatePasteboard();
  std::vector<NSString> types;
  for (const PendingClipboardState& pending : m_clipsPending)
    if (const NSString* type = typeOfFormat(pending.format)) types.push_back(*type);
  if (!types.empty())
  {
    pasteboard->declareTypes(types);
    for (const PendingClipboardState& pending : m_clipsPending)
    {
      const NSString* type = typeOfFormat(pending.format);
      const auto* data = type ? static_cast<const uint8_t*>(GlobalLock(pending.handle)) : nullptr;
      if (!data) continue;
      const auto size = static_cast<size_t>(std::max(0, GlobalSize(pending.handle)));
      if (pending.format == text)
        pasteboard->setString(NSString(std::string(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data), size))), *type);
      else
        pasteboard->setData(std::vector<uint8_t>(data, data + size), *type);
      GlobalUnlock(pending.handle);
    }
  }
  freePending();
}
