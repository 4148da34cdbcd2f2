#include "swell-misc.h"

#include <sys/random.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

cocoa::NSString SWELL_CStringToCFString(const char* text)
{
  if (!text) return cocoa::NSString();
  std::u32string decoded;
  if (cocoa::decodeUtf8(text, &decoded)) return cocoa::NSString(text);
  std::string ascii(text);
  for (char& c : ascii)
    if (static_cast<unsigned char>(c) > 127) c = '?';
  return cocoa::NSString(std::move(ascii));
}

void SWELL_CFStringToCString(const cocoa::NSString* str, char* buf, int size)
{
  if (size < 1 || !buf) return;
  buf[0] = 0;
  if (!str || size < 2) return;
  const std::string& bytes = str->str();
  const size_t n = std::min(bytes.size(), static_cast<size_t>(size) - 1);
  std::memcpy(buf, bytes.data(), n);
  buf[n] = 0;
}

char* lstrcpyn(char* dst, const char* src, int n)
{
  if (!dst || n <= 0) return dst;
  if (!src) src = "";
  const size_t len = strnlen(src, static_cast<size_t>(n) - 1);
  std::memcpy(dst, src, len);
  dst[len] = 0;
  return dst;
}

int MulDiv(int a, int b, int c)
{
  if (c == 0) return 0;
  const double q = std::trunc(static_cast<double>(b) * a / c);
  if (q < INT_MIN || q > INT_MAX) return -1;
  return static_cast<int>(q);
}

unsigned int _controlfp(unsigned int, unsigned int)
{
  return 0;
}

BOOL SWELL_PtInRect(const RECT* r, POINT p)
{
  if (!r) return 0;
  const int top = std::min(r->top, r->bottom), bottom = std::max(r->top, r->bottom);
  return p.x >= r->left && p.x < r->right && p.y >= top && p.y < bottom;
}

BOOL WinOffsetRect(RECT* r, int dx, int dy)
{
  if (!r) return 0;
  r->left += dx;
  r->right += dx;
  r->top += dy;
  r->bottom += dy;
  return 1;
}

BOOL WinSetRect(RECT* r, int left, int top, int right, int bottom)
{
  if (!r) return 0;
  *r = RECT{left, top, right, bottom};
  return 1;
}

BOOL WinIntersectRect(RECT* out, const RECT* a, const RECT* b)
{
  if (!out) return 0;
  // Callers narrow a rectangle in place (out == a or out == b): read both before clearing.
  const RECT first = a ? *a : RECT{}, second = b ? *b : RECT{};
  *out = RECT{0, 0, 0, 0};
  if (!a || !b) return 0;
  const auto empty = [](const RECT& r) { return r.left >= r.right || r.top >= r.bottom; };
  if (empty(first) || empty(second)) return 0;
  const RECT r{std::max(first.left, second.left), std::max(first.top, second.top), std::min(first.right, second.right),
               std::min(first.bottom, second.bottom)};
  if (empty(r)) return 0;
  *out = r;
  return 1;
}

void WinUnionRect(RECT* out, const RECT* a, const RECT* b)
{
  if (!out || !a || !b) return;
  const auto empty = [](const RECT* r) { return r->left == r->right && r->top == r->bottom; };
  if (empty(a))
    *out = *b;
  else if (empty(b))
    *out = *a;
  else
    *out = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                std::max(a->bottom, b->bottom)};
}

namespace
{
// Sits directly before the data of a global-memory block; 8 bytes keep the data aligned
// for anything up to a double.
struct GlobalHeader
{
  int32_t size;
  int32_t locks;
};

GlobalHeader* headerOf(HANDLE h)
{
  return static_cast<GlobalHeader*>(h) - 1;
}

void toFileTime(time_t seconds, FILETIME* out)
{
  if (!out) return;
  const uint64_t units = static_cast<uint64_t>(static_cast<int64_t>(seconds) * 10000000 + 116444736000000000LL);
  out->dwLowDateTime = static_cast<DWORD>(units);
  out->dwHighDateTime = static_cast<DWORD>(units >> 32);
}
}  // namespace

HANDLE GlobalAlloc(int, int size)
{
  size = std::max(size, 0);
  auto* header = static_cast<GlobalHeader*>(std::malloc(sizeof(GlobalHeader) + static_cast<size_t>(size)));
  if (!header) return nullptr;
  *header = GlobalHeader{size, 0};
  return header + 1;
}

void* GlobalLock(HANDLE h)
{
  if (h) headerOf(h)->locks++;
  return h;
}

void GlobalUnlock(HANDLE h)
{
  if (h && headerOf(h)->locks > 0) headerOf(h)->locks--;
}

int GlobalSize(HANDLE h)
{
  return h ? headerOf(h)->size : 0;
}

void GlobalFree(HANDLE h)
{
  if (h) std::free(headerOf(h));
}

BOOL GetFileTime(int fd, FILETIME* creation, FILETIME* access, FILETIME* write)
{
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0) return 0;
  toFileTime(st.st_ctime, creation);
  toFileTime(st.st_atime, access);
  toFileTime(st.st_mtime, write);
  return 1;
}

BOOL GetTempPath(int size, char* buf)
{
  if (size < 1 || !buf) return 0;
  const char* dir = std::getenv("TMPDIR");
  if (!dir || !*dir) dir = "/tmp/";
  lstrcpyn(buf, dir, size);
  const size_t len = std::strlen(buf);
  if (size > 1 && (len == 0 || buf[len - 1] != '/'))
  {
    const size_t at = std::min(len, static_cast<size_t>(size) - 2);
    buf[at] = '/';
    buf[at + 1] = 0;
  }
  return 1;
}

BOOL SWELL_GenerateGUID(void* out16)
{
  if (!out16) return 0;
  unsigned char bytes[16];
  if (getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) return 0;
  std::memcpy(out16, bytes, sizeof bytes);
  return 1;
}
