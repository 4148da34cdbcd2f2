#pragma once

// The standalone application around one instance of the synthesizer: its
// settings, life cycle, audio stream and MIDI ports. Everything here runs on
// the main thread except the two callbacks, which say so.

#include "app_state.h"
#include "audio_driver.h"
#include "audio_result.h"
#include "midi_ports.h"
#include "swell-app.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class IPlugStandalone;

constexpr const char* kProductWord = "Vorna";
constexpr size_t kINIPathSize = 200;

// ---- settings and life cycle ----
extern AppState gState;        // the settings in force
extern AppState gTempState;    // the settings when the preferences dialog opened
extern AppState gActiveState;  // the settings the running stream was opened with
// The settings folder, then the full path of settings.ini; empty when no folder could be named.
extern char gINIPath[kINIPathSize];
extern IPlugStandalone* gPluginInstance;

// The entry the application shell calls (SWELLAPP_* codes, swell-app.h).
intptr_t SWELLAppMain(int msg, intptr_t wParam, intptr_t lParam);
// Reads settings.ini into gState (after the defaults) and writes it back; false
// when the settings folder cannot be made, and then nothing is read or written.
bool LoadSettings();
// Writes every key of gState; false when the file could not be written.
bool UpdateINI();
// Whether gINIPath names the settings file (it names only the folder, or nothing, when the
// folder could not be made).
bool SettingsFileIsNamed();
// Start-up: audio interface, devices, MIDI clients and ports, the plug-in, the
// stream. The result is whether the stream runs, and why not; without it the
// application runs on without sound.
AudioResult Init();
// Whether the launch opened the stream; the launch itself has said why not, on stderr.
bool LaunchedWithSound();
// The one line on stderr that says why no stream plays.
void ReportNoAudioStream(const AudioResult& audio);
// Shut-down, in order; each step only for what exists.
void Cleanup();

// ---- audio ----
extern std::unique_ptr<AudioDriver> gDAC;
extern std::vector<std::string> gAudioIDDevNames;  // entry k names device id k
extern std::vector<unsigned> gAudioInputDevs;
extern std::vector<unsigned> gAudioOutputDevs;
extern unsigned gIOVS;
extern int gSigVS;
// State of the audio callback; the main thread touches it only while no stream runs.
extern unsigned gVecElapsed;
extern double gFadeMult;
// Set by the audio thread once its callbacks reach the plug-in, cleared by the
// main thread when the stream stops: MIDI is taken only while it is set.
extern std::atomic<bool> gAudioProcessing;

constexpr unsigned kSilentCallbacks = 51;
constexpr double kOutputGain = 0.25;
constexpr int kMaxVectorSize = 8192;

AudioResult TryToChangeAudioDriverType();
// Stops (abort: at once, else after the queued output) and closes the stream, each
// only when there is one; library errors are printed. No callback runs afterwards.
void StopAudioStream(bool abort);
void CloseAudioStream();
void ProbeAudioIO();
std::string GetAudioDeviceName(int id);  // "" for an id outside the list
int GetAudioDeviceID(const char* name);  // -1 when no device carries the name
AudioResult TryToChangeAudio();
AudioResult InitialiseAudio(unsigned inId, unsigned outId, unsigned sampleRate, unsigned ioVectorSize, unsigned channels,
                     unsigned firstInChannel, unsigned firstOutChannel);
// Audio thread.
int AudioCallback(void* output, void* input, unsigned nFrames, double streamTime, RtAudioStreamStatus status,
                  void* userData);

// ---- MIDI ----
extern std::unique_ptr<MidiIn> gMidiIn;
extern std::unique_ptr<MidiOut> gMidiOut;
extern std::vector<std::string> gMIDIInputDevNames;   // "off", "virtual input", then the ports
extern std::vector<std::string> gMIDIOutputDevNames;  // "off", "virtual output", then the ports

// Makes each missing client on its own, the input with its callback, and gives the plug-in a
// new output; says in one line which direction has none and why. True when both exist.
bool InitialiseMidi();
// Lists the ports of each client there is; a missing client's list is empty.
void ProbeMidiIO();
// Where a client is missing (no MIDI service answered, or not for that client), tries again
// to make it, lists the ports and opens the port the settings name on it. True when a client
// was made.
bool RetryMidiClients();
// 0 "off", 1 the virtual port, k + 2 port k, -1 not found.
int GetMIDIInPortNumber(const char* name);
int GetMIDIOutPortNumber(const char* name);
bool ChooseMidiInput(const char* name);
bool ChooseMidiOutput(const char* name);
// The MIDI service's thread.
void MIDICallback(double deltaTime, std::vector<unsigned char>* message, void* userData);

// ---- what the application is built on; tests put in scripted ones ----
struct HostBackends
{
  // Null when the driver is not in the audio library this program was built with.
  std::unique_ptr<AudioDriver> (*makeAudioDriver)(int driver);
  std::unique_ptr<MidiIn> (*makeMidiIn)(const std::string& clientName);
  std::unique_ptr<MidiOut> (*makeMidiOut)(const std::string& clientName);
};
extern HostBackends gHostBackends;
