// Child processes through their handles and pipes.
#include "swell-kernel.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace
{
HANDLE startShell(const char* script)
{
  const char* argv[] = {"-c", script};
  return SWELL_CreateProcessIO("/bin/sh", 2, argv, true);
}

// Reads a stream until `expected` bytes came or it ended.
std::string readStream(HANDLE process, int stream, size_t expected)
{
  std::string text;
  char buffer[64];
  while (text.size() < expected)
  {
    const int got = SWELL_ReadWriteProcessIO(process, stream, buffer, sizeof buffer);
    if (got <= 0) break;
    text.append(buffer, static_cast<size_t>(got));
  }
  return text;
}

// Processes, zombies included, whose parent is this one.
int countChildren()
{
  int count = 0;
  DIR* proc = opendir("/proc");
  while (dirent* entry = proc ? readdir(proc) : nullptr)
  {
    std::ifstream stat(std::string("/proc/") + entry->d_name + "/stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    // pid (name) state ppid ...: the name may hold spaces, so read after its ')'.
    const size_t close = line.rfind(')');
    char state = 0;
    int parent = 0;
    if (close != std::string::npos && std::sscanf(line.c_str() + close + 1, " %c %d", &state, &parent) == 2 &&
        parent == getpid())
      ++count;
  }
  if (proc) closedir(proc);
  return count;
}
}  // namespace

TEST(Processes, ChildEchoesThroughItsPipesAndReportsItsExit)
{
  const char* argv[] = {nullptr};  // a null argument passes as an empty string
  HANDLE cat = SWELL_CreateProcessIO("/bin/cat", 0, argv, true);
  ASSERT_NE(cat, nullptr);
  EXPECT_EQ(SWELL_GetProcessExitCode(cat), -3);
  EXPECT_EQ(WaitForSingleObject(cat, 0), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(cat, 30), WAIT_TIMEOUT);

  char line[] = "a line and\0 a zero\n";
  EXPECT_EQ(SWELL_ReadWriteProcessIO(cat, 0, line, sizeof line - 1), int(sizeof line - 1));
  EXPECT_EQ(readStream(cat, 1, sizeof line - 1), std::string(line, sizeof line - 1));
  EXPECT_EQ(SWELL_ReadWriteProcessIO(cat, 0, line, 0), 0);
  EXPECT_EQ(SWELL_ReadWriteProcessIO(cat, 3, line, 4), 0);

  EXPECT_EQ(SWELL_TerminateProcess(cat), 0);
  EXPECT_EQ(WaitForSingleObject(cat, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(SWELL_GetProcessExitCode(cat), SIGTERM);
  EXPECT_EQ(SWELL_TerminateProcess(cat), -1) << "nothing left to end";
  EXPECT_EQ(CloseHandle(cat), 1);

  HANDLE both = startShell("printf out; printf err >&2; exit 5");
  ASSERT_NE(both, nullptr);
  EXPECT_EQ(readStream(both, 1, 100), "out");
  EXPECT_EQ(readStream(both, 2, 100), "err");
  EXPECT_EQ(WaitForSingleObject(both, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(SWELL_GetProcessExitCode(both), 5);
  CloseHandle(both);
}

TEST(Processes, ChildThatEndsEarlyLeavesFailuresNotSignals)
{
  HANDLE quitter = startShell("exit 3");
  ASSERT_NE(quitter, nullptr);
  EXPECT_EQ(WaitForSingleObject(quitter, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(SWELL_GetProcessExitCode(quitter), 3);
  // Its input has no reader any more: an error, and the program lives on.
  char bytes[4096] = {};
  EXPECT_EQ(SWELL_ReadWriteProcessIO(quitter, 0, bytes, sizeof bytes), -1);
  EXPECT_EQ(SWELL_ReadWriteProcessIO(quitter, 1, bytes, sizeof bytes), 0);
  EXPECT_EQ(SWELL_ReadWriteProcessIO(quitter, 2, nullptr, 0), 0);
  CloseHandle(quitter);

  // Without redirection there is nothing to read or write.
  HANDLE plain = SWELL_CreateProcess("/bin/true", 0, nullptr);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(WaitForSingleObject(plain, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(SWELL_GetProcessExitCode(plain), 0);
  EXPECT_EQ(SWELL_ReadWriteProcessIO(plain, 0, bytes, 4), 0);
  EXPECT_EQ(SWELL_ReadWriteProcessIO(plain, 1, bytes, 4), 0);
  CloseHandle(plain);

  EXPECT_EQ(SWELL_CreateProcessIO("/no/such/program", 0, nullptr, true), nullptr);
  EXPECT_EQ(SWELL_CreateProcess(nullptr, 0, nullptr), nullptr);
  EXPECT_EQ(SWELL_GetProcessExitCode(nullptr), -1);
  EXPECT_EQ(SWELL_TerminateProcess(nullptr), -1);
  HANDLE event = CreateEvent(nullptr, false, false, nullptr);
  EXPECT_EQ(SWELL_GetProcessExitCode(event), -1) << "an event is no process";
  EXPECT_EQ(SWELL_ReadWriteProcessIO(event, 1, bytes, 4), 0);
  CloseHandle(event);
}

TEST(Processes, ClosingARunningChildLetsItFinishAlone)
{
  const int before = countChildren();
  HANDLE reader = startShell("read line; exit 0");
  ASSERT_NE(reader, nullptr);
  EXPECT_EQ(countChildren(), before + 1);
  // Closing drops our pipe ends: the child sees the end of its input and exits, and is
  // collected without anyone waiting for it, so it does not linger as a zombie.
  EXPECT_EQ(CloseHandle(reader), 1);
  for (int i = 0; i < 500 && countChildren() > before; ++i) Sleep(10);
  EXPECT_EQ(countChildren(), before);
}
