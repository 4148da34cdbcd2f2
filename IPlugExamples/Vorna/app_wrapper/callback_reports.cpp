#include "callback_reports.h"

#include <atomic>
#include <cstdio>

namespace
{
std::atomic<bool> sStreamStatusSeen{false};
// The length of the last long message, 0 for none since the last look.
std::atomic<size_t> sLongMidiLength{0};
}  // namespace

void NoteStreamStatus() { sStreamStatusSeen.store(true, std::memory_order_relaxed); }

void NoteLongMidiMessage(size_t length) { sLongMidiLength.store(length, std::memory_order_relaxed); }

int ReportCallbackEvents()
{
  int lines = 0;
  if (sStreamStatusSeen.exchange(false, std::memory_order_relaxed))
  {
    std::printf("Stream underflow detected!\n");
    ++lines;
  }
  if (const size_t length = sLongMidiLength.exchange(0, std::memory_order_relaxed))
  {
    std::printf("NOT EXPECTING %d midi callback msg len\n", int(length));
    ++lines;
  }
  if (lines) std::fflush(stdout);
  return lines;
}
