#include "swell-deadline.h"
#include "swell-handle-records.h"

#include "platform/appkit/running_application.h"
#include "platform/foundation/autorelease_pool.h"
#include "platform/foundation/task.h"

#include <new>
#include <string>
#include <vector>

namespace
{
// What a read that is told no length takes from the child at once.
constexpr int kDefaultReadBytes = 32768;
// A child needs a moment to show its windows: look this many more times, this far apart.
constexpr int kFrontLookupRetries = 20;
constexpr int kFrontLookupIntervalMs = 50;

cocoa::NSTask* taskOf(HANDLE handle)
{
  SWELL_ProcessRecord* process = SWELL_HandleAs<SWELL_ProcessRecord>(handle);
  return process ? process->task : nullptr;
}

// Gives the stream a new pipe; false when the system has no descriptors left.
bool redirect(cocoa::NSTask* task, void (cocoa::NSTask::*setStream)(cocoa::NSPipe*))
{
  auto pipe = cocoa::StrongRef<cocoa::NSPipe>::adopt(cocoa::NSPipe::newPipe());
  if (!pipe) return false;
  (task->*setStream)(pipe.get());
  return true;
}
}  // namespace

HANDLE SWELL_CreateProcessIO(const char* path, int argc, const char** argv, bool redirectIO)
{
  if (!path) return nullptr;
  auto task = cocoa::StrongRef<cocoa::NSTask>::adopt(new (std::nothrow) cocoa::NSTask);
  if (!task) return nullptr;
  task->setLaunchPath(path);
  std::vector<std::string> arguments;
  for (int i = 0; i < argc; ++i) arguments.emplace_back(argv && argv[i] ? argv[i] : "");
  task->setArguments(arguments);
  if (redirectIO && !(redirect(task.get(), &cocoa::NSTask::setStandardInput) &&
                      redirect(task.get(), &cocoa::NSTask::setStandardOutput) &&
                      redirect(task.get(), &cocoa::NSTask::setStandardError)))
    return nullptr;
  if (!task->launch()) return nullptr;

  auto* process = new (std::nothrow) SWELL_ProcessRecord(task.get());
  if (!process) return nullptr;
  task->retain();
  return static_cast<SWELL_KernelObject*>(process);
}

HANDLE SWELL_CreateProcess(const char* path, int argc, const char** argv)
{
  return SWELL_CreateProcessIO(path, argc, argv, false);
}

DWORD SWELL_WaitForNSTask(cocoa::NSTask* task, DWORD ms)
{
  if (!task) return WAIT_FAILED;
  if (ms == 0) return task->isRunning() ? WAIT_TIMEOUT : WAIT_OBJECT_0;
  const SWELL_Deadline deadline(ms);
  while (task->isRunning())
  {
    if (deadline.passed()) return WAIT_TIMEOUT;
    Sleep(1);
  }
  return WAIT_OBJECT_0;
}

void SWELL_ReleaseNSTask(cocoa::NSTask* task)
{
  if (task) task->release();
}

int SWELL_GetProcessExitCode(HANDLE handle)
{
  cocoa::NSTask* task = taskOf(handle);
  if (!task) return -1;
  if (task->isRunning()) return -3;
  return task->terminationStatus();
}

int SWELL_TerminateProcess(HANDLE handle)
{
  cocoa::NSTask* task = taskOf(handle);
  return task && task->terminate() ? 0 : -1;
}

int SWELL_ReadWriteProcessIO(HANDLE handle, int stream, char* buffer, int len)
{
  cocoa::NSTask* task = taskOf(handle);
  if (!task) return 0;
  if (stream == 0)
  {
    cocoa::NSPipe* input = task->standardInput();
    if (!input || len <= 0 || !buffer) return 0;
    return input->fileHandleForWriting()->writeData(buffer, static_cast<size_t>(len)) ? len : -1;
  }
  if (stream != 1 && stream != 2) return 0;
  cocoa::NSPipe* output = stream == 1 ? task->standardOutput() : task->standardError();
  if (!output) return 0;
  cocoa::NSFileHandle* reading = output->fileHandleForReading();
  const size_t wanted = static_cast<size_t>(len > 0 ? len : kDefaultReadBytes);
  long got;
  if (len > 0 && buffer) got = reading->readAvailableData(buffer, wanted);
  else
  {
    std::vector<char> dropped(wanted);
    got = reading->readAvailableData(dropped.data(), wanted);
  }
  return got > 0 ? static_cast<int>(got) : 0;
}

void SWELL_MakeProcessFront(HANDLE handle)
{
  cocoa::NSTask* task = taskOf(handle);
  if (!task) return;
  const pid_t pid = task->processIdentifier();
  for (int attempt = 0; attempt <= kFrontLookupRetries; ++attempt)
  {
    if (attempt > 0) Sleep(kFrontLookupIntervalMs);
    cocoa::NSAutoreleasePool pool;
    if (cocoa::NSRunningApplication* application =
            cocoa::NSRunningApplication::runningApplicationWithProcessIdentifier(pid))
    {
      application->activate();
      return;
    }
  }
}
