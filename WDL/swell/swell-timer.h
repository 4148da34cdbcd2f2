#pragma once

// Timers on the main run loop and the posted-message queue. SetTimer, KillTimer and
// PostMessage may be called from any thread: requests from other threads wait in the
// queue, which the main thread carries out on its tick every 0.05 s (timer requests and
// messages in the order they were made; one posted during a tick waits for the next).
// Timers fire in every loop of the main thread, modal runs and menu tracking included.

#include "swell-types.h"

// The timer's id; 0 for no window and no procedure, a window with id 0, a window that
// cannot take timers, or a request from another thread that cannot be queued. Without a
// window every call makes a timer with a fresh id (not the one given). Setting a (window,
// id) again replaces that timer; 0 ms fires every millisecond. The procedure is called as
// proc(hwnd, WM_TIMER, id, GetTickCount()); without one the window hears WM_TIMER.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT ms, TIMERPROC proc);
// id -1 stops every timer of the window. 1 when a timer stopped or the request was queued.
BOOL KillTimer(HWND hwnd, UINT_PTR id);

// Drops the queued messages and timer requests of one window, or of every window for null.
void SWELL_MessageQueue_Clear(HWND hwnd);
// Starts the queue and its tick (when the application's delegate is a
// SWELL_PostMessageController); the calling thread is the main thread from then on.
void SWELL_Internal_PostMessage_Init();
// 1 when queued; 0 for a window that is being or has been destroyed, a stopped queue, or
// 1024 messages already waiting.
BOOL SWELL_Internal_PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Delivers what was queued when it began (main thread); the queue's lock is not held
// while a message is delivered.
void SWELL_MessageQueue_Flush();
void SWELL_Internal_PMQ_ClearAllMessages(HWND hwnd);
// Queues a timer request for the main thread (ms -1: stop); a request already waiting for
// the same (window, id) is updated instead. False without a live window or a running queue.
bool SWELL_pmq_settimer(HWND hwnd, UINT_PTR id, UINT ms, TIMERPROC proc);

// Turns the main run loop for ms milliseconds; the Ex form lets only one window's timers
// fire meanwhile.
void SWELL_RunRunLoop(int ms);
void SWELL_RunRunLoopEx(int ms, HWND onlyTimersOf);
// When set, only this window's timers fire.
extern HWND g_swell_only_timerhwnd;

// What the application's delegate answers for the queue: PostMessage, SWELL_MessageQueue_Clear
// and the tick reach the queue through it.
class SWELL_PostMessageController
{
public:
  virtual BOOL swellPostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
  {
    return SWELL_Internal_PostMessage(hwnd, msg, wParam, lParam);
  }
  virtual void swellPostMessageClearQ(HWND hwnd) { SWELL_Internal_PMQ_ClearAllMessages(hwnd); }
  virtual void swellPostMessageTick() { SWELL_MessageQueue_Flush(); }

protected:
  ~SWELL_PostMessageController() = default;
};
