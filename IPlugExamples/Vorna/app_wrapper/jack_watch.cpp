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

// JACK's own thread of the watch client.
void OnShutdown(void* gone) { static_cast<std::atomic<bool>*>(gone)->store(true, std::memory_order_release); }

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
  if (sClient && !sGone->load(std::memory_order_acquire)) return sGone;
  jack_status_t status{};
  jack_client_t* client = jack_client_open("Vorna watch", JackNoStartServer, &status);
  if (!client)
  {
    *why = WhyRefused(status);
    return nullptr;
  }
  auto gone = std::make_shared<std::atomic<bool>>(false);
  KeepForGood(gone);
  jack_on_shutdown(client, OnShutdown, gone.get());
  sClient = client;
  sGone = gone;
  return gone;
}
}  // namespace jack_watch
