#include "swell-gdi.h"
#include "swell-gdi-internal.h"
#include "swell-image.h"

#include "platform/graphics/cg_context.h"
#include "platform/graphics/cg_image.h"

#include <climits>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

using namespace cocoa;

struct HIMAGELIST__
{
  std::vector<HGDIOBJ> images;  // owned; a removed image leaves a null slot
};

namespace
{
// A type-4 object that holds one reference to the image, given by the caller.
HGDIOBJ newImageObject(SwellImage* image)
{
  if (!image) return nullptr;
  HGDIOBJ__* obj = takeObjectRecord();
  if (!obj)
  {
    image->release();
    return nullptr;
  }
  obj->type = kGdiImage;
  obj->wid = 1;
  obj->image = image;
  return obj;
}

SwellImage* liveImageOf(HGDIOBJ obj)
{
  return isLiveGdiObjectOfType(obj, kGdiImage) ? obj->image : nullptr;
}

std::string executableFolder()
{
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (length <= 0) return {};
  const std::string exe(path, static_cast<size_t>(length));
  return exe.substr(0, exe.rfind('/'));
}

// The application's images: beside the program, then under the install prefix.
SwellImage* loadResourceImage(const char* name)
{
  const std::string folder = executableFolder();
  if (folder.empty()) return nullptr;
  for (const char* place : {"/resources/img/", "/../share/vorna/img/"})
    for (const char* extension : {"", ".png"})
      if (SwellImage* image = SwellImage::loadPng((folder + place + name + extension).c_str())) return image;
  return nullptr;
}

void deleteImages(HIMAGELIST list)
{
  for (HGDIOBJ image : list->images) DeleteObject(image);
  list->images.clear();
}
}  // namespace

HICON LoadNamedImage(const char* name, bool magentaIsTransparent)
{
  if (!name || !*name) return nullptr;
  SwellImage* image = std::strchr(name, '/') ? SwellImage::loadPng(name) : nullptr;
  if (!image && !std::strstr(name, "..")) image = loadResourceImage(name);
  if (!image) return nullptr;
  if (magentaIsTransparent) image->clearMagenta();
  return newImageObject(image);
}

HBITMAP CreateBitmap(int width, int height, int, int bitsPerPixel, const unsigned char* bits)
{
  if (bitsPerPixel != 32) return nullptr;
  SwellImage* image = SwellImage::create(width, height);
  if (!image) return nullptr;
  if (bits)
  {
    // Colour above alpha would not be premultiplied: it is held to the alpha.
    const size_t count = static_cast<size_t>(width) * height;
    uint32_t* out = image->pixels();
    for (size_t i = 0; i < count; ++i)
    {
      const uint32_t a = bits[i * 4 + 3];
      const uint32_t r = std::min<uint32_t>(bits[i * 4 + 2], a);
      const uint32_t g = std::min<uint32_t>(bits[i * 4 + 1], a);
      const uint32_t b = std::min<uint32_t>(bits[i * 4], a);
      out[i] = (a << 24) | (r << 16) | (g << 8) | b;
    }
  }
  return newImageObject(image);
}

HICON CreateIconIndirect(const ICONINFO* info)
{
  if (!info || !info->fIcon) return nullptr;
  SwellImage* image = liveImageOf(info->hbmColor);
  if (!image) return nullptr;
  image->retain();
  return newImageObject(image);
}

void DrawImageInRect(HDC dc, HGDIOBJ obj, const RECT* r)
{
  SwellImage* image = liveImageOf(obj);
  if (!isLiveContext(dc) || !dc->ctx || !image || !r) return;
  CGImageRef cgImage = image->cgImage();
  if (!cgImage) return;
  CGContextRef ctx = dc->ctx;
  CGContextSaveGState(ctx);
  // Images land bottom-up in user space; mirror so the top row lands at the top.
  CGContextTranslateCTM(ctx, r->left, r->bottom);
  CGContextScaleCTM(ctx, 1, -1);
  CGContextDrawImage(ctx, CGRectMake(0, 0, r->right - r->left, r->bottom - r->top), cgImage);
  CGContextRestoreGState(ctx);
}

int GetObject(HGDIOBJ obj, int size, void* out)
{
  if (!out || size <= 0) return 0;
  std::memset(out, 0, static_cast<size_t>(size));
  SwellImage* image = liveImageOf(obj);
  if (!image || size < 8) return 0;
  BITMAP bitmap = {};
  bitmap.bmWidth = image->width();
  bitmap.bmHeight = image->height();
  bitmap.bmWidthBytes = image->width() * 4;
  bitmap.bmPlanes = 1;
  bitmap.bmBitsPixel = 32;
  std::memcpy(out, &bitmap, static_cast<size_t>(size) >= sizeof(bitmap) ? sizeof(bitmap) : 8);
  return 1;
}

void* GetNSImageFromHICON(HICON icon)
{
  return liveImageOf(icon);
}

HGDIOBJ swellImageListEntry(HIMAGELIST list, int index)
{
  if (!list || index < 0 || index >= static_cast<int>(list->images.size())) return nullptr;
  return list->images[static_cast<size_t>(index)];
}

HIMAGELIST ImageList_CreateEx()
{
  return new HIMAGELIST__;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP)
{
  SwellImage* source = liveImageOf(image);
  if (!list || !source) return -1;
  HGDIOBJ copy = newImageObject(source->copy());
  if (!copy) return -1;
  list->images.push_back(copy);
  return static_cast<int>(list->images.size()) - 1;
}

int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon)
{
  SwellImage* source = liveImageOf(icon);
  if (!list || !source) return -1;
  source->retain();
  HGDIOBJ shared = newImageObject(source);
  if (!shared) return -1;
  if (index >= 0 && index < static_cast<int>(list->images.size()))
  {
    DeleteObject(list->images[index]);
    list->images[index] = shared;
    return index;
  }
  list->images.push_back(shared);
  return static_cast<int>(list->images.size()) - 1;
}

int ImageList_Remove(HIMAGELIST list, int index)
{
  if (!list || index >= static_cast<int>(list->images.size())) return 0;
  if (index < 0)
  {
    deleteImages(list);
    return 1;
  }
  DeleteObject(list->images[index]);
  list->images[index] = nullptr;
  return 1;
}

void ImageList_Destroy(HIMAGELIST list)
{
  if (!list) return;
  deleteImages(list);
  delete list;
}
