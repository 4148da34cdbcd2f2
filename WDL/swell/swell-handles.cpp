#include "swell-handle-records.h"

DWORD WaitForSingleObject(HANDLE handle, DWORD ms)
{
  SWELL_KernelObject* object = SWELL_AsKernelObject(handle);
  if (!object) return WAIT_FAILED;
  switch (object->type)
  {
    case SWELL_HANDLE_THREAD: return SWELL_WaitForThread(static_cast<SWELL_ThreadRecord*>(object), ms);
    case SWELL_HANDLE_EVENT: return SWELL_WaitForEvent(static_cast<SWELL_EventRecord*>(object), ms);
    case SWELL_HANDLE_SOCKET: return SWELL_WaitForSocket(static_cast<SWELL_SocketRecord*>(object)->descriptor, false, ms);
    case SWELL_HANDLE_SOCKETEVENT:
    {
      auto* event = static_cast<SWELL_SocketEventRecord*>(object);
      return SWELL_WaitForSocket(event->readDescriptor, event->autoReset, ms);
    }
    case SWELL_HANDLE_PROCESS: return SWELL_WaitForNSTask(static_cast<SWELL_ProcessRecord*>(object)->task, ms);
    default: return WAIT_FAILED;
  }
}

BOOL CloseHandle(HANDLE handle)
{
  SWELL_KernelObject* object = SWELL_AsKernelObject(handle);
  if (!object) return 0;
  const uint32_t type = object->type;
  if (type < SWELL_HANDLE_THREAD || type > SWELL_HANDLE_PROCESS || type == SWELL_HANDLE_SOCKET) return 0;
  if (object->count.fetch_sub(1, std::memory_order_acq_rel) > 1) return 1;

  switch (type)
  {
    case SWELL_HANDLE_THREAD: SWELL_DestroyThread(static_cast<SWELL_ThreadRecord*>(object)); break;
    case SWELL_HANDLE_EVENT: delete static_cast<SWELL_EventRecord*>(object); break;
    case SWELL_HANDLE_FILE:
    {
      auto* file = static_cast<SWELL_FileRecord*>(object);
      if (file->stream) fclose(file->stream);
      delete file;
      break;
    }
    case SWELL_HANDLE_SOCKETEVENT: SWELL_DestroySocketEvent(static_cast<SWELL_SocketEventRecord*>(object)); break;
    case SWELL_HANDLE_PROCESS:
    {
      auto* process = static_cast<SWELL_ProcessRecord*>(object);
      SWELL_ReleaseNSTask(process->task);
      delete process;
      break;
    }
  }
  return 1;
}
