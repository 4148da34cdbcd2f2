#pragma once

#include "platform/foundation/object.h"

#include <cstddef>

namespace cocoa
{
// One open descriptor, closed when the handle goes (or by closeFile). Reads and writes
// are the blocking system calls, interrupted calls resumed.
class NSFileHandle : public NSObject
{
public:
  // Takes over the descriptor.
  explicit NSFileHandle(int descriptor);

  int fileDescriptor() const { return m_descriptor; }
  // Waits until some bytes or the end arrive. The number read (at most `capacity`),
  // 0 at the end, -1 on an error.
  long readAvailableData(void* buffer, size_t capacity);
  // All the bytes, or false: the reading side has gone (no SIGPIPE reaches the program,
  // see NSPipe) or the descriptor failed.
  bool writeData(const void* bytes, size_t length);
  void closeFile();

protected:
  ~NSFileHandle() override;

private:
  int m_descriptor;
};

// A one-way channel between processes: what is written to one handle is read from the
// other. Both descriptors are closed in programs this process starts unless they are
// handed over as a standard stream.
class NSPipe : public NSObject
{
public:
  // A new pipe owned by the caller, or null when the system has no descriptors left.
  // The first pipe makes writes to a pipe whose reader has gone fail instead of killing
  // the program (SIGPIPE is ignored unless the program handles it itself).
  static NSPipe* newPipe();

  NSFileHandle* fileHandleForReading() const { return m_reading; }
  NSFileHandle* fileHandleForWriting() const { return m_writing; }

protected:
  ~NSPipe() override;

private:
  NSPipe(NSFileHandle* reading, NSFileHandle* writing);

  NSFileHandle* m_reading;
  NSFileHandle* m_writing;
};
}  // namespace cocoa
