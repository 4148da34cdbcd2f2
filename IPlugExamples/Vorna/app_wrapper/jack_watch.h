#pragma once

#include <atomic>
#include <memory>
#include <string>

// JACK tells each of its clients when the server goes away (killed, crashed or shut down), but
// the MIDI library does not pass that on, and a client of a server that went away crashes in
// its next call (closing its port, or its destructor). So the program keeps one client of its
// own on the server its JACK clients are made on, only to hear of that.
namespace jack_watch
{
// Why Join found no server, when none runs at all.
inline constexpr const char* kNoServer = "no JACK server answers";

// True once the server it was taken on went away; the client or driver holding it is then
// never called again.
using Token = std::shared_ptr<const std::atomic<bool>>;

// The watch of the running server, opened when there is none, or when the last one's server
// went away. Null when no server answers, with why set in words a musician can act on. Any
// thread; waits on the server, as any first call of a JACK client does.
Token Join(std::string* why);

// Whether a token was taken and its server went away.
inline bool Went(const Token& token) { return token && token->load(std::memory_order_acquire); }
}  // namespace jack_watch
