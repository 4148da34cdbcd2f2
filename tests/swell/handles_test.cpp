// Threads and events through their handles. Also built under ThreadSanitizer, which
// judges the joins, closes and wake-ups made from several threads at once.
#include "swell-handle-records.h"
#include "swell-kernel.h"

#include "platform/foundation/thread.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

struct EventKind
{
  const char* name;
  HANDLE (*create)(void*, bool, bool, const char*);
};
const EventKind kEventKinds[] = {{"condition", CreateEvent}, {"socket", CreateEventAsSocket}};

long msSince(Clock::time_point start)
{
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

DWORD waitForEventThenReturn7(void* event)
{
  return WaitForSingleObject(static_cast<HANDLE>(event), INFINITE) == WAIT_OBJECT_0 ? 7 : 0;
}
}  // namespace

TEST(Events, AutoResetIsConsumedByOneWaitManualResetStays)
{
  for (const EventKind& kind : kEventKinds)
  {
    SCOPED_TRACE(kind.name);
    HANDLE automatic = kind.create(nullptr, false, true, nullptr);
    ASSERT_NE(automatic, nullptr);
    EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_TIMEOUT);
    // Two signals before a wait are one signal.
    EXPECT_EQ(SetEvent(automatic), 1);
    EXPECT_EQ(SetEvent(automatic), 1);
    EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_TIMEOUT);

    HANDLE manual = kind.create(nullptr, true, false, "ignored");
    ASSERT_NE(manual, nullptr);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
    SetEvent(manual);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(manual, 10), WAIT_OBJECT_0);
    EXPECT_EQ(ResetEvent(manual), 1);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);

    EXPECT_EQ(CloseHandle(automatic), 1);
    EXPECT_EQ(CloseHandle(manual), 1);
  }
  EXPECT_EQ(SetEvent(nullptr), 0);
  EXPECT_EQ(ResetEvent(nullptr), 0);
  EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
  EXPECT_EQ(CloseHandle(nullptr), 0);
}

TEST(Events, WaitsHonourZeroFiniteAndInfiniteTimeOuts)
{
  for (const EventKind& kind : kEventKinds)
  {
    SCOPED_TRACE(kind.name);
    HANDLE event = kind.create(nullptr, false, false, nullptr);
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    EXPECT_LT(msSince(start), 500);

    // Timed with the layer's own tick count.
    const DWORD before = GetTickCount();
    EXPECT_EQ(WaitForSingleObject(event, 60), WAIT_TIMEOUT);
    const DWORD waited = GetTickCount() - before;
    EXPECT_GE(waited, 60u);
    EXPECT_LT(waited, 1000u);

    std::thread setter([event] {
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
      SetEvent(event);
    });
    EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
    setter.join();
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT) << "the wake-up consumed the signal";
    CloseHandle(event);
  }
}

TEST(Events, ManualResetWakesEveryWaiterAutoResetExactlyOne)
{
  for (const bool manual : {true, false})
  {
    SCOPED_TRACE(manual ? "manual" : "auto");
    HANDLE event = CreateEvent(nullptr, manual, false, nullptr);
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i)
      waiters.emplace_back([&] {
        if (WaitForSingleObject(event, 400) == WAIT_OBJECT_0) ++woken;
      });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    SetEvent(event);
    for (std::thread& waiter : waiters) waiter.join();
    EXPECT_EQ(woken.load(), manual ? 3 : 1);
    CloseHandle(event);
  }
}

TEST(Events, AnySocketObjectGivesTheFirstReadyIndexAndConsumesIt)
{
  HANDLE quiet = CreateEventAsSocket(nullptr, false, false, nullptr);
  HANDLE automatic = CreateEventAsSocket(nullptr, false, false, nullptr);
  HANDLE manual = CreateEventAsSocket(nullptr, true, false, nullptr);
  HANDLE plain = CreateEvent(nullptr, false, true, nullptr);  // not waitable here: skipped
  HANDLE handles[] = {plain, quiet, automatic, manual};

  EXPECT_EQ(WaitForAnySocketObject(4, handles, 0), WAIT_TIMEOUT);
  SetEvent(manual);
  SetEvent(automatic);
  EXPECT_EQ(WaitForAnySocketObject(4, handles, 0), 2u);
  EXPECT_EQ(WaitForAnySocketObject(4, handles, 0), 3u) << "the auto-reset one was consumed";
  EXPECT_EQ(WaitForAnySocketObject(4, handles, 0), 3u) << "the manual-reset one stays";

  ResetEvent(manual);
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(WaitForAnySocketObject(4, handles, 40), WAIT_TIMEOUT);
  EXPECT_GE(msSince(start), 40);

  std::thread setter([quiet] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    SetEvent(quiet);
  });
  EXPECT_EQ(WaitForAnySocketObject(4, handles, INFINITE), 1u);
  setter.join();

  EXPECT_EQ(WaitForAnySocketObject(0, handles, INFINITE), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForAnySocketObject(1, handles, INFINITE), WAIT_TIMEOUT) << "nothing to wait on";
  for (HANDLE handle : handles) CloseHandle(handle);
}

TEST(Handles, SocketsAreWaitedOnButNotClosedFilesCloseTheirStream)
{
  // Other parts of a program wrap their own descriptors and streams in handles.
  int ends[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
  auto* socket = new SWELL_SocketRecord(ends[0]);
  HANDLE handle = static_cast<SWELL_KernelObject*>(socket);
  EXPECT_EQ(WaitForSingleObject(handle, 0), WAIT_TIMEOUT);
  ASSERT_EQ(write(ends[1], "x", 1), 1);
  EXPECT_EQ(WaitForSingleObject(handle, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForAnySocketObject(1, &handle, 0), 0u) << "a socket's data is its owner's to read";
  EXPECT_EQ(CloseHandle(handle), 0);
  delete socket;

  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  HANDLE file = static_cast<SWELL_KernelObject*>(new SWELL_FileRecord(fdopen(pipeEnds[1], "w")));
  EXPECT_EQ(WaitForSingleObject(file, 0), WAIT_FAILED);
  EXPECT_EQ(CloseHandle(file), 1);
  char byte;
  EXPECT_EQ(read(pipeEnds[0], &byte, 1), 0) << "the writing end was closed with the handle";
  for (int descriptor : {ends[0], ends[1], pipeEnds[0]}) close(descriptor);
}

TEST(Threads, WaitJoinsOnceAndTheHandleOutlivesItsThread)
{
  HANDLE release = CreateEvent(nullptr, true, false, nullptr);
  DWORD threadId = 0;
  HANDLE thread = CreateThread(nullptr, 0, waitForEventThenReturn7, release, 0, &threadId);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(threadId, 0u);
  EXPECT_TRUE(cocoa::NSThread::isMultiThreaded());

  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(thread, 30), WAIT_TIMEOUT);
  EXPECT_EQ(SetThreadPriority(thread, 0), 1);
  EXPECT_EQ(SetThreadPriority(release, 0), 0);

  // Several threads wait at once; each must see the end, and the thread is joined once.
  std::vector<std::thread> waiters;
  std::atomic<int> ended{0};
  for (int i = 0; i < 3; ++i)
    waiters.emplace_back([&] {
      if (WaitForSingleObject(thread, INFINITE) == WAIT_OBJECT_0) ++ended;
    });
  SetEvent(release);
  for (std::thread& waiter : waiters) waiter.join();
  EXPECT_EQ(ended.load(), 3);
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0) << "a second wait";
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
  EXPECT_EQ(SetThreadPriority(thread, 0), 0) << "the thread has finished";
  EXPECT_EQ(CloseHandle(thread), 1);
  CloseHandle(release);
}

TEST(Threads, TheLastCloseMayComeFromEitherSide)
{
  static std::atomic<DWORD> seenId{0};
  static std::atomic<bool> finished{false};
  HANDLE release = CreateEvent(nullptr, true, false, nullptr);

  // The caller closes first: the thread keeps running and frees the handle itself.
  DWORD threadId = 0;
  HANDLE early = CreateThread(
      nullptr, 0,
      [](void* event) -> DWORD {
        seenId = GetCurrentThreadId();
        WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
        finished = true;
        return 0;
      },
      release, 0, &threadId);
  ASSERT_NE(early, nullptr);
  EXPECT_EQ(CloseHandle(early), 1);
  SetEvent(release);
  for (int i = 0; i < 2000 && !finished; ++i) Sleep(1);
  EXPECT_TRUE(finished.load());
  EXPECT_EQ(seenId.load(), threadId);

  // The thread ends first: the caller's close joins it without a wait.
  HANDLE late = CreateThread(nullptr, 0, waitForEventThenReturn7, release, 0, nullptr);
  ASSERT_NE(late, nullptr);
  Sleep(20);
  EXPECT_EQ(CloseHandle(late), 1);

  // A thread waiting for itself fails instead of hanging.
  static std::atomic<HANDLE> self{nullptr};
  static std::atomic<DWORD> selfWait{0};
  HANDLE started = CreateEvent(nullptr, true, false, nullptr);
  HANDLE waiter = CreateThread(
      nullptr, 0,
      [](void* event) -> DWORD {
        WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
        selfWait = WaitForSingleObject(self.load(), INFINITE);
        return 0;
      },
      started, 0, nullptr);
  self = waiter;
  SetEvent(started);
  EXPECT_EQ(WaitForSingleObject(waiter, 2000), WAIT_OBJECT_0);
  EXPECT_EQ(selfWait.load(), WAIT_FAILED);
  CloseHandle(waiter);
  CloseHandle(started);
  CloseHandle(release);
}

TEST(Threads, PlatformThreadsRunTheirProcedureWithoutAHandle)
{
  HANDLE ran = CreateEvent(nullptr, true, false, nullptr);
  const LPTHREAD_START_ROUTINE signal = [](void* event) -> DWORD { return SetEvent(static_cast<HANDLE>(event)); };
  EXPECT_EQ(CreateThreadNS(nullptr, 0, signal, ran, 0, nullptr), nullptr);
  EXPECT_EQ(WaitForSingleObject(ran, 5000), WAIT_OBJECT_0);
  CloseHandle(ran);
}
