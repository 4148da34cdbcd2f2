#include "swell-deadline.h"
#include "swell-handle-records.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <new>
#include <vector>

namespace
{
// A socket event holds at most a few pending bytes; one read of this size takes them all.
constexpr size_t kSocketDrainBytes = 128;

bool isReadableNow(int descriptor)
{
  pollfd ready{descriptor, POLLIN, 0};
  return poll(&ready, 1, 0) > 0;
}

bool sendSignalByte(int descriptor)
{
  const char zero = 0;
  ssize_t sent;
  do sent = send(descriptor, &zero, 1, MSG_NOSIGNAL);
  while (sent < 0 && errno == EINTR);
  return sent == 1;
}

// Takes what is pending on a non-blocking read end: true when something was there.
// Another waiter may have taken it first.
bool drain(int descriptor)
{
  char bytes[kSocketDrainBytes];
  ssize_t got;
  do got = read(descriptor, bytes, sizeof bytes);
  while (got < 0 && errno == EINTR);
  return got > 0;
}

int pollRetrying(pollfd* descriptors, nfds_t count, const SWELL_Deadline& deadline)
{
  for (;;)
  {
    const int ready = poll(descriptors, count, deadline.pollTimeout());
    if (ready >= 0 || errno != EINTR) return ready;
  }
}
}  // namespace

HANDLE CreateEvent(void*, bool manualReset, bool initialState, const char*)
{
  auto* event = new (std::nothrow) SWELL_EventRecord(manualReset, initialState);
  return event ? static_cast<SWELL_KernelObject*>(event) : nullptr;
}

HANDLE CreateEventAsSocket(void*, bool manualReset, bool initialState, const char*)
{
  auto* event = new (std::nothrow) SWELL_SocketEventRecord(manualReset);
  if (!event) return nullptr;
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
  {
    delete event;
    return nullptr;
  }
  event->readDescriptor = ends[0];
  event->writeDescriptor = ends[1];
  fcntl(ends[0], F_SETFL, fcntl(ends[0], F_GETFL) | O_NONBLOCK);
  if (initialState) sendSignalByte(event->writeDescriptor);
  return static_cast<SWELL_KernelObject*>(event);
}

void SWELL_DestroySocketEvent(SWELL_SocketEventRecord* event)
{
  if (event->readDescriptor >= 0) close(event->readDescriptor);
  if (event->writeDescriptor >= 0) close(event->writeDescriptor);
  delete event;
}

BOOL SetEvent(HANDLE handle)
{
  if (SWELL_EventRecord* event = SWELL_HandleAs<SWELL_EventRecord>(handle))
  {
    std::lock_guard<std::mutex> hold(event->lock);
    if (!event->signalled)
    {
      event->signalled = true;
      if (event->manualReset) event->changed.notify_all();
      else event->changed.notify_one();
    }
    return 1;
  }
  if (SWELL_SocketEventRecord* event = SWELL_HandleAs<SWELL_SocketEventRecord>(handle))
  {
    // One pending byte is a signal; more would only have to be drained.
    if (!isReadableNow(event->readDescriptor)) sendSignalByte(event->writeDescriptor);
    return 1;
  }
  return 0;
}

BOOL ResetEvent(HANDLE handle)
{
  if (SWELL_EventRecord* event = SWELL_HandleAs<SWELL_EventRecord>(handle))
  {
    std::lock_guard<std::mutex> hold(event->lock);
    event->signalled = false;
    return 1;
  }
  if (SWELL_SocketEventRecord* event = SWELL_HandleAs<SWELL_SocketEventRecord>(handle))
  {
    drain(event->readDescriptor);
    return 1;
  }
  return 0;
}

DWORD SWELL_WaitForEvent(SWELL_EventRecord* event, DWORD ms)
{
  std::unique_lock<std::mutex> hold(event->lock);
  const auto signalled = [event] { return event->signalled; };
  if (ms == INFINITE) event->changed.wait(hold, signalled);
  else if (ms == 0)
  {
    if (!event->signalled) return WAIT_TIMEOUT;
  }
  else if (!event->changed.wait_until(hold, SWELL_Deadline(ms).at(), signalled))
    return WAIT_TIMEOUT;
  if (!event->manualReset) event->signalled = false;
  return WAIT_OBJECT_0;
}

DWORD SWELL_WaitForSocket(int descriptor, bool consume, DWORD ms)
{
  if (descriptor < 0)
  {
    Sleep(ms == INFINITE ? 1 : ms > INT_MAX ? INT_MAX : static_cast<int>(ms));
    return WAIT_FAILED;
  }
  const SWELL_Deadline deadline(ms);
  for (;;)
  {
    pollfd ready{descriptor, POLLIN, 0};
    const int count = pollRetrying(&ready, 1, deadline);
    if (count < 0) return WAIT_FAILED;
    if (count == 0) return WAIT_TIMEOUT;
    if (!consume || drain(descriptor)) return WAIT_OBJECT_0;
    // The other end of our own pair never closes: nothing to read means someone else
    // took the signal, unless the descriptor is broken.
    if (ready.revents & (POLLERR | POLLHUP | POLLNVAL)) return WAIT_FAILED;
  }
}

DWORD WaitForAnySocketObject(int count, HANDLE* handles, DWORD ms)
{
  if (count <= 0 || !handles) return WAIT_TIMEOUT;
  std::vector<pollfd> descriptors;
  std::vector<int> indices;
  std::vector<bool> consumes;
  for (int i = 0; i < count; ++i)
  {
    int descriptor = -1;
    bool consume = false;
    if (SWELL_SocketRecord* socket = SWELL_HandleAs<SWELL_SocketRecord>(handles[i]))
      descriptor = socket->descriptor;
    else if (SWELL_SocketEventRecord* event = SWELL_HandleAs<SWELL_SocketEventRecord>(handles[i]))
    {
      descriptor = event->readDescriptor;
      consume = event->autoReset;
    }
    if (descriptor < 0) continue;
    descriptors.push_back({descriptor, POLLIN, 0});
    indices.push_back(i);
    consumes.push_back(consume);
  }
  if (descriptors.empty()) return WAIT_TIMEOUT;

  const SWELL_Deadline deadline(ms);
  for (;;)
  {
    const int ready = pollRetrying(descriptors.data(), descriptors.size(), deadline);
    if (ready < 0) return WAIT_FAILED;
    if (ready == 0) return WAIT_TIMEOUT;
    for (size_t i = 0; i < descriptors.size(); ++i)
    {
      if (!descriptors[i].revents) continue;
      if (!consumes[i] || drain(descriptors[i].fd)) return static_cast<DWORD>(indices[i]);
      if (descriptors[i].revents & (POLLERR | POLLHUP | POLLNVAL)) return WAIT_FAILED;
      break;  // the first ready one was taken by another waiter: wait again
    }
  }
}
