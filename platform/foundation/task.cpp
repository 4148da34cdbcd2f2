#include "platform/foundation/task.h"

#include "platform/foundation/thread.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

extern char** environ;

namespace cocoa
{
void NSTask::setStandardInput(NSPipe* pipe)
{
  m_standardInput = StrongRef<NSPipe>(pipe);
}

void NSTask::setStandardOutput(NSPipe* pipe)
{
  m_standardOutput = StrongRef<NSPipe>(pipe);
}

void NSTask::setStandardError(NSPipe* pipe)
{
  m_standardError = StrongRef<NSPipe>(pipe);
}

bool NSTask::launch()
{
  std::lock_guard<std::mutex> hold(m_lock);
  if (m_pid > 0 || m_launchPath.empty()) return false;

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(m_launchPath.c_str()));
  for (const std::string& argument : m_arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  // The pipes are close-on-exec; the child keeps only the ends moved onto its streams.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (m_standardInput)
    posix_spawn_file_actions_adddup2(&actions, m_standardInput->fileHandleForReading()->fileDescriptor(), 0);
  if (m_standardOutput)
    posix_spawn_file_actions_adddup2(&actions, m_standardOutput->fileHandleForWriting()->fileDescriptor(), 1);
  if (m_standardError)
    posix_spawn_file_actions_adddup2(&actions, m_standardError->fileHandleForWriting()->fileDescriptor(), 2);
  pid_t pid = 0;
  const int failure = posix_spawn(&pid, m_launchPath.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failure != 0) return false;

  m_pid = pid;
  if (m_standardInput) m_standardInput->fileHandleForReading()->closeFile();
  if (m_standardOutput) m_standardOutput->fileHandleForWriting()->closeFile();
  if (m_standardError) m_standardError->fileHandleForWriting()->closeFile();
  return true;
}

void NSTask::collectChild(bool wait)
{
  if (m_pid <= 0 || m_ended) return;
  int status = 0;
  pid_t result;
  do result = waitpid(m_pid, &status, wait ? 0 : WNOHANG);
  while (result < 0 && errno == EINTR);
  if (result == 0) return;
  m_ended = true;
  if (result < 0) return;  // someone else collected it: the status is lost
  if (WIFEXITED(status)) m_status = WEXITSTATUS(status);
  else if (WIFSIGNALED(status)) m_status = WTERMSIG(status);
}

bool NSTask::isRunning()
{
  std::lock_guard<std::mutex> hold(m_lock);
  collectChild(false);
  return m_pid > 0 && !m_ended;
}

int NSTask::terminationStatus()
{
  std::lock_guard<std::mutex> hold(m_lock);
  collectChild(false);
  return m_ended ? m_status : -1;
}

bool NSTask::terminate()
{
  std::lock_guard<std::mutex> hold(m_lock);
  collectChild(false);
  // Until it is collected the child's process number cannot pass to another process.
  return m_pid > 0 && !m_ended && kill(m_pid, SIGTERM) == 0;
}

NSTask::~NSTask()
{
  std::lock_guard<std::mutex> hold(m_lock);
  collectChild(false);
  if (m_pid <= 0 || m_ended) return;
  const pid_t pid = m_pid;
  // Should no thread start, the child stays a zombie until this process ends.
  NSThread::detachNewThreadWithBlock([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
  });
}
}  // namespace cocoa
