// Cursors and the mouse position: the standard and built cursors, cursor files read in
// memory, the cursor last set, and relative mode while the cursor is hidden.
#include "cursor_file_builder.h"
#include "wnd_test_support.h"

#include "swell-cursor-file.h"
#include "swell-cursor.h"

#include "platform/appkit/cursor.h"
#include "platform/appkit/event.h"

#include <png.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

using namespace cocoa;

namespace
{
NSCursor* cursorOf(HCURSOR handle)
{
  return dynamic_cast<NSCursor*>(reinterpret_cast<NSObject*>(handle));
}

std::string writeFile(const std::string& dir, const std::string& name, const std::vector<uint8_t>& bytes)
{
  const std::string path = dir + "/" + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return path;
}

std::vector<uint8_t> pngOf(int side, uint32_t argb)
{
  std::vector<uint32_t> pixels(size_t(side) * side, argb);
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  image.width = side;
  image.height = side;
  image.format = PNG_FORMAT_BGRA;
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), side * 4, nullptr);
  std::vector<uint8_t> bytes(size);
  png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels.data(), side * 4, nullptr);
  return bytes;
}

class CursorTest : public WindowTest
{
protected:
  void SetUp() override
  {
    WindowTest::SetUp();
    char pattern[] = "/tmp/swell-cursor-XXXXXX";
    dir = mkdtemp(pattern);
  }
  void TearDown() override
  {
    std::filesystem::remove_all(dir);
    WindowTest::TearDown();
  }
  std::string dir;
};
}  // namespace

TEST_F(CursorTest, StandardCursorsAreThePlatformsAndTheBuiltOnesAreMadeOnce)
{
  EXPECT_EQ(cursorOf(SWELL_LoadCursor(IDC_ARROW)), NSCursor::arrowCursor());
  EXPECT_EQ(cursorOf(SWELL_LoadCursor(IDC_IBEAM)), NSCursor::IBeamCursor());
  EXPECT_EQ(cursorOf(SWELL_LoadCursor(IDC_SIZEWE)), NSCursor::resizeLeftRightCursor());
  EXPECT_EQ(cursorOf(SWELL_LoadCursor(IDC_HAND)), NSCursor::openHandCursor());
  EXPECT_EQ(SWELL_LoadCursor(reinterpret_cast<const char*>(32514)), nullptr);

  NSCursor* down = cursorOf(SWELL_LoadCursor(IDC_SIZENWSE));
  NSCursor* up = cursorOf(SWELL_LoadCursor(IDC_SIZENESW));
  ASSERT_TRUE(down && up);
  EXPECT_NE(down, up);
  EXPECT_EQ(cursorOf(SWELL_LoadCursor(IDC_SIZENWSE)), down);
  EXPECT_EQ(down->hotSpot(), NSMakePoint(8, 8));
  bool symmetric = true;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
    {
      EXPECT_EQ(down->pixels()[y * 16 + x], up->pixels()[y * 16 + 15 - x]);
      symmetric = symmetric && down->pixels()[y * 16 + x] == down->pixels()[y * 16 + 15 - x];
    }
  EXPECT_FALSE(symmetric);
  // Grey and opacity nibbles scaled by 17: black, white or nothing.
  for (uint32_t p : cursorOf(SWELL_LoadCursor(IDC_NO))->pixels())
    EXPECT_TRUE(p == 0 || p == 0xFF000000u || p == 0xFFFFFFFFu) << std::hex << p;

  HCURSOR beam = SWELL_LoadCursor(IDC_IBEAM);
  SWELL_SetCursor(beam);
  EXPECT_EQ(SWELL_GetCursor(), beam);
  EXPECT_EQ(SWELL_GetLastSetCursor(), beam);
  EXPECT_EQ(driver.backend().cursor(), NSCursor::IBeamCursor());
  SWELL_SetCursor(nullptr);
  EXPECT_EQ(SWELL_GetCursor(), SWELL_LoadCursor(IDC_ARROW));
  EXPECT_EQ(SWELL_GetLastSetCursor(), nullptr);
}

TEST_F(CursorTest, CursorFilesAreReadInMemoryAndAnythingMalformedGivesNull)
{
  using namespace cursorfile;
  const auto maskedCorner = [](int x, int y) { return x < 4 && y < 4; };
  const std::string alpha = writeFile(dir, "alpha.cur",
                                      wrap(bitmap(8, 32, {}, [](int x, int) { return x < 4 ? 0x80FF0000u : 0u; },
                                                  [](int, int) { return false; }),
                                           8, 3, 4));
  const std::string mono = writeFile(dir, "mono.CUR",
                                     wrap(bitmap(16, 1, {0x000000, 0xFFFFFF}, [](int x, int) { return uint32_t(x & 1); },
                                                 maskedCorner),
                                          16, 1, 2));
  const std::string indexed = writeFile(dir, "indexed.cur",
                                        wrap(bitmap(4, 4, {0x112233, 0x445566}, [](int, int y) { return uint32_t(y > 1); },
                                                 [](int, int) { return false; }),
                                             4, 0, 0));
  const std::string png = writeFile(dir, "png.cur", wrap(pngOf(8, 0xFF00FF00), 8, 5, 6));

  NSCursor* a = cursorOf(SWELL_LoadCursorFromFile(alpha.c_str()));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->width(), 8);
  EXPECT_EQ(a->hotSpot(), NSMakePoint(3, 4));
  EXPECT_EQ(a->pixels()[0], 0x80FF0000u);  // its own alpha, not the mask
  EXPECT_EQ(a->pixels()[7], 0u);
  NSCursor* m = cursorOf(SWELL_LoadCursorFromFile(mono.c_str()));
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->pixels()[0], 0u);                      // masked out
  EXPECT_EQ(m->pixels()[5 * 16 + 4], 0xFF000000u);    // index 0: black
  EXPECT_EQ(m->pixels()[5 * 16 + 5], 0xFFFFFFFFu);    // index 1: white
  NSCursor* i = cursorOf(SWELL_LoadCursorFromFile(indexed.c_str()));
  ASSERT_NE(i, nullptr);
  EXPECT_EQ(i->pixels()[0], 0xFF112233u);
  EXPECT_EQ(i->pixels()[3 * 4], 0xFF445566u);
  NSCursor* p = cursorOf(SWELL_LoadCursorFromFile(png.c_str()));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->pixels()[9], 0xFF00FF00u);
  EXPECT_EQ(p->hotSpot(), NSMakePoint(5, 6));
  for (NSCursor* c : {a, m, i, p}) c->release();

  // A registered resource loads once; a cursor file's own hot spot wins.
  static const char kResource[] = "pointer";
  SWELL_Register_Cursor_Resource(kResource, alpha.c_str(), 1, 1);
  HCURSOR registered = SWELL_LoadCursor(kResource);
  ASSERT_NE(registered, nullptr);
  EXPECT_EQ(SWELL_LoadCursor(kResource), registered);
  EXPECT_EQ(cursorOf(registered)->hotSpot(), NSMakePoint(3, 4));
  EXPECT_EQ(SWELL_LoadCursor("pointer"), nullptr);  // the same text at another address

  std::vector<uint8_t> good = wrap(bitmap(4, 4, {0, 0xFFFFFF}, [](int, int) { return 1u; },
                                          [](int, int) { return false; }),
                                   4, 0, 0);
  const auto broken = [&](const std::function<void(std::vector<uint8_t>&)>& change) {
    std::vector<uint8_t> bytes = good;
    change(bytes);
    SwellCursorImage image;
    return !swellDecodeCursorFile(bytes.data(), bytes.size(), &image);
  };
  EXPECT_FALSE(broken([](std::vector<uint8_t>&) {}));
  EXPECT_TRUE(broken([](std::vector<uint8_t>& b) { b[2] = 1; }));               // an icon, not a cursor
  EXPECT_TRUE(broken([](std::vector<uint8_t>& b) { b[18] = 0xF0; }));           // offset past the end
  EXPECT_TRUE(broken([](std::vector<uint8_t>& b) { b[15] = 0x10; }));           // length past the end
  EXPECT_TRUE(broken([](std::vector<uint8_t>& b) { b.erase(b.end() - 20, b.end()); }));  // cut short
  EXPECT_TRUE(broken([](std::vector<uint8_t>& b) { b[22 + 14] = 16; }));        // 16 bits per pixel
  EXPECT_TRUE(broken([](std::vector<uint8_t>& b) { b[22 + 16] = 3; }));         // compressed
  EXPECT_TRUE(broken([](std::vector<uint8_t>& b) { b[22 + 32] = 1; }));         // index 1 past a palette of 1
  EXPECT_TRUE(broken([](std::vector<uint8_t>& b) { b[22 + 32] = 17; }));        // more colours than 4 bits hold
  const std::string malformed = writeFile(dir, "malformed.cur", std::vector<uint8_t>(good.begin(), good.begin() + 30));
  EXPECT_EQ(SWELL_LoadCursorFromFile(malformed.c_str()), nullptr);
  EXPECT_EQ(SWELL_LoadCursorFromFile((dir + "/missing.cur").c_str()), nullptr);
}

TEST_F(CursorTest, HidingHoldsThePointerAndMouseMotionMovesARememberedPosition)
{
  Recorder* r = recorder("view");
  HWND top = topLevel(r, NSMakeRect(100, 100, 300, 200));
  NSWindow* window = windowOf(top);
  driver.mouseMove(window, NSMakePoint(50, 50));  // screen (150, 250)
  driver.backend().setPointerState(NSMakePoint(150.4, 249.2), 0, 0);
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p.x, 150);
  EXPECT_EQ(p.y, 250);  // y taken up, x down
  EXPECT_EQ(GetMessagePos(), DWORD((250 << 16) | 150));

  EXPECT_EQ(SWELL_ShowCursor(FALSE), -1);
  EXPECT_EQ(SWELL_ShowCursor(FALSE), -2);
  EXPECT_FALSE(SWELL_IsCursorVisible());
  EXPECT_FALSE(driver.backend().cursorVisible());
  EXPECT_TRUE(driver.backend().pointerDetached());

  // Motion with the pointer held in place still moves what the window hears.
  NSEventFields fields;
  fields.type = NSEventTypeMouseMoved;
  fields.window = window;
  fields.locationInWindow = NSMakePoint(50, 150);
  fields.deltaX = 7;
  fields.deltaY = 3;  // down
  SetFocus(top);
  NSApp()->sendEvent(NSEvent::eventWithFields(fields));
  GetCursorPos(&p);
  EXPECT_EQ(p.x, 157);
  EXPECT_EQ(p.y, 247);
  ASSERT_NE(r->last(WM_MOUSEMOVE), nullptr);
  EXPECT_EQ(packedX(r->last(WM_MOUSEMOVE)->lParam), 57);
  EXPECT_EQ(packedY(r->last(WM_MOUSEMOVE)->lParam), 53);
  driver.backend().setPointerState(NSMakePoint(10, 10), 0, 0);
  GetCursorPos(&p);
  EXPECT_EQ(p.x, 157);

  EXPECT_EQ(SWELL_ShowCursor(TRUE), -1);
  EXPECT_TRUE(driver.backend().pointerDetached());
  EXPECT_TRUE(SWELL_SetCursorPos(160, 240));  // moves the remembered position only
  EXPECT_EQ(driver.backend().mouseLocation(), NSMakePoint(10, 10));
  EXPECT_EQ(SWELL_ShowCursor(TRUE), 0);
  EXPECT_TRUE(SWELL_IsCursorVisible());
  EXPECT_TRUE(driver.backend().cursorVisible());
  EXPECT_FALSE(driver.backend().pointerDetached());
  EXPECT_EQ(driver.backend().mouseLocation(), NSMakePoint(160, 240));
  EXPECT_TRUE(SWELL_SetCursorPos(-20, 30));
  EXPECT_EQ(driver.backend().mouseLocation(), NSMakePoint(-20, 30));
}
