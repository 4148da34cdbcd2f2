#include "platform/appkit/workspace.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>

extern char** environ;

namespace cocoa
{
namespace
{
std::vector<pid_t>& launched()
{
  static auto* pids = new std::vector<pid_t>;
  return *pids;
}
}  // namespace

NSWorkspace* NSWorkspace::sharedWorkspace()
{
  static NSWorkspace workspace;
  return &workspace;
}

bool NSWorkspace::launchProgram(const std::vector<std::string>& arguments)
{
  if (arguments.empty() || arguments[0].empty()) return false;
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  launched().push_back(pid);
  return true;
}

bool NSWorkspace::openURL(const NSString& url)
{
  if (url.empty()) return false;
  return launchProgram({"xdg-open", url.str()});
}

bool NSWorkspace::openFile(const NSString& path)
{
  return openURL(path);
}

void reapLaunchedPrograms()
{
  auto& pids = launched();
  pids.erase(std::remove_if(pids.begin(), pids.end(),
                            [](pid_t pid) {
                              int status = 0;
                              const pid_t result = waitpid(pid, &status, WNOHANG);
                              return result == pid || result < 0;
                            }),
             pids.end());
}

size_t runningLaunchedProgramCount()
{
  return launched().size();
}
}  // namespace cocoa
