#pragma once

#include <atomic>
#include <cstddef>
#include <string>

// The audio and MIDI threads never print: they leave a note here, and the main
// thread prints it on its next look.

// One text handed from a thread that must not allocate or print (the audio library's) to the
// main thread: the first put since the last take is kept, the rest dropped.
class TextMailbox
{
public:
  void Put(const std::string& text);
  // Main thread.
  bool Take(std::string* text);
  void Clear() { mState.store(kEmpty, std::memory_order_release); }

private:
  enum : int
  {
    kEmpty,
    kWriting,
    kWritten,
  };
  std::atomic<int> mState{kEmpty};
  char mText[256] = {};
};

// Audio thread: the device reported an underflow or overflow.
void NoteStreamStatus();
// MIDI thread: a message too long to be a channel message arrived.
void NoteLongMidiMessage(size_t length);
// The audio library's thread: a warning it gave about the stream (printed as the library prints
// its own); the first since the last look is kept.
void NoteLibraryWarning(const std::string& text);
// Main thread: prints what was noted since the last look; returns the lines printed.
int ReportCallbackEvents();
