// File drops onto window views, drop handles, and the pending promise of a file dragged out.

#include "swell-dragdrop.h"

#include "swell-ctl.h"
#include "swell-misc.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include "platform/appkit/pasteboard.h"
#include "platform/appkit/window.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>

using namespace cocoa;

void (*SWELL_DDrop_onDragEnter)(HANDLE, POINT) = nullptr;
void (*SWELL_DDrop_onDragOver)(POINT) = nullptr;
void (*SWELL_DDrop_onDragLeave)() = nullptr;
const char* (*SWELL_DDrop_getDroppedFileTargetPath)(const char*) = nullptr;

namespace
{
constexpr int kFirstNameOffset = 16;
constexpr size_t kLongestName = 4095;
constexpr const char* kPromisedFilesType = "NSPromiseContentsPboardType";

// The answers to the question about a file already there.
constexpr int kKeepBoth = 1;
constexpr int kStop = 2;
constexpr int kReplace = 3;

char* s_dragdropsrcfn = nullptr;
void (*s_dragdropsrccallback)(const char*) = nullptr;

void writeInt32(unsigned char* at, int32_t value)
{
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
}

int32_t readInt32(const unsigned char* at)
{
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(at[i]) << (8 * i);
  return static_cast<int32_t>(value);
}

bool exists(const std::string& path)
{
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

POINT screenPointOf(NSView* view, NSDraggingInfo* info)
{
  const NSPoint base = info->draggingLocation();
  NSPoint screen = base;
  if (NSWindow* window = view->window()) screen = window->convertBaseToScreen(base);
  return POINT{static_cast<int>(screen.x + 0.5), static_cast<int>(screen.y + 0.5)};
}

// The first free "base NNN.ext" beside an existing destination: digits after a space, '-'
// or '_' at the end of the base carry on from their number.
std::string keepBothName(const std::string& destination, const std::string& fileName)
{
  const size_t dot = fileName.rfind('.');
  const std::string extension = dot != std::string::npos && dot > 0 ? fileName.substr(dot) : std::string();
  std::string base = destination.substr(0, destination.size() - extension.size());
  int counter = 0;
  size_t digits = 0;
  while (digits < 3 && digits < base.size() && std::isdigit(static_cast<unsigned char>(base[base.size() - 1 - digits])))
    ++digits;
  const size_t separator = base.size() - digits - 1;
  if (digits > 0 && base.size() > digits + 1 && std::strchr(" -_", base[separator]))
  {
    counter = std::atoi(base.c_str() + separator + 1);
    base.resize(separator + 1);
  }
  else
    base += ' ';
  while (++counter <= 999)
  {
    char candidate[4096];
    std::snprintf(candidate, sizeof candidate, "%s%03d%s", base.c_str(), counter, extension.c_str());
    if (!exists(candidate)) return candidate;
  }
  return std::string();
}
}  // namespace

HANDLE swellMakeDropHandle(const std::vector<std::string>& names, POINT point)
{
  size_t size = kFirstNameOffset + 1;
  for (const std::string& name : names) size += name.size() + 1;
  HANDLE handle = GlobalAlloc(0, static_cast<int>(size));
  auto* block = static_cast<unsigned char*>(GlobalLock(handle));
  if (!block) return handle;
  writeInt32(block, kFirstNameOffset);
  writeInt32(block + 4, point.x);
  writeInt32(block + 8, point.y);
  std::memset(block + 12, 0, 4);
  unsigned char* out = block + kFirstNameOffset;
  for (const std::string& name : names)
  {
    std::memcpy(out, name.c_str(), name.size() + 1);
    out += name.size() + 1;
  }
  *out = 0;
  GlobalUnlock(handle);
  return handle;
}

UINT DragQueryFile(HDROP drop, UINT index, char* buf, UINT size)
{
  if (!drop) return 0;
  const auto* block = static_cast<const unsigned char*>(GlobalLock(drop));
  const int total = GlobalSize(drop);
  if (!block || total <= kFirstNameOffset)
  {
    if (block) GlobalUnlock(drop);
    return 0;
  }
  const int32_t first = readInt32(block);
  UINT found = 0;
  UINT result = 0;
  // Every name lies inside the block: one that runs past its end is not read.
  for (int at = std::max(first, 0); at < total && block[at];)
  {
    const auto* name = reinterpret_cast<const char*>(block + at);
    const size_t length = strnlen(name, static_cast<size_t>(total - at));
    if (at + static_cast<int>(length) >= total) break;
    if (index != 0xFFFFFFFFu && found == index)
    {
      if (!buf)
        result = static_cast<UINT>(length);
      else if (size > 0)
      {
        const size_t copied = std::min<size_t>(length, size - 1);
        std::memcpy(buf, name, copied);
        buf[copied] = 0;
        result = static_cast<UINT>(copied);
      }
      break;
    }
    ++found;
    at += static_cast<int>(length) + 1;
  }
  GlobalUnlock(drop);
  return index == 0xFFFFFFFFu ? found : result;
}

BOOL DragQueryPoint(HDROP drop, POINT* point)
{
  if (!drop) return 0;
  const auto* block = static_cast<const unsigned char*>(GlobalLock(drop));
  if (!block || GlobalSize(drop) < kFirstNameOffset)
  {
    if (block) GlobalUnlock(drop);
    return 0;
  }
  if (point)
  {
    point->x = readInt32(block + 4);
    point->y = readInt32(block + 8);
  }
  const BOOL inClient = block[12] == 0;
  GlobalUnlock(drop);
  return inClient;
}

void DragFinish(HDROP) {}

void Swell_vVorna_hwnd::swellSetExtendedStyle(LONG_PTR style)
{
  m_supports_ddrop = (style & WS_EX_ACCEPTFILES_BIT) != 0;
  if (m_supports_ddrop)
    registerForDraggedTypes({NSString(NSFilenamesPboardType)});
  else
    unregisterDraggedTypes();
}

HANDLE Swell_vVorna_hwnd::swellExtendedDragOp(NSDraggingInfo* info, bool preview)
{
  if (!m_supports_ddrop || !info) return nullptr;
  NSPasteboard* pasteboard = info->draggingPasteboard();
  const std::optional<NSString> type =
      pasteboard->availableTypeFromArray({NSString(NSFilenamesPboardType), NSString(kPromisedFilesType)});
  if (!type) return nullptr;
  std::vector<std::string> names;
  if (*type == NSString(NSFilenamesPboardType))
  {
    // A path ends at its first NUL, as the desktop's C strings do, and one with nothing left
    // names no file: in the drop handle an empty name would end the list, and a NUL inside one
    // split it in two.
    for (const NSString& path : pasteboard->propertyListForType(NSFilenamesPboardType))
    {
      const std::string name(path.str().c_str());
      if (!name.empty()) names.push_back(name.substr(0, kLongestName));
    }
  }
  else
  {
    // Promised files: in a preview, one "tmp." entry per type; on a drop, the source would
    // be asked to write them into the target folder, which no Linux drag can do.
    const std::vector<NSString> types = pasteboard->propertyListForType(kPromisedFilesType);
    if (!preview) return nullptr;
    for (const NSString& t : types) names.push_back("tmp." + t.str());
  }
  if (names.empty()) return nullptr;
  const NSPoint local = convertPointFromView(info->draggingLocation(), nullptr);
  HANDLE drop = swellMakeDropHandle(names, POINT{static_cast<int>(local.x + 0.5), static_cast<int>(local.y + 0.5)});
  if (preview) return drop;
  StrongRef<Swell_vVorna_hwnd> keep(this);
  onSwellMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  GlobalFree(drop);
  return reinterpret_cast<HANDLE>(1);
}

unsigned Swell_vVorna_hwnd::draggingEntered(NSDraggingInfo* info)
{
  if (!m_supports_ddrop) return NSDragOperationNone;
  if (SWELL_DDrop_onDragEnter)
  {
    HANDLE preview = swellExtendedDragOp(info, true);
    SWELL_DDrop_onDragEnter(preview, screenPointOf(this, info));
    GlobalFree(preview);
  }
  return NSDragOperationGeneric;
}

unsigned Swell_vVorna_hwnd::draggingUpdated(NSDraggingInfo* info)
{
  if (!m_supports_ddrop) return NSDragOperationNone;
  if (SWELL_DDrop_onDragOver) SWELL_DDrop_onDragOver(screenPointOf(this, info));
  return NSDragOperationGeneric;
}

void Swell_vVorna_hwnd::draggingExited(NSDraggingInfo*)
{
  if (m_supports_ddrop && SWELL_DDrop_onDragLeave) SWELL_DDrop_onDragLeave();
}

bool Swell_vVorna_hwnd::performDragOperation(NSDraggingInfo* info)
{
  if (m_supports_ddrop && SWELL_DDrop_onDragLeave) SWELL_DDrop_onDragLeave();
  StrongRef<Swell_vVorna_hwnd> keep(this);
  // The view under the drop, then its ancestors below this view, may take it first.
  const NSPoint local = convertPointFromView(info->draggingLocation(), nullptr);
  NSView* hit = hitTest(superview() ? convertPointToView(local, superview()) : info->draggingLocation());
  // A view's procedure hears of the drop only when it takes it, and the walk ends there.
  for (NSView* v = hit; v && v != this; v = v->superview())
    if (auto* target = dynamic_cast<Swell_vVorna_hwnd*>(v); target && target->swellExtendedDragOp(info, false))
      return true;
  return swellExtendedDragOp(info, false) != nullptr;
}

void SWELL_FinishDragDrop()
{
  std::free(std::exchange(s_dragdropsrcfn, nullptr));
  s_dragdropsrccallback = nullptr;
}

void SWELL_InitiateDragDrop(HWND hwnd, RECT*, const char* srcFile, void (*callback)(const char*))
{
  SWELL_FinishDragDrop();
  if (!dynamic_cast<Swell_vVorna_hwnd*>(swellObjectOf(hwnd)) || !srcFile) return;
  s_dragdropsrcfn = strdup(srcFile);
  s_dragdropsrccallback = callback;
}

void SWELL_InitiateDragDropOfFileList(HWND, RECT*, const char**, int, HICON)
{
  SWELL_FinishDragDrop();
}

std::vector<std::string> SWELL_DoDragDrop(const char* folder)
{
  std::vector<std::string> made;
  if (s_dragdropsrcfn && s_dragdropsrccallback && folder)
  {
    const std::string source = s_dragdropsrcfn;
    const size_t slash = source.rfind('/');
    const std::string fileName = slash == std::string::npos ? source : source.substr(slash + 1);
    std::string destination = std::string(folder) + "/" + fileName;
    int choice = kReplace;
    if (exists(destination))
    {
      char question[4096];
      std::snprintf(question, sizeof question,
                    "An item named \"%s\" already exists in this location. Do you want to replace it with the one "
                    "you're moving?",
                    fileName.c_str());
      const SWELL_MessageBoxButton buttons[] = {{"Keep Both Files", kKeepBoth}, {"Stop", kStop}, {"Replace", kReplace}};
      choice = SWELL_ShowMessageBoxDialog(question, "Copy", buttons, 3, kStop);
      if (choice == kKeepBoth) destination = keepBothName(destination, fileName);
    }
    if (choice != kStop && !destination.empty())
    {
      s_dragdropsrccallback(destination.c_str());
      if (exists(destination)) made.push_back(destination.substr(destination.rfind('/') + 1));
    }
  }
  SWELL_FinishDragDrop();
  return made;
}
