#pragma once

#include <pthread.h>

// A recursive mutex: a thread that holds it may take it again and must release
// it as often.
class WDL_Mutex
{
public:
  WDL_Mutex()
  {
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&m_mutex, &attr);
    pthread_mutexattr_destroy(&attr);
  }
  ~WDL_Mutex() { pthread_mutex_destroy(&m_mutex); }

  WDL_Mutex(const WDL_Mutex&) = delete;
  WDL_Mutex& operator=(const WDL_Mutex&) = delete;

  void Enter() { pthread_mutex_lock(&m_mutex); }
  void Leave() { pthread_mutex_unlock(&m_mutex); }

private:
  pthread_mutex_t m_mutex;
};

// Holds a WDL_Mutex for the lifetime of a scope.
class WDL_MutexLock
{
public:
  explicit WDL_MutexLock(WDL_Mutex* mutex) : m_mutex(mutex)
  {
    if (m_mutex) m_mutex->Enter();
  }
  ~WDL_MutexLock()
  {
    if (m_mutex) m_mutex->Leave();
  }
  WDL_MutexLock(const WDL_MutexLock&) = delete;
  WDL_MutexLock& operator=(const WDL_MutexLock&) = delete;

private:
  WDL_Mutex* m_mutex;
};
