#pragma once

#include "swell-types.h"

// Win32-style kernel objects on POSIX threads, sockets and the platform's tasks:
// reference-counted handles for threads, events and child processes, waits with
// time-outs, and the time and sleep primitives. Every function may be called from
// any thread. The handles share the HANDLE type with global-memory blocks; each record
// starts with its kind, so a handle of the wrong kind is refused.

namespace cocoa
{
class NSTask;
}

typedef DWORD (*LPTHREAD_START_ROUTINE)(void* parameter);

constexpr DWORD INFINITE = 0xFFFFFFFFu;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;

// Threads. The handle holds two references, the caller's and the thread's own, which
// the thread drops when its procedure returns; the thread is freed with the last one.
// Attributes, stack size and flags are ignored. threadId (when given) receives the low
// 32 bits of the thread's identity, as GetCurrentThreadId gives it inside the thread.
HANDLE CreateThread(void* attributes, int stackSize, LPTHREAD_START_ROUTINE procedure, void* parameter, int flags,
                    DWORD* threadId);
// Runs procedure(parameter) on a detached platform thread; there is no handle (null).
HANDLE CreateThreadNS(void* attributes, int stackSize, LPTHREAD_START_ROUTINE procedure, void* parameter, int flags,
                      DWORD* threadId);
// Priority p becomes scheduling priority p + 31, clamped to the range of the thread's
// policy. 1 when set; 0 for another kind of handle or a thread that has finished.
BOOL SetThreadPriority(HANDLE thread, int priority);
DWORD GetCurrentThreadId();

// Events: the kind on a condition variable, and the kind on a socket pair whose read
// descriptor can be waited on together with others. The name is ignored; null when
// the system refuses the resources.
HANDLE CreateEvent(void* attributes, bool manualReset, bool initialState, const char* name);
HANDLE CreateEventAsSocket(void* attributes, bool manualReset, bool initialState, const char* name);
// 1, or 0 for null or a handle that is not an event.
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

// WAIT_OBJECT_0 when the object is signalled (a thread or process has ended; an
// auto-reset event is consumed), WAIT_TIMEOUT, or WAIT_FAILED. ms may be INFINITE.
DWORD WaitForSingleObject(HANDLE handle, DWORD ms);
// Waits on the socket-kind handles among the given ones; the index of the first ready
// one in array order, or WAIT_TIMEOUT (also when none can be waited on).
DWORD WaitForAnySocketObject(int count, HANDLE* handles, DWORD ms);

// Drops one reference; the last frees the object. 1, or 0 for null, an unknown kind or
// a socket (sockets are closed by their owner).
BOOL CloseHandle(HANDLE handle);

// Child processes, started from a path with argc arguments after the program's own
// name (null arguments pass as empty strings). With redirectIO the child's standard
// input, output and error are pipes that SWELL_ReadWriteProcessIO reaches. Null when it
// cannot be started.
HANDLE SWELL_CreateProcessIO(const char* path, int argc, const char** argv, bool redirectIO);
HANDLE SWELL_CreateProcess(const char* path, int argc, const char** argv);
// The exit status (or the signal number that ended it), -3 while running, -1 for an
// invalid handle.
int SWELL_GetProcessExitCode(HANDLE process);
// 0 when a terminate request was sent, -1 otherwise (invalid handle, child gone).
int SWELL_TerminateProcess(HANDLE process);
// Stream 0 writes len bytes to the child's input: len, 0 for len <= 0, -1 when the child
// no longer reads. Streams 1 and 2 wait for the child's output or error: the number of
// bytes read into the buffer (at most len), 0 at their end; with len <= 0 up to 32768
// bytes are read and dropped and their number returned. 0 for other streams, a stream
// that is not redirected or an invalid handle.
int SWELL_ReadWriteProcessIO(HANDLE process, int stream, char* buffer, int len);
// Brings the child's windows to the front, once it has shown some (tries for a second).
void SWELL_MakeProcessFront(HANDLE process);
DWORD SWELL_WaitForNSTask(cocoa::NSTask* task, DWORD ms);
void SWELL_ReleaseNSTask(cocoa::NSTask* task);

// Switches the platform into multithreaded mode once per process.
void SWELL_EnsureMultithreadedCocoa();
// An autorelease pool for code outside the run loop; pools must end in reverse order.
void* SWELL_InitAutoRelease();
void SWELL_QuitAutoRelease(void* pool);
// Dispatches up to 100 pending input events, waiting at most a millisecond for each;
// stops at the first wait that brings none. Main thread only.
void SWELL_RunEvents();

// ms milliseconds (100 microseconds for 0 or less).
void Sleep(int ms);
// Milliseconds from an unspecified start, wrapping at 32 bits; never jumps with the
// wall clock.
DWORD GetTickCount();
