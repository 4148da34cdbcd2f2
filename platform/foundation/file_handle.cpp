#include "platform/foundation/file_handle.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

namespace cocoa
{
namespace
{
void ignoreBrokenPipeSignal()
{
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction current = {};
    if (sigaction(SIGPIPE, nullptr, &current) != 0) return;
    // A handler the program installed itself stays.
    if (!(current.sa_flags & SA_SIGINFO) && current.sa_handler == SIG_DFL) signal(SIGPIPE, SIG_IGN);
  });
}
}  // namespace

NSFileHandle::NSFileHandle(int descriptor) : m_descriptor(descriptor) {}

NSFileHandle::~NSFileHandle()
{
  closeFile();
}

long NSFileHandle::readAvailableData(void* buffer, size_t capacity)
{
  if (m_descriptor < 0) return -1;
  for (;;)
  {
    const ssize_t got = read(m_descriptor, buffer, capacity);
    if (got >= 0) return static_cast<long>(got);
    if (errno != EINTR) return -1;
  }
}

bool NSFileHandle::writeData(const void* bytes, size_t length)
{
  if (m_descriptor < 0) return false;
  const char* next = static_cast<const char*>(bytes);
  while (length > 0)
  {
    const ssize_t written = write(m_descriptor, next, length);
    if (written < 0)
    {
      if (errno == EINTR) continue;
      return false;
    }
    next += written;
    length -= static_cast<size_t>(written);
  }
  return true;
}

void NSFileHandle::closeFile()
{
  if (m_descriptor >= 0) close(m_descriptor);
  m_descriptor = -1;
}

NSPipe* NSPipe::newPipe()
{
  ignoreBrokenPipeSignal();
  int descriptors[2];
  if (pipe2(descriptors, O_CLOEXEC) != 0) return nullptr;
  return new NSPipe(new NSFileHandle(descriptors[0]), new NSFileHandle(descriptors[1]));
}

NSPipe::NSPipe(NSFileHandle* reading, NSFileHandle* writing) : m_reading(reading), m_writing(writing) {}

NSPipe::~NSPipe()
{
  m_reading->release();
  m_writing->release();
}
}  // namespace cocoa
