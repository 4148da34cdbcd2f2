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
// The main thread's look at the services, several times a second and before anything the
// player does reaches them: says a service that answers again, drops what they lost.
void LookAtServices();

// ---- audio ----
// Every call into the audio library is a job on the audio service (service_calls.h): a
// function that stops or replaces a stream gives up, and says so by its result, when the
// service does not answer in time.
extern std::unique_ptr<AudioDriver> gDAC;
extern std::vector<std::string> gAudioIDDevNames;  // entry k names device id k
// What the last probe found of device id k, for the Preferences' channel and rate lists.
extern std::vector<RtAudio::DeviceInfo> gAudioDeviceInfos;
extern std::vector<unsigned> gAudioInputDevs;
extern std::vector<unsigned> gAudioOutputDevs;
// The devices picked in Preferences while the application runs.
extern PickedNames gAudioInputPicks;
extern PickedNames gAudioOutputPicks;
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
// Stops (abort: at once, else after the queued output) and closes the stream, each only when
// there is one; library errors are printed. When they return true, no callback runs any more;
// false: the service did not answer, and the stream may still play.
bool StopAudioStream(bool abort);
bool CloseAudioStream();
// Whether the stream the application opened plays, as far as the library has said (its server
// went away, or an error stopped it: LookAtServices hears of that).
bool AudioStreamRuns();
// Lists the devices; false when the service did not answer, and the lists are as last found.
bool ProbeAudioIO();
const RtAudio::DeviceInfo* AudioDeviceInfo(unsigned id);  // null for an id outside the list
std::string GetAudioDeviceName(int id);  // "" for an id outside the list
int GetAudioDeviceID(const char* name);  // -1 when no device carries the name
AudioResult TryToChangeAudio();
AudioResult InitialiseAudio(unsigned inId, unsigned outId, unsigned sampleRate, unsigned ioVectorSize, unsigned channels,
                     unsigned firstInChannel, unsigned firstOutChannel);
// Where the library said the stream stopped (its server went away, or an error on its own
// thread): the stream is dropped (a driver whose server went, never called again) and one
// line says why. True when something was dropped.
bool DropLostAudio();
// Audio thread.
int AudioCallback(void* output, void* input, unsigned nFrames, double streamTime, RtAudioStreamStatus status,
                  void* userData);

// ---- MIDI ----
extern std::unique_ptr<MidiIn> gMidiIn;
extern std::unique_ptr<MidiOut> gMidiOut;
extern std::vector<std::string> gMIDIInputDevNames;   // "off", "virtual input", then the ports
extern std::vector<std::string> gMIDIOutputDevNames;  // "off", "virtual output", then the ports

// Makes each missing client on its own, the input with its callback, and gives the plug-in a
// new output; says in one line which direction has none and why (unless told not to). True
// when both exist.
bool InitialiseMidi(bool sayMissing = true);
// Lists the ports of each client there is; a missing client's list is empty.
void ProbeMidiIO();
// Where a client is missing (no MIDI service answered, or not for that client), tries again
// to make it, lists the ports and opens the port the settings name on it. True when a client
// was made.
bool RetryMidiClients(bool sayMissing = true);
// Opens the port the settings name on each client that does not have it open: a choice that
// failed, or that the service took too late to say.
void OpenMidiPortsAsSet();
// 0 "off", 1 the virtual port, k + 2 port k, -1 not found.
int GetMIDIInPortNumber(const char* name);
int GetMIDIOutPortNumber(const char* name);
bool ChooseMidiInput(const char* name);
bool ChooseMidiOutput(const char* name);
// The ports picked in Preferences while the application runs.
extern PickedNames gMidiInputPicks;
extern PickedNames gMidiOutputPicks;
// Clients whose server went away are dropped, never called again, and one line says so. True
// when one was.
bool DropLostMidi();
// Whether a client was dropped that has not been made again.
bool MidiWasDropped();
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
