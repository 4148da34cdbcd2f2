#include "service_calls.h"

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <optional>
#include <unistd.h>
#include <utility>
#include <vector>

Service gAudioService("audio");
Service gMidiService("MIDI");

std::chrono::milliseconds gQuitWaitLimit{4000};
int gQuitStatus = 0;
std::chrono::milliseconds gStartWaitLimit{10000};
int gStartStatus = 1;
std::chrono::milliseconds gServiceWaitLimit{2000};

namespace
{
using Clock = ServiceThread::Clock;

struct Moment
{
  Clock::time_point start;
  std::chrono::milliseconds limit;
  WhenUnanswered whenUnanswered;
  // A moment that goes on gives each service its own wait, from its first call: one that is
  // silent does not use up the other's. One that ends the program has one wait in all.
  std::vector<std::pair<const Service*, Clock::time_point>> deadlines;

  Clock::time_point DeadlineOf(const Service& service)
  {
    if (whenUnanswered != WhenUnanswered::goOn) return start + limit;
    for (const auto& [which, deadline] : deadlines)
      if (which == &service) return deadline;
    deadlines.emplace_back(&service, Clock::now() + limit);
    return deadlines.back().second;
  }
};
// The outermost moment that lives; nested ones are part of it.
std::optional<Moment> sMoment;
int sMomentDepth = 0;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// A service thread may be inside a library that holds stdout's lock; what stdout holds goes
// out only when it can be taken at once.
void FlushStdoutIfFree()
{
  if (ftrylockfile(stdout) == 0)
  {
    fflush_unlocked(stdout);
    funlockfile(stdout);
  }
}

[[noreturn]] void EndNow(const Moment& moment)
{
  FlushStdoutIfFree();
  char line[256];
  const char* program = program_invocation_short_name;
  const int length =
      moment.whenUnanswered == WhenUnanswered::endTheStart
          ? std::snprintf(line, sizeof(line),
                          "%s: no audio stream: the audio or MIDI service did not answer within %.1f s of the start; "
                          "ending now\n",
                          program, Seconds(moment.limit))
          : std::snprintf(line, sizeof(line),
                          "%s: the shut-down waited %.1f s for the audio or MIDI service, which no longer answers; "
                          "ending now (the settings are saved)\n",
                          program, Seconds(Clock::now() - moment.start));
  if (length > 0) (void)!write(STDERR_FILENO, line, size_t(length) < sizeof(line) ? size_t(length) : sizeof(line) - 1);
  _exit(moment.whenUnanswered == WhenUnanswered::endTheStart ? gStartStatus : gQuitStatus);
}

void SaySilence(Service& service, std::chrono::milliseconds limit)
{
  if (service.silenceTold) return;
  service.silenceTold = true;
  std::fprintf(stderr, "%s: %s did not answer within %.1f s; it is not asked again until it does\n",
               program_invocation_short_name, service.Describe().c_str(), Seconds(limit));
  std::fflush(stderr);
}

std::mutex sAbandonedMutex;
std::vector<void*>& AbandonedObjects()
{
  // Never destroyed, so that what it holds stays reachable and untouched to the end.
  static auto* objects = new std::vector<void*>;
  return *objects;
}
}  // namespace

std::string Service::Describe() const
{
  std::string text = std::string("the ") + name + " service";
  if (!detail.empty()) text += " (" + detail + ")";
  return text;
}

ServiceMoment::ServiceMoment(std::chrono::milliseconds limit, WhenUnanswered whenUnanswered)
{
  if (sMomentDepth++ > 0) return;
  const Clock::time_point now = Clock::now();
  sMoment = Moment{now, limit, whenUnanswered, {}};
}

ServiceMoment::~ServiceMoment()
{
  if (--sMomentDepth > 0) return;
  sMoment.reset();
}

ServiceThread::Answer RunOnService(Service& service, std::function<void()> job)
{
  const ServiceMoment ownMoment(gServiceWaitLimit, WhenUnanswered::goOn);
  Moment& moment = *sMoment;
  const bool ends = moment.whenUnanswered != WhenUnanswered::goOn;
  const Clock::time_point deadline = moment.DeadlineOf(service);
  // The start and the shut-down wait for an earlier call to return, as long as they may.
  if (ends && !service.thread.WaitUntilAnswering(deadline)) EndNow(moment);
  const ServiceThread::Answer answer = service.thread.Run(std::move(job), deadline);
  if (answer == ServiceThread::Answer::given) return answer;
  if (ends) EndNow(moment);
  if (answer == ServiceThread::Answer::late) SaySilence(service, moment.limit);
  return answer;
}

bool ServiceAnswers(const Service& service) { return service.thread.Answering(); }

void SayServicesBack()
{
  for (Service* service : {&gAudioService, &gMidiService})
  {
    if (!service->thread.TakeReturnedLate() || !service->silenceTold) continue;
    service->silenceTold = false;
    std::fprintf(stderr, "%s: %s answers again\n", program_invocation_short_name, service->Describe().c_str());
    std::fflush(stderr);
  }
}

void Abandon(void* object)
{
  if (!object) return;
  std::lock_guard<std::mutex> lock(sAbandonedMutex);
  AbandonedObjects().push_back(object);
}
