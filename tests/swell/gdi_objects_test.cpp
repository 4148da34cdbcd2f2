#include "gdi_test_support.h"
#include "swell-gdi-internal.h"
#include "swell-text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace
{
// Records handed out and not yet back in the pool or freed.
long liveObjectRecords()
{
  const GdiPoolCounts counts = gdiPoolCounts();
  return counts.objectRecords - counts.pooledObjects;
}

HGDIOBJ pseudo(int slot)
{
  return reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(slot));
}

HFONT font(int height, int weight = FW_NORMAL, BOOL italic = 0, const char* face = "Lucida Grande", int quality = 0)
{
  return CreateFont(height, 0, 0, 0, weight, italic, 0, 0, 0, 0, 0, quality, 0, face);
}

std::string faceOf(HFONT f)
{
  HDC dc = SWELL_CreateMemContext(nullptr, 1, 1);
  SelectObject(dc, f);
  char name[128];
  GetTextFace(dc, sizeof(name), name);
  SWELL_DeleteGfxContext(dc);
  return name;
}

// Whether a horizontal line drawn with the selected pen reaches the pixels.
bool lineDraws(HDC dc)
{
  std::memset(SWELL_GetCtxFrameBuffer(dc), 0, 8 * 8 * 4);
  MoveToEx(dc, 0, 4, nullptr);
  SWELL_LineTo(dc, 8, 4);
  return pixelAt(dc, 8, 3, 4) != 0;
}
}  // namespace

TEST(GdiObjects, SelectionAnswersThePreviousObjectOrThePseudoHandleOfItsSlot)
{
  HDC dc = SWELL_CreateMemContext(nullptr, 8, 8);
  HPEN pen = CreatePen(PS_SOLID, 0, 0xFF0000);
  HBRUSH brush = CreateSolidBrush(0x00FF00);
  HFONT f = font(12);
  HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, nullptr);

  EXPECT_EQ(SelectObject(dc, pen), pseudo(1));
  EXPECT_EQ(SelectObject(dc, pen), pen);
  EXPECT_EQ(SelectObject(dc, brush), pseudo(2));
  EXPECT_EQ(SelectObject(dc, f), pseudo(3));
  EXPECT_EQ(SelectObject(dc, bitmap), nullptr);
  EXPECT_EQ(SelectObject(dc, pseudo(4)), nullptr);
  EXPECT_EQ(SelectObject(nullptr, pen), nullptr);
  EXPECT_TRUE(lineDraws(dc));

  EXPECT_EQ(SelectObject(dc, pseudo(1)), pen);
  EXPECT_EQ(SelectObject(dc, pseudo(1)), pseudo(1));
  EXPECT_FALSE(lineDraws(dc));

  // The stock null pen is a real selection that draws nothing and cannot be deleted.
  HGDIOBJ nullPen = GetStockObject(NULL_PEN);
  ASSERT_NE(nullPen, nullptr);
  EXPECT_EQ(GetStockObject(3), nullptr);
  SelectObject(dc, nullPen);
  EXPECT_FALSE(lineDraws(dc));
  DeleteObject(nullPen);
  EXPECT_EQ(SelectObject(dc, pen), nullPen);

  // A clone needs its own delete; a released record is refused everywhere.
  EXPECT_EQ(SWELL_CloneGDIObject(pen), pen);
  DeleteObject(pen);
  EXPECT_EQ(SelectObject(dc, nullPen), pen);
  DeleteObject(pen);
  EXPECT_EQ(SelectObject(dc, pen), nullptr);
  EXPECT_EQ(SWELL_CloneGDIObject(pen), nullptr);

  for (HGDIOBJ obj : {brush, f, bitmap}) DeleteObject(obj);
  SWELL_DeleteGfxContext(dc);
  EXPECT_EQ(GetTextColor(dc), -1);
}

TEST(GdiObjects, AnObjectDeletedWhileSelectedDrawsNothingAndIsNotReusedUntilReleased)
{
  HDC dc = SWELL_CreateMemContext(nullptr, 8, 8);
  HPEN pen = CreatePen(PS_SOLID, 1, 0xFFFFFF);
  SelectObject(dc, pen);
  DeleteObject(pen);
  EXPECT_FALSE(lineDraws(dc));

  // New pens never get the record the context still holds, so it cannot start drawing again.
  std::vector<HPEN> others;
  for (int i = 0; i < 300; ++i) others.push_back(CreatePen(PS_SOLID, 1, 0xFFFFFF));
  for (HPEN other : others) EXPECT_NE(other, pen);
  EXPECT_FALSE(lineDraws(dc));
  for (HPEN other : others) DeleteObject(other);

  // Letting go of it reports the empty slot and hands the record back.
  const long live = liveObjectRecords();
  EXPECT_EQ(SelectObject(dc, pseudo(1)), pseudo(1));
  EXPECT_EQ(liveObjectRecords(), live - 1);

  // A deleted font falls back to the default font; deleting the context releases it.
  HFONT big = font(-30);
  SelectObject(dc, big);
  TEXTMETRIC bigMetrics, fallback, plain;
  GetTextMetrics(dc, &bigMetrics);
  DeleteObject(big);
  GetTextMetrics(dc, &fallback);
  HDC other = SWELL_CreateMemContext(nullptr, 1, 1);
  GetTextMetrics(other, &plain);
  EXPECT_GT(bigMetrics.tmHeight, plain.tmHeight);
  EXPECT_EQ(fallback.tmHeight, plain.tmHeight);
  SWELL_DeleteGfxContext(dc);
  SWELL_DeleteGfxContext(other);
  EXPECT_EQ(liveObjectRecords(), live - 1);
}

TEST(GdiObjects, PoolsStayBoundedThroughManyCreateDeleteCycles)
{
  // Warm up, then the same work must not need one more record.
  auto cycle = [] {
    HDC dc = SWELL_CreateMemContext(nullptr, 16, 16);
    HPEN pen = CreatePen(PS_SOLID, 2, 0x123456);
    HBRUSH brush = CreateSolidBrush(0x654321);
    HFONT f = font(12);
    SelectObject(dc, pen);
    SelectObject(dc, brush);
    SelectObject(dc, f);
    DeleteObject(f);
    DeleteObject(brush);
    SWELL_DeleteGfxContext(dc);
    DeleteObject(pen);
  };
  cycle();
  const GdiPoolCounts start = gdiPoolCounts();
  for (int i = 0; i < 10000; ++i) cycle();
  EXPECT_EQ(gdiPoolCounts().contextRecords, start.contextRecords);
  EXPECT_EQ(gdiPoolCounts().objectRecords, start.objectRecords);

  // A burst beyond the pool's bound frees the surplus instead of keeping it.
  std::vector<HBRUSH> brushes;
  std::vector<HDC> contexts;
  for (int i = 0; i < 300; ++i) brushes.push_back(CreateSolidBrush(i));
  for (int i = 0; i < 150; ++i) contexts.push_back(SWELL_CreateMemContext(nullptr, 1, 1));
  for (HBRUSH b : brushes) DeleteObject(b);
  for (HDC c : contexts) SWELL_DeleteGfxContext(c);
  const GdiPoolCounts after = gdiPoolCounts();
  EXPECT_EQ(after.pooledObjects, 200);
  EXPECT_EQ(after.pooledContexts, 100);
  EXPECT_EQ(after.objectRecords, 200);
  EXPECT_EQ(after.contextRecords, 100);
}

TEST(GdiObjects, FontSizesAndStyles)
{
  struct Case
  {
    int height, width;
    double size;
  };
  for (const Case& c : {Case{-12, 0, 12}, Case{12, 0, 12}, Case{0, 0, 10}, Case{0, -14, 14}, Case{1, 0, 10},
                        Case{9000, 0, 10}, Case{8192, 0, 8192}})
  {
    HFONT f = CreateFont(c.height, c.width, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Lucida Grande");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(cocoa::CTFontGetSize(f->font), c.size) << c.height << " " << c.width;
    DeleteObject(f);
  }

  struct Style
  {
    int weight;
    BOOL italic;
    const char* face;
  };
  for (const Style& s : {Style{FW_NORMAL, 0, "DejaVu Sans"}, Style{FW_BOLD, 0, "DejaVu Sans Bold"},
                         Style{FW_NORMAL, 1, "DejaVu Sans Oblique"}, Style{900, 1, "DejaVu Sans Bold Oblique"}})
  {
    HFONT f = font(12, s.weight, s.italic);
    EXPECT_EQ(faceOf(f), s.face);
    DeleteObject(f);
  }

  // A face name longer than the layer keeps, one not terminated in a LOGFONT, one not UTF-8.
  HFONT longFace = font(12, FW_BOLD, 1, std::string(5000, 'x').c_str());
  EXPECT_EQ(faceOf(longFace), "DejaVu Sans Bold Oblique");
  LOGFONT lf = {};
  lf.lfHeight = 20;
  std::memset(lf.lfFaceName, 'M', sizeof(lf.lfFaceName));
  HFONT indirect = CreateFontIndirect(&lf);
  EXPECT_EQ(cocoa::CTFontGetSize(indirect->font), 20);
  HFONT garbled = font(12, FW_BOLD, 0, "Monaco\xff");
  EXPECT_EQ(faceOf(garbled), "DejaVu Sans");
  for (HFONT f : {longFace, indirect, garbled}) DeleteObject(f);
  EXPECT_EQ(AddFontResourceEx("/no/such/font.ttf", 1, nullptr), 0);
}

TEST(GdiObjects, GetObjectWritesNoMoreThanItIsGiven)
{
  HBITMAP bitmap = CreateBitmap(3, 2, 1, 32, nullptr);
  HPEN pen = CreatePen(PS_SOLID, 1, 0);
  struct Case
  {
    HGDIOBJ obj;
    int size, result, cleared;
  };
  for (const Case& c : {Case{bitmap, 24, 1, 24}, Case{bitmap, 12, 1, 12}, Case{bitmap, 4, 0, 4},
                        Case{bitmap, -8, 0, 0}, Case{pen, 24, 0, 24}})
  {
    unsigned char out[32];
    std::memset(out, 0xAA, sizeof(out));
    EXPECT_EQ(GetObject(c.obj, c.size, out), c.result) << c.size;
    for (int i = 0; i < 32; ++i) ASSERT_EQ(out[i] == 0xAA, i >= c.cleared) << i;
  }
  BITMAP full;
  GetObject(bitmap, sizeof(full), &full);
  EXPECT_TRUE(full.bmWidth == 3 && full.bmHeight == 2 && full.bmWidthBytes == 12 && full.bmPlanes == 1 &&
              full.bmBitsPixel == 32 && !full.bmBits);
  EXPECT_EQ(GetNSImageFromHICON(pen), nullptr);
  EXPECT_NE(GetNSImageFromHICON(bitmap), nullptr);
  EXPECT_EQ(CreateBitmap(3, 2, 1, 24, nullptr), nullptr);
  DeleteObject(pen);
  DeleteObject(bitmap);
}

TEST(GdiObjects, ImageListsCopyAddedImagesShareIconsAndOwnTheirObjects)
{
  const long live = liveObjectRecords();
  HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
  ICONINFO info = {1, 0, 0, nullptr, bitmap};
  HICON icon = CreateIconIndirect(&info);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(GetNSImageFromHICON(icon), GetNSImageFromHICON(bitmap));
  info.fIcon = 0;
  EXPECT_EQ(CreateIconIndirect(&info), nullptr);

  HIMAGELIST list = ImageList_CreateEx();
  EXPECT_EQ(ImageList_Add(list, bitmap, nullptr), 0);
  EXPECT_EQ(ImageList_Add(list, bitmap, nullptr), 1);
  EXPECT_EQ(ImageList_ReplaceIcon(list, 0, icon), 0);
  EXPECT_EQ(ImageList_ReplaceIcon(list, 7, icon), 2);
  EXPECT_EQ(ImageList_Add(list, nullptr, nullptr), -1);
  EXPECT_EQ(live + 5, liveObjectRecords());  // the list holds objects of its own
  EXPECT_EQ(ImageList_Remove(list, 3), 0);
  EXPECT_EQ(ImageList_Remove(list, 1), 1);
  EXPECT_EQ(ImageList_Remove(list, 1), 1);  // an empty slot stays a slot
  EXPECT_EQ(live + 4, liveObjectRecords());
  EXPECT_EQ(ImageList_Remove(list, -1), 1);
  EXPECT_EQ(ImageList_Remove(list, 0), 0);
  EXPECT_EQ(ImageList_Add(list, icon, nullptr), 0);
  ImageList_Destroy(list);

  // The icon outlives the bitmap it was made from; nothing is left behind.
  DeleteObject(bitmap);
  EXPECT_NE(GetNSImageFromHICON(icon), nullptr);
  DeleteObject(icon);
  EXPECT_EQ(liveObjectRecords(), live);
}

TEST(GdiObjects, NamedImagesLoadFromFilesWithMagentaMadeTransparentOnRequest)
{
  // A 2 x 1 PNG: magenta, then blue.
  const std::string path = testing::TempDir() + "swell_named_image.png";
  const unsigned char pixels[] = {0xFF, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF};  // R, G, B, A
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  image.width = 2;
  image.height = 1;
  image.format = PNG_FORMAT_RGBA;
  ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, pixels, 8, nullptr));

  HDC dc = SWELL_CreateMemContext(nullptr, 2, 1);
  const RECT all = {0, 0, 2, 1};
  for (bool transparent : {false, true})
  {
    HICON loaded = LoadNamedImage(path.c_str(), transparent);
    ASSERT_NE(loaded, nullptr);
    std::memset(SWELL_GetCtxFrameBuffer(dc), 0x40, 8);
    DrawImageInRect(dc, loaded, &all);
    EXPECT_EQ(pixelAt(dc, 2, 0, 0), transparent ? 0x404040u : 0xFF00FFu);
    EXPECT_EQ(pixelAt(dc, 2, 1, 0), 0x0000FFu);
    DeleteObject(loaded);
  }
  EXPECT_EQ(LoadNamedImage((path + ".missing").c_str(), false), nullptr);
  EXPECT_EQ(LoadNamedImage("no-such-image", false), nullptr);
  SWELL_DeleteGfxContext(dc);
  std::remove(path.c_str());
}
