#include "mutex.h"

#include <gtest/gtest.h>

#include <thread>

TEST(Mutex, IsRecursiveAndExcludesOtherThreads)
{
  WDL_Mutex m;
  long counter = 0;
  auto work = [&] {
    for (int i = 0; i < 20000; ++i)
    {
      WDL_MutexLock outer(&m);
      WDL_MutexLock inner(&m);  // the same thread takes it again
      ++counter;
    }
  };
  std::thread t1(work), t2(work);
  t1.join();
  t2.join();
  EXPECT_EQ(counter, 40000);
}
