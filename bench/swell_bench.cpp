// The window layer's drawing costs that the editor pays on every frame, each labelled with
// the figure it must stay under. Run with --benchmark_repetitions=9
// --benchmark_report_aggregates_only=true for medians.

#include "swell-gdi.h"
#include "swell-text.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace
{
constexpr int kEditorWidth = 770;
constexpr int kEditorHeight = 650;

HFONT labelFont()
{
  return CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Geneva");
}

void BM_DrawTextLabel(benchmark::State& state)
{
  HDC dc = SWELL_CreateMemContext(nullptr, 200, 40);
  HFONT font = labelFont();
  SelectObject(dc, font);
  SetTextColor(dc, 0xFFFFFF);
  RECT r = {0, 0, 200, 40};
  const char* label = "Osc 1 Detune";  // 12 characters
  SWELL_DrawText(dc, label, -1, &r, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);  // warm the glyphs
  for (auto _ : state)
    benchmark::DoNotOptimize(SWELL_DrawText(dc, label, -1, &r, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER));
  state.SetLabel("target < 15 us");
  SWELL_DeleteGfxContext(dc);
  DeleteObject(font);
}
BENCHMARK(BM_DrawTextLabel)->Unit(benchmark::kMicrosecond);

// A face the process already uses (the editor keeps its fonts), made and released again.
void BM_CreateFontKnownFace(benchmark::State& state)
{
  HFONT kept = labelFont();
  for (auto _ : state)
  {
    HFONT font = labelFont();
    benchmark::DoNotOptimize(font);
    DeleteObject(font);
  }
  state.SetLabel("target < 10 us");
  DeleteObject(kept);
}
BENCHMARK(BM_CreateFontKnownFace)->Unit(benchmark::kMicrosecond);

void BM_MemContextCreateDelete(benchmark::State& state)
{
  for (auto _ : state)
  {
    HDC dc = SWELL_CreateMemContext(nullptr, kEditorWidth, kEditorHeight);
    benchmark::DoNotOptimize(dc);
    SWELL_DeleteGfxContext(dc);
  }
  state.SetLabel("770 x 650, target < 1000 us");
}
BENCHMARK(BM_MemContextCreateDelete)->Unit(benchmark::kMicrosecond);

void BM_BitBltEditorSize(benchmark::State& state)
{
  HDC source = SWELL_CreateMemContext(nullptr, kEditorWidth, kEditorHeight);
  HDC dest = SWELL_CreateMemContext(nullptr, kEditorWidth, kEditorHeight);
  std::memset(SWELL_GetCtxFrameBuffer(source), 0x5A, size_t(kEditorWidth) * kEditorHeight * 4);
  for (auto _ : state)
  {
    BitBlt(dest, 0, 0, kEditorWidth, kEditorHeight, source, 0, 0, SRCCOPY);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kEditorWidth * kEditorHeight * 4);
  state.SetLabel("770 x 650, target < 500 us");
  SWELL_DeleteGfxContext(source);
  SWELL_DeleteGfxContext(dest);
}
BENCHMARK(BM_BitBltEditorSize)->Unit(benchmark::kMicrosecond);

// The yardstick for the blit: copying the same bytes.
void BM_MemcpyEditorSize(benchmark::State& state)
{
  std::vector<unsigned char> from(size_t(kEditorWidth) * kEditorHeight * 4, 0x5A), to(from.size());
  for (auto _ : state)
  {
    std::memcpy(to.data(), from.data(), from.size());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(from.size()));
  state.SetLabel("memory-copy speed, for the blit");
}
BENCHMARK(BM_MemcpyEditorSize)->Unit(benchmark::kMicrosecond);
}  // namespace
