#include "jack_watch.h"

#include <jack/jack.h>

#include <mutex>
#include <vector>

namespace jack_watch
{
namespace
{
std::mutex sMutex;
jack_client_t* sClient = nullptr;
std::shared_ptr<std::atomic<bool>> sGone;

// JACK's own thread of the watch client. A server that is still there may also drop a client
// it takes for a zombie (one that stopped answering while the machine was overloaded): that
// is the watch's end, not the server's, and the next Join opens another watch.
std::atomic<bool> sWatchDropped{false};
void OnShutdown(jack_status_t code, const char*, void* gone)
{
  if (code & JackClientZombie) sWatchDropped.store(true, std::memory_order_release);
  else static_cast<std::atomic<bool>*>(gone)->store(true, std::memory_order_release);
}

// Every flag a watch client was given lives to the end: a client of a server that went away
// is never closed (that would reach the dead server's memory), and may still hold it.
void KeepForGood(const std::shared_ptr<std::atomic<bool>>& gone)
{
  static auto* kept = new std::vector<std::shared_ptr<std::atomic<bool>>>;
  kept->push_back(gone);
}

std::string WhyRefused(jack_status_t status)
{
  if (status & JackServerFailed) return kNoServer;
  if (status & JackVersionError) return "the JACK server speaks another protocol version";
  if (status & JackShmFailure) return "the JACK server's shared memory cannot be reached";
  if (status & JackNameNotUnique) return "the JACK server has a client of that name already";
  if (status & JackServerError) return "the JACK server could not make the client";
  return "the JACK server refused the client";
}
}  // namespace

Token Join(std::string* why)
{
  std::lock_guard<std::mutex> lock(sMutex);
  // A dropped watch hears nothing more of the server; the clients on it keep its flag, which
  // the new watch raises when the server goes.
  if (sClient && !sGone->load(std::memory_order_acquire) && !sWatchDropped.exchange(false)) return sGone;
  jack_status_t status{};
  jack_client_t* client = jack_client_open("Vorna watch", JackNoStartServer, &status);
  if (!client)
  {
    *why = WhyRefused(status);
    return nullptr;
  }
  // The flag of the server's clients stays the one they were given while the same server runs.
  std::shared_ptr<std::atomic<bool>> gone = sClient && !sGone->load(std::memory_order_acquire)
                                                 ? sGone
                                                 : std::make_shared<std::atomic<bool>>(false);
  KeepForGood(gone);
  jack_on_info_shutdown(client, OnShutdown, gone.get());
  sClient = client;
  sGone = gone;
  return gone;
}
}  // namespace jack_watch
