#include "swell-gdi.h"
#include "swell-text.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

// Contexts and objects are made and released on any thread: the pools, the reference counts
// and the face-name cache are shared by all of them.
TEST(GdiThreads, ContextsAndObjectsComeAndGoOnSeveralThreadsAtOnce)
{
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([t] {
      for (int i = 0; i < 300; ++i)
      {
        HDC dc = SWELL_CreateMemContext(nullptr, 16, 16);
        HPEN pen = CreatePen(PS_SOLID, 1, t * 0x40);
        HFONT font = CreateFont(-(10 + i % 4), 0, 0, 0, (i & 1) ? FW_BOLD : FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0,
                                "Geneva");
        SelectObject(dc, pen);
        SelectObject(dc, font);
        SWELL_CloneGDIObject(pen);
        DeleteObject(pen);
        DeleteObject(font);  // still selected: released with the context
        MoveToEx(dc, 0, 8, nullptr);
        SWELL_LineTo(dc, 16, 8);
        SWELL_DeleteGfxContext(dc);
        DeleteObject(pen);
      }
    });
  for (std::thread& thread : threads) thread.join();

  // The records went back: a fresh pen is usable.
  HDC dc = SWELL_CreateMemContext(nullptr, 4, 4);
  HPEN pen = CreatePen(PS_SOLID, 1, 0xFFFFFF);
  EXPECT_EQ(SelectObject(dc, pen), reinterpret_cast<HGDIOBJ>(1));
  SWELL_DeleteGfxContext(dc);
  DeleteObject(pen);
}
