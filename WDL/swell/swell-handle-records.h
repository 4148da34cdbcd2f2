#pragma once

// The records behind HANDLE, shared by the files of the kernel objects. Every record
// starts with its kind and its reference count.

#include "swell-kernel.h"

#include <pthread.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>

enum SWELL_HandleType : uint32_t
{
  SWELL_HANDLE_THREAD = 0x1000002,
  SWELL_HANDLE_EVENT = 0x1000003,
  SWELL_HANDLE_FILE = 0x1000004,
  SWELL_HANDLE_SOCKET = 0x1000005,
  SWELL_HANDLE_SOCKETEVENT = 0x1000006,
  SWELL_HANDLE_PROCESS = 0x1000007,
};

struct SWELL_KernelObject
{
  SWELL_KernelObject(uint32_t kind, int32_t references) : type(kind), count(references) {}
  uint32_t type;
  std::atomic<int32_t> count;
};

inline SWELL_KernelObject* SWELL_AsKernelObject(HANDLE handle)
{
  return static_cast<SWELL_KernelObject*>(handle);
}

// A record of the given kind, or null for null or another kind.
template <class Record>
Record* SWELL_HandleAs(HANDLE handle)
{
  SWELL_KernelObject* object = SWELL_AsKernelObject(handle);
  return object && object->type == Record::kType ? static_cast<Record*>(object) : nullptr;
}

struct SWELL_ThreadRecord : SWELL_KernelObject
{
  static constexpr uint32_t kType = SWELL_HANDLE_THREAD;
  // The caller's reference and the thread's own.
  SWELL_ThreadRecord() : SWELL_KernelObject(kType, 2) {}

  LPTHREAD_START_ROUTINE procedure = nullptr;
  void* parameter = nullptr;
  DWORD result = 0;
  std::atomic<int> done{0};

  // The thread may be joined once: waits from several threads, and the close after a
  // wait, must agree on who does it.
  enum JoinState
  {
    joinable,
    joining,
    joined,
  };
  std::mutex lock;
  std::condition_variable joinFinished;
  pthread_t thread{};  // written at creation under the lock
  JoinState joinState = joinable;
};

struct SWELL_EventRecord : SWELL_KernelObject
{
  static constexpr uint32_t kType = SWELL_HANDLE_EVENT;
  SWELL_EventRecord(bool manual, bool initial) : SWELL_KernelObject(kType, 1), signalled(initial), manualReset(manual)
  {
  }

  std::mutex lock;
  std::condition_variable changed;
  bool signalled;
  bool manualReset;
};

struct SWELL_FileRecord : SWELL_KernelObject
{
  static constexpr uint32_t kType = SWELL_HANDLE_FILE;
  explicit SWELL_FileRecord(FILE* file) : SWELL_KernelObject(kType, 1), stream(file) {}
  FILE* stream;
};

struct SWELL_SocketRecord : SWELL_KernelObject
{
  static constexpr uint32_t kType = SWELL_HANDLE_SOCKET;
  explicit SWELL_SocketRecord(int fd) : SWELL_KernelObject(kType, 1), descriptor(fd) {}
  int descriptor;
};

struct SWELL_SocketEventRecord : SWELL_KernelObject
{
  static constexpr uint32_t kType = SWELL_HANDLE_SOCKETEVENT;
  explicit SWELL_SocketEventRecord(bool manual) : SWELL_KernelObject(kType, 1), autoReset(!manual) {}
  int readDescriptor = -1;
  int writeDescriptor = -1;
  bool autoReset;
};

struct SWELL_ProcessRecord : SWELL_KernelObject
{
  static constexpr uint32_t kType = SWELL_HANDLE_PROCESS;
  explicit SWELL_ProcessRecord(cocoa::NSTask* child) : SWELL_KernelObject(kType, 1), task(child) {}
  cocoa::NSTask* task;
};

// Per kind: the wait of WaitForSingleObject, and what the last close frees.
DWORD SWELL_WaitForThread(SWELL_ThreadRecord* thread, DWORD ms);
DWORD SWELL_WaitForEvent(SWELL_EventRecord* event, DWORD ms);
// Sockets and socket events: the read descriptor, and whether a ready one is consumed.
DWORD SWELL_WaitForSocket(int descriptor, bool consume, DWORD ms);
void SWELL_DestroyThread(SWELL_ThreadRecord* thread);
void SWELL_DestroySocketEvent(SWELL_SocketEventRecord* event);
