#include "lice.h"
#include "lice_limits.h"
#include "lice_surface.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <strings.h>
#include <unistd.h>

namespace
{
// Everything a decode touches after its setjmp point lives here and is reached
// through a pointer that libpng also holds, so it is intact when an error jumps
// back, and the caller can release it all.
struct PngRead
{
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::FILE* file = nullptr;
  const unsigned char* data = nullptr;  // memory source: next unread byte
  size_t left = 0;                      // and the bytes after it
  LICE_IBitmap* given = nullptr;
  LICE_IBitmap* created = nullptr;
  LICE_IBitmap* target = nullptr;
  png_bytep* rows = nullptr;
  bool honourFlipped = false;
};

// Loading never prints: errors jump back to the decode's recovery point and
// warnings are dropped.
[[noreturn]] void SilentError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void SilentWarning(png_structp, png_const_charp) {}

// A request that runs past the end of the buffer fails the decode at once. Padding
// it with zeros instead would let a few bytes that claim a chunk of 2 GiB keep the
// decoder busy reading nothing for as long.
void ReadFromMemory(png_structp png, png_bytep out, size_t count)
{
  PngRead* st = static_cast<PngRead*>(png_get_io_ptr(png));
  if (count > st->left) png_error(png, "read past the end of the data");
  std::memcpy(out, st->data, count);
  st->data += count;
  st->left -= count;
}

// Every row arrives as bytes alpha, red, green, blue.
void RequestArgbRows(png_structp png, png_infop info, int bitDepth, int colorType)
{
  bool hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0;
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS))
  {
    png_set_tRNS_to_alpha(png);
    hasAlpha = true;
  }
  if (bitDepth == 16) png_set_strip_16(png);
  if (bitDepth < 8) png_set_packing(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if (hasAlpha) png_set_swap_alpha(png);
  else png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
  png_set_interlace_handling(png);
}

// What a chunk may make the decoder allocate besides the pixels, and how many ancillary
// chunks it keeps. libpng only warns about a chunk longer than its allocation limit and then
// allocates the claimed length all the same: 229 bytes that claim a 1.9 GB sPLT chunk cost
// that much memory before the data is found missing.
constexpr png_alloc_size_t kMaxChunkBytes = 4u << 20;
constexpr png_uint_32 kMaxKeptChunks = 16;

// Only the chunks that make the pixels are read: the header, the palette, its transparency,
// the image data and the end. Every other chunk (text, profiles, suggested palettes,
// gamma, which nothing here applies) is skipped unread, whatever length it claims.
void ReadOnlyThePixelChunks(png_structp png)
{
  png_set_user_limits(png, lice::kMaxBitmapSide, lice::kMaxBitmapSide);
  png_set_chunk_malloc_max(png, kMaxChunkBytes);
  png_set_chunk_cache_max(png, kMaxKeptChunks);
  // A negative count: every chunk libpng knows but IHDR, PLTE, tRNS, IDAT and IEND, and with
  // it every chunk it does not know.
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
}

bool Decode(PngRead* st)
{
  if (setjmp(png_jmpbuf(st->png))) return false;

  ReadOnlyThePixelChunks(st->png);
  png_read_info(st->png, st->info);
  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colorType = 0;
  png_get_IHDR(st->png, st->info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
  RequestArgbRows(st->png, st->info, bitDepth, colorType);

  const int w = (int)width, h = (int)height;
  if (st->given)
  {
    st->target = st->given;
    st->given->resize(w, h);
  }
  else
  {
    st->created = new (std::nothrow) LICE_MemBitmap(w, h, 4);
    st->target = st->created;
    if (!st->created) return false;
  }
  LICE_IBitmap* bmp = st->target;
  unsigned int* bits = bmp->getBits();
  if (!bits || bmp->getWidth() != w || bmp->getHeight() != h) return false;

  st->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * (size_t)h));
  if (!st->rows) return false;
  const std::ptrdiff_t span = bmp->getRowSpan();
  const bool bottomUp = st->honourFlipped && bmp->isFlipped();
  for (int y = 0; y < h; ++y) st->rows[y] = reinterpret_cast<png_bytep>(bits + (bottomUp ? h - 1 - y : y) * span);

  png_read_image(st->png, st->rows);

  for (int y = 0; y < h; ++y)
  {
    unsigned int* row = reinterpret_cast<unsigned int*>(st->rows[y]);
    const unsigned char* argb = st->rows[y];
    for (int x = 0; x < w; ++x, argb += 4) row[x] = lice::Pack(argb[1], argb[2], argb[3], argb[0]);
  }
  return true;
}

LICE_IBitmap* Load(PngRead& st)
{
  st.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &st, SilentError, SilentWarning);
  if (st.png) st.info = png_create_info_struct(st.png);
  bool ok = false;
  if (st.png && st.info)
  {
    if (st.file) png_init_io(st.png, st.file);
    else png_set_read_fn(st.png, &st, ReadFromMemory);
    ok = Decode(&st);
  }
  if (st.png) png_destroy_read_struct(&st.png, st.info ? &st.info : nullptr, nullptr);
  if (st.file) std::fclose(st.file);
  std::free(st.rows);
  if (ok) return st.target;
  delete st.created;
  return nullptr;
}

bool HasPngExtension(const char* filename)
{
  const char* ext = filename;
  for (const char* p = filename; *p; ++p)
    if (*p == '.' || *p == '/' || *p == '\\') ext = p;
  return strcasecmp(ext, ".png") == 0;
}

// The folder of the running executable, which holds the application's resources.
bool ExecutableFolder(char* out, size_t size)
{
  const ssize_t n = readlink("/proc/self/exe", out, size - 1);
  if (n <= 0) return false;
  out[n] = 0;
  char* slash = std::strrchr(out, '/');
  if (!slash) return false;
  *slash = 0;
  return out[0] != 0;
}
}  // namespace

LICE_IBitmap* LICE_LoadPNG(const char* filename, LICE_IBitmap* bmp)
{
  if (!filename) return nullptr;
  PngRead st;
  st.file = std::fopen(filename, "rb");
  if (!st.file) return nullptr;
  st.given = bmp;
  st.honourFlipped = true;
  return Load(st);
}

LICE_IBitmap* LICE_LoadPNGFromMemory(const void* data, int len, LICE_IBitmap* bmp)
{
  if (!data || len < 8 || png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) != 0) return nullptr;
  PngRead st;
  st.data = static_cast<const unsigned char*>(data);
  st.left = (size_t)len;
  st.given = bmp;
  return Load(st);
}

LICE_IBitmap* LICE_LoadPNGFromNamedResource(const char* name, LICE_IBitmap* bmp)
{
  constexpr size_t kMaxNameLength = 400;
  constexpr size_t kMaxPathBytes = 1536;
  if (!name || std::strlen(name) > kMaxNameLength) return nullptr;
  char folder[kMaxPathBytes];
  if (!ExecutableFolder(folder, sizeof(folder))) return nullptr;
  char path[kMaxPathBytes + kMaxNameLength + 16];
  std::snprintf(path, sizeof(path), "%s/resources/%s", folder, name);
  return LICE_LoadPNG(path, bmp);
}

LICE_IBitmap* LICE_LoadPNGFromResource(void*, const char*, LICE_IBitmap*)
{
  return nullptr;
}

class LICE_PNGLoader
{
public:
  LICE_PNGLoader()
  {
    m_rec.loadfunc = loadfunc;
    m_rec.get_extlist = get_extlist;
    m_rec._next = LICE_ImageLoader_list;
    LICE_ImageLoader_list = &m_rec;
  }

  static LICE_IBitmap* loadfunc(const char* filename, bool checkFileName, LICE_IBitmap* bmp)
  {
    if (!filename || (checkFileName && !HasPngExtension(filename))) return nullptr;
    return LICE_LoadPNG(filename, bmp);
  }
  static const char* get_extlist() { return "PNG files (*.PNG)\0*.PNG\0"; }

private:
  _LICE_ImageLoader_rec m_rec;
};

static LICE_PNGLoader LICE_pngldr;
