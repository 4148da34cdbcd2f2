#include "PngFile.h"

#include <png.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace
{
unsigned char ToByte(float v) { return (unsigned char)std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255.0f); }

std::vector<unsigned char> RgbaRows(const Canvas& canvas)
{
  std::vector<unsigned char> bytes(size_t(canvas.Width()) * canvas.Height() * 4);
  unsigned char* out = bytes.data();
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = 0; x < canvas.Width(); ++x)
    {
      const Rgba c = canvas.PixelAt(x, y);
      const unsigned char alpha = ToByte(c.a);
      // A pixel nobody can see keeps no colour, so hidden leftovers never differ.
      *out++ = alpha ? ToByte(c.r) : 0;
      *out++ = alpha ? ToByte(c.g) : 0;
      *out++ = alpha ? ToByte(c.b) : 0;
      *out++ = alpha;
    }
  return bytes;
}

struct PngWrite
{
  std::FILE* file = nullptr;
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::vector<png_bytep> rows;
};

[[noreturn]] void StopOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

bool Encode(PngWrite* st, int width, int height)
{
  if (setjmp(png_jmpbuf(st->png))) return false;
  png_init_io(st->png, st->file);
  png_set_IHDR(st->png, st->info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(st->png, 9);
  png_write_info(st->png, st->info);
  png_write_image(st->png, st->rows.data());
  png_write_end(st->png, nullptr);
  return true;
}
}  // namespace

bool WritePng(const std::string& path, const Canvas& canvas, std::string* error)
{
  std::vector<unsigned char> bytes = RgbaRows(canvas);
  PngWrite st;
  st.file = std::fopen(path.c_str(), "wb");
  if (!st.file)
  {
    *error = "cannot create " + path;
    return false;
  }
  st.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, StopOnError, IgnoreWarning);
  if (st.png) st.info = png_create_info_struct(st.png);
  for (int y = 0; y < canvas.Height(); ++y) st.rows.push_back(bytes.data() + size_t(y) * canvas.Width() * 4);
  bool ok = st.png && st.info && Encode(&st, canvas.Width(), canvas.Height());
  if (st.png) png_destroy_write_struct(&st.png, st.info ? &st.info : nullptr);
  ok = (std::fclose(st.file) == 0) && ok;
  if (!ok)
  {
    *error = "cannot write " + path;
    std::remove(path.c_str());
  }
  return ok;
}
