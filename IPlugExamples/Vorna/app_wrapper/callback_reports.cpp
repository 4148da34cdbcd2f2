#include "callback_reports.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>

namespace
{
std::atomic<bool> sStreamStatusSeen{false};
// The length of the last long message, 0 for none since the last look.
std::atomic<size_t> sLongMidiLength{0};
TextMailbox sWarning;
}  // namespace

void TextMailbox::Put(const std::string& text)
{
  int empty = kEmpty;
  if (!mState.compare_exchange_strong(empty, kWriting, std::memory_order_acquire)) return;
  const size_t length = std::min(text.size(), sizeof(mText) - 1);
  std::memcpy(mText, text.data(), length);
  mText[length] = '\0';
  mState.store(kWritten, std::memory_order_release);
}

bool TextMailbox::Take(std::string* text)
{
  if (mState.load(std::memory_order_acquire) != kWritten) return false;
  *text = mText;
  mState.store(kEmpty, std::memory_order_release);
  return true;
}

void NoteStreamStatus() { sStreamStatusSeen.store(true, std::memory_order_relaxed); }

void NoteLongMidiMessage(size_t length) { sLongMidiLength.store(length, std::memory_order_relaxed); }

void NoteLibraryWarning(const std::string& text) { sWarning.Put(text); }

int ReportCallbackEvents()
{
  int lines = 0;
  std::string warning;
  if (sWarning.Take(&warning))
  {
    std::fprintf(stderr, "\n%s\n\n", warning.c_str());
    std::fflush(stderr);
    ++lines;
  }
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
