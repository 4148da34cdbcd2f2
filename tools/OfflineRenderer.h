#pragma once

#include "OutputFile.h"
#include "RenderOptions.h"
#include "StandardMidiFile.h"

#include <cstdint>
#include <string>
#include <vector>

// What a finished render measured.
struct RenderReport
{
  int64_t frames = 0;
  double peak = 0.0;  // largest absolute sample in the file
  double rms = 0.0;   // over both channels
  double renderSeconds = 0.0;  // wall-clock time of the render
};

class Vorna;

// Puts parameter values in force at once, as if the plug-in had always had
// them: none of them ramps from its old value in the first block.
void ApplyParamSettings(Vorna& plug, const std::vector<ParamSetting>& settings);

// The level the application plays the instrument at: its audio callback scales
// the plug-in's output by this, and the file carries the same level.
inline constexpr double kApplicationOutputGain = 0.25;

// The most frames of stereo 32-bit float a WAV file holds: it counts its
// bytes in 32 bits, and its header takes some of them.
inline constexpr int64_t kMaxWavFrames = (0xFFFFFFFFll - 1024) / (2 * sizeof(float));

// Frames rendered for a sequence: up to its last message plus the tail. A
// length above kMaxWavFrames (however far above) returns false with a
// sentence saying how long the piece is and how much a WAV file holds.
bool RenderLength(const SmfSequence& sequence, int sampleRate, double tailSeconds, int64_t* frames,
                  std::string* error);

// Why a render returned false.
enum class RenderFailure
{
  none,
  refused,  // before anything was written: a piece too long, an output that cannot be made
  output,   // writing or finishing the output failed; error reads "could not write PATH: <reason>"
};

// Plays the sequence through a new plug-in, as a host would: the options'
// parameter settings are in force before the first block, every channel
// message is queued before the block it falls into at its exact frame, and
// the blocks are written to the options' WAV file (see OutputFile: under a
// temporary name that takes the path's place only once all of it is written
// and synced) as they are rendered, through calls.
// Returns false with the reason in error, before anything is rendered or
// written, for a piece too long for a WAV file, for an output that is the
// options' MIDI file under any name and for one that cannot be created;
// later for a write that fails, leaving what was at the path as it was (but
// for an output written straight through, such as standard output).
bool RenderToWav(const RenderOptions& options, const SmfSequence& sequence, RenderReport* report,
                 std::string* error, RenderFailure* failure = nullptr,
                 const OutputCalls& calls = OutputCalls::System());
