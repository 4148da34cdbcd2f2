#pragma once

#include "platform/foundation/file_handle.h"
#include "platform/foundation/object.h"

#include <sys/types.h>

#include <mutex>
#include <string>
#include <vector>

namespace cocoa
{
// A child process. Set it up, launch it once, then ask about it from any thread. A task
// released while its child still runs leaves the child running; the child is collected
// when it ends, so it never lingers as a zombie.
class NSTask : public NSObject
{
public:
  NSTask() = default;

  void setLaunchPath(const std::string& path) { m_launchPath = path; }
  // The arguments after the program's own name (which is the launch path).
  void setArguments(const std::vector<std::string>& arguments) { m_arguments = arguments; }
  // Pipes for the child's standard streams (retained). Without one the child shares this
  // process's stream.
  void setStandardInput(NSPipe* pipe);
  void setStandardOutput(NSPipe* pipe);
  void setStandardError(NSPipe* pipe);
  NSPipe* standardInput() const { return m_standardInput.get(); }
  NSPipe* standardOutput() const { return m_standardOutput.get(); }
  NSPipe* standardError() const { return m_standardError.get(); }

  // Starts the program. False when it could not be started (no such program, not
  // executable, no processes left) or the task was launched before. The pipe ends that
  // belong to the child are closed here, so reads see the end once the child is gone.
  bool launch();
  bool isRunning();
  pid_t processIdentifier() const { return m_pid; }
  // Once the child has ended: its exit status, or the number of the signal that ended
  // it. -1 before then.
  int terminationStatus();
  // Asks the child to end (SIGTERM). False when it was never launched or has ended.
  bool terminate();

protected:
  ~NSTask() override;

private:
  // Notes the child's end if it has come; with `wait` waits for it. Under m_lock.
  void collectChild(bool wait);

  std::string m_launchPath;
  std::vector<std::string> m_arguments;
  StrongRef<NSPipe> m_standardInput;
  StrongRef<NSPipe> m_standardOutput;
  StrongRef<NSPipe> m_standardError;

  std::mutex m_lock;
  pid_t m_pid = 0;
  bool m_ended = false;
  int m_status = -1;
};
}  // namespace cocoa
