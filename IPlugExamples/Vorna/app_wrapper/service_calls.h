#pragma once

#include "service_thread.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

// The one way the application calls the audio and MIDI libraries: every call is a job on the
// service's own thread (service_thread.h), waited for until the deadline of the moment it
// belongs to. A moment that the service outlasts says so and goes on without it (the
// Preferences dialog, a pick, Apply, OK, Cancel, a look at the services), or ends the program
// with one line that says why (the start, the shut-down). Main thread only.

struct Service
{
  explicit Service(const char* name) : name(name) {}
  ServiceThread thread;
  // "audio", "MIDI"; and the library's service when it is known ("JACK").
  const char* name;
  std::string detail;
  // Its silence has been said, and is not said again until it answers.
  bool silenceTold = false;

  // "the audio service (JACK)".
  std::string Describe() const;
};
extern Service gAudioService;
extern Service gMidiService;

// How long the shut-down may wait on the services, and the status the process then ends with:
// that of the quit (0, unless the program quits because it could not play).
extern std::chrono::milliseconds gQuitWaitLimit;
extern int gQuitStatus;
// How long the start may wait, and the status it then ends with: that of a start without sound.
extern std::chrono::milliseconds gStartWaitLimit;
extern int gStartStatus;
// How long anything else the player does may wait on a service.
extern std::chrono::milliseconds gServiceWaitLimit;

enum class WhenUnanswered
{
  goOn,         // say it once, and go on with what is known
  endTheStart,  // a program that never starts and says nothing tells no one why there is no sound
  endTheQuit,   // the settings are on disk already: every change is written when it is made
};

// While one lives, the calls share its deadline. Moments inside a moment are part of it.
class ServiceMoment
{
public:
  ServiceMoment(std::chrono::milliseconds limit, WhenUnanswered whenUnanswered);
  ~ServiceMoment();
  ServiceMoment(const ServiceMoment&) = delete;
  ServiceMoment& operator=(const ServiceMoment&) = delete;
};

// Runs the job on the service within the current moment (without one: gServiceWaitLimit from
// now, going on). A moment that ends the program waits for a service that has not answered an
// earlier call, until its deadline; one that goes on does not ask it at all.
ServiceThread::Answer RunOnService(Service& service, std::function<void()> job);
inline bool CallService(Service& service, std::function<void()> job)
{
  return RunOnService(service, std::move(job)) == ServiceThread::Answer::given;
}

// A job with a result; none when the service did not answer. The result is the job's own
// until then, so a late job writes nothing of its caller's.
template <class Result>
std::optional<Result> AskService(Service& service, std::function<Result()> job)
{
  auto result = std::make_shared<std::optional<Result>>();
  if (!CallService(service, [result, job = std::move(job)] { *result = job(); })) return std::nullopt;
  return std::move(*result);
}

// Whether the service takes calls now (it has answered every call given it).
bool ServiceAnswers(const Service& service);

// Says, once, that a silent service answers again. Main thread, on its looks.
void SayServicesBack();

// What a client or driver made on a service whose server went away: its library would reach
// the dead server's memory on any call, its destructor included. It is never used or deleted.
void Abandon(void* object);
template <class T>
void Abandon(std::unique_ptr<T> object)
{
  Abandon(static_cast<void*>(object.release()));
}

// Deletes on the service's thread what was made there (the destructor closes its client); what
// a silent service holds, or what its server went away from, is kept for good instead, unused.
template <class T>
void DisposeOn(Service& service, std::unique_ptr<T> object)
{
  if (!object) return;
  T* raw = object.release();
  const auto job = [raw] {
    if (raw->serverWent()) Abandon(raw);
    else delete raw;
  };
  if (RunOnService(service, job) == ServiceThread::Answer::refused) Abandon(raw);
}
