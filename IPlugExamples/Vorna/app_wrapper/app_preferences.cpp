#include "app_preferences.h"

#include "app_main.h"
#include "app_resources.h"
#include "library_errors.h"
#include "service_calls.h"
#include "system_setup.h"
#include "swell-ctl.h"
#include "swell-dlg.h"
#include "swell-wnd.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{
// After a settings group's title while its service does not answer.
constexpr const char* kSilentMark = " (not answering)";

// ---- the combo boxes, by id

void Empty(HWND hwnd, int id) { SendMessage(GetDlgItem(hwnd, id), CB_RESETCONTENT, 0, 0); }

void Add(HWND hwnd, int id, const char* text)
{
  SendMessage(GetDlgItem(hwnd, id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

// -1 clears the selection.
void Select(HWND hwnd, int id, int entry) { SendMessage(GetDlgItem(hwnd, id), CB_SETCURSEL, WPARAM(entry), 0); }

int Selection(HWND hwnd, int id) { return int(SendMessage(GetDlgItem(hwnd, id), CB_GETCURSEL, 0, 0)); }

// The entry whose text is exactly this, or -1.
int Find(HWND hwnd, int id, const char* text)
{
  return int(SendMessage(GetDlgItem(hwnd, id), CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text)));
}

// The selected entry's text, cut to a settings field; false when nothing is selected.
bool SelectedText(HWND hwnd, int id, char (&text)[kNameSize])
{
  text[0] = '\0';
  const int entry = Selection(hwnd, id);
  return entry >= 0 && SWELL_CB_GetItemText(hwnd, id, entry, text, int(sizeof(text))) > 0;
}

void SelectExact(HWND hwnd, int id, const char* text) { Select(hwnd, id, Find(hwnd, id, text)); }

void AddNumber(HWND hwnd, int id, unsigned number)
{
  char text[16];
  std::snprintf(text, sizeof(text), "%u", number);
  Add(hwnd, id, text);
}

// ---- drivers and devices

// The drivers the dialog offers, by entry: the compiled ones in the driver table's order.
std::vector<int> OfferedDrivers()
{
  std::vector<int> drivers;
  for (int d = 0; d < kNumAudioDrivers; ++d)
    if (IsAudioDriverCompiled(d)) drivers.push_back(d);
  return drivers;
}

// Fills a device list and selects the stored device, or the first; the device selected, or
// false for an empty list.
bool FillDeviceList(HWND hwnd, int id, const std::vector<unsigned>& devices, const char* stored,
                    const PickedNames& picks, unsigned* chosen)
{
  Empty(hwnd, id);
  if (devices.empty()) return false;
  std::vector<std::string> names;
  for (unsigned device : devices) names.push_back(GetAudioDeviceName(int(device)));
  for (const std::string& name : names) Add(hwnd, id, name.c_str());
  // The stream was opened by the same rule, so the list shows the device that plays.
  const auto picked = std::find(devices.begin(), devices.end(), unsigned(picks.Find(gAudioIDDevNames, stored)));
  int entry = picked != devices.end() ? int(picked - devices.begin()) : FindStoredName(names, stored);
  if (entry < 0) entry = 0;
  Select(hwnd, id, entry);
  *chosen = devices[size_t(entry)];
  return true;
}

// The lists of a service that does not answer show what it last gave, and say so.
void MarkSilentServices(HWND hwnd)
{
  struct Group
  {
    const char* title;
    const Service* service;
  };
  static const Group groups[] = {{"Audio Settings", &gAudioService}, {"MIDI Settings", &gMidiService}};
  EnumChildWindows(
      hwnd,
      [](HWND child, LPARAM) -> BOOL {
        char text[64] = "";
        GetDlgItemText(child, 0, text, int(sizeof(text)));
        for (const Group& group : groups)
        {
          if (std::strncmp(text, group.title, std::strlen(group.title)) != 0) continue;
          const std::string title = std::string(group.title) + (ServiceAnswers(*group.service) ? "" : kSilentMark);
          if (title != text) SetDlgItemText(child, 0, title.c_str());
        }
        return TRUE;
      },
      0);
}

// What the player does in the dialog that reaches the services: one moment's wait on each,
// what they said since looked at first, and the lists of a silent one marked after.
template <class Act>
void AsPlayerMoment(HWND hwnd, Act act)
{
  const ServiceMoment moment(gServiceWaitLimit, WhenUnanswered::goOn);
  LookAtServices();
  act();
  if (IsWindow(hwnd)) MarkSilentServices(hwnd);
}

// The left channel can be at most N - 1: the right one is always the next.
void FillChannelPair(HWND hwnd, int leftId, int rightId, unsigned channels, unsigned left, unsigned right)
{
  Empty(hwnd, leftId);
  Empty(hwnd, rightId);
  for (unsigned c = 1; c < channels; ++c)
  {
    AddNumber(hwnd, leftId, c);
    AddNumber(hwnd, rightId, c);
  }
  if (channels > 0) AddNumber(hwnd, rightId, channels);
  Select(hwnd, leftId, int(left) - 1);
  Select(hwnd, rightId, int(right) - 1);
}

void SelectDriverInUse(HWND hwnd)
{
  const std::vector<int> drivers = OfferedDrivers();
  const auto entry = std::find(drivers.begin(), drivers.end(), int(gState.driver));
  Select(hwnd, IDC_COMBO_AUDIO_DRIVER, entry == drivers.end() ? -1 : int(entry - drivers.begin()));
}

void ChooseDriver(HWND hwnd, int entry)
{
  const std::vector<int> drivers = OfferedDrivers();
  if (entry < 0 || size_t(entry) >= drivers.size() || drivers[size_t(entry)] == gState.driver) return;
  // A stream the silent service holds may still call back: no other driver may start one.
  if (!ServiceAnswers(gAudioService))
  {
    std::fprintf(stderr, "%s: %s does not answer; the driver stays %s\n", program_invocation_short_name,
                 gAudioService.Describe().c_str(), kAudioDrivers[gState.driver].name);
    std::fflush(stderr);
    SelectDriverInUse(hwnd);
    return;
  }
  gState.driver = uint16_t(drivers[size_t(entry)]);
  TryToChangeAudioDriverType();
  ProbeAudioIO();
  // A driver without devices of a kind keeps the name a fresh setting has for it.
  const char* fallback = kAudioDrivers[gState.driver].defaultDevice;
  KeepName(gState.inDev, gAudioInputDevs.empty() ? fallback : GetAudioDeviceName(int(gAudioInputDevs[0])));
  KeepName(gState.outDev, gAudioOutputDevs.empty() ? fallback : GetAudioDeviceName(int(gAudioOutputDevs[0])));
  // Channels of the old driver's devices mean nothing to the new ones.
  gState.inChanL = gState.outChanL = 1;
  gState.inChanR = gState.outChanR = 2;
  PopulateAudioDialogs(hwnd);
}

void ChooseDevice(HWND hwnd, int id, const std::vector<unsigned>& devices, PickedNames* picks,
                  char (&device)[kNameSize], uint16_t* left, uint16_t* right)
{
  const int entry = Selection(hwnd, id);
  if (entry < 0 || size_t(entry) >= devices.size()) return;
  // The whole name as listed: the entry picked is the one opened, however it is kept.
  const unsigned picked = devices[size_t(entry)];
  picks->Remember(gAudioIDDevNames, picked);
  KeepName(device, GetAudioDeviceName(int(picked)));
  *left = 1;
  *right = 2;
  PopulateDriverSpecificControls(hwnd);
}

// A list without selection (cleared, or a stored size it does not offer) stands for the
// stored size.
void ChooseVectorSizes(HWND hwnd)
{
  char iovs[kNameSize];
  char sigvs[kNameSize];
  if (!SelectedText(hwnd, IDC_COMBO_AUDIO_IOVS, iovs)) CopyName(iovs, gState.iovs);
  if (!SelectedText(hwnd, IDC_COMBO_AUDIO_SIGVS, sigvs)) CopyName(sigvs, gState.sigvs);
  CopyName(gState.iovs, iovs);
  if (std::atoi(iovs) < std::atoi(sigvs))
  {
    CopyName(gState.sigvs, kSIGVSOptions[0]);
    Select(hwnd, IDC_COMBO_AUDIO_SIGVS, -1);
  }
  else
  {
    CopyName(gState.sigvs, sigvs);
  }
}

// The right channel follows the left: picking one sets both, and the right list snaps back.
void ChooseLeftChannel(HWND hwnd, int leftId, int rightId, uint16_t* left, uint16_t* right)
{
  const int entry = Selection(hwnd, leftId);
  if (entry < 0) return;
  *left = uint16_t(entry + 1);
  *right = uint16_t(entry + 2);
  Select(hwnd, rightId, *right - 1);
}

void ChooseMidiPort(HWND hwnd, int id, const std::vector<std::string>& names, PickedNames* picks,
                    char (&stored)[kNameSize], bool (*choose)(const char*))
{
  const int entry = Selection(hwnd, id);
  if (entry < 0 || size_t(entry) >= names.size()) return;
  picks->Remember(names, size_t(entry));
  KeepName(stored, names[size_t(entry)]);
  AsPlayerMoment(hwnd, [&] {
    // A pick tries again to make a client that is missing, whose list then fills.
    if (RetryMidiClients()) PopulateMidiDialogs(hwnd);
    choose(stored);
  });
}

void ChooseMidiChannel(HWND hwnd, int id, uint16_t& channel)
{
  const int entry = Selection(hwnd, id);
  if (entry >= 0) WriteSharedField(channel, uint16_t(entry));
}

void FillMidiPortList(HWND hwnd, int id, const std::vector<std::string>& names, const PickedNames& picks,
                      char (&stored)[kNameSize])
{
  Empty(hwnd, id);
  for (const std::string& name : names) Add(hwnd, id, name.c_str());
  // A name cut by its field still stands for the port the start opened by it.
  int entry = picks.Find(names, stored);
  // What a silent service last listed may lack a port it has now: the name stays.
  if (entry < 0 && !ServiceAnswers(gMidiService))
  {
    Select(hwnd, id, -1);
    return;
  }
  if (entry < 0)
  {
    CopyName(stored, "off");
    UpdateINI();
    entry = 0;
  }
  Select(hwnd, id, entry);
}

void FillMidiChannelList(HWND hwnd, int id, unsigned channel)
{
  Empty(hwnd, id);
  Add(hwnd, id, "all");
  for (unsigned c = 1; c <= 16; ++c) AddNumber(hwnd, id, c);
  Select(hwnd, id, int(channel));
}

void StartSystemSetup(HWND hwnd)
{
  if (!StartSystemSetupProgram()) MessageBox(hwnd, kNoSystemSetupText, "Vorna", MB_OK);
}

// A driver dropped with its server is made again, and its devices listed.
AudioResult MakeDriverIfDropped()
{
  if (gDAC) return AudioResult::Ok();
  const AudioResult driver = TryToChangeAudioDriverType();
  ProbeAudioIO();
  return driver;
}

// Every reopen that leaves no stream says why, as the start does.
void ReopenAudio(AudioResult driver = AudioResult::Ok())
{
  if (driver) driver = MakeDriverIfDropped();
  const AudioResult audio = driver ? TryToChangeAudio() : driver;
  if (!audio) ReportNoAudioStream(audio);
}

void Cancel(HWND hwnd)
{
  EndDialog(hwnd, IDCANCEL);
  if (AudioSettingsInStateAreEqual(&gState, &gTempState) && MIDISettingsInStateAreEqual(&gState, &gTempState)) return;
  const bool portsChanged = std::strcmp(gState.midiInDev, gTempState.midiInDev) != 0 ||
                            std::strcmp(gState.midiOutDev, gTempState.midiOutDev) != 0;
  // The callbacks go on reading the shared fields while the record is restored.
  CopySettings(&gState, gTempState);
  // The ports picked in the dialog were opened at once: what plays follows the settings again.
  if (portsChanged)
  {
    ChooseMidiInput(gState.midiInDev);
    ChooseMidiOutput(gState.midiOutDev);
  }
  const AudioResult driver = TryToChangeAudioDriverType();
  ProbeAudioIO();
  ReopenAudio(driver);
}
}  // namespace

void PopulateAudioInputList(HWND hwnd, const RtAudio::DeviceInfo* info)
{
  FillChannelPair(hwnd, IDC_COMBO_AUDIO_IN_L, IDC_COMBO_AUDIO_IN_R, info ? info->inputChannels : 0, gState.inChanL,
                  gState.inChanR);
}

void PopulateAudioOutputList(HWND hwnd, const RtAudio::DeviceInfo* info)
{
  FillChannelPair(hwnd, IDC_COMBO_AUDIO_OUT_L, IDC_COMBO_AUDIO_OUT_R, info ? info->outputChannels : 0,
                  gState.outChanL, gState.outChanR);
}

void PopulateSampleRateList(HWND hwnd, const RtAudio::DeviceInfo* in, const RtAudio::DeviceInfo* out)
{
  Empty(hwnd, IDC_COMBO_AUDIO_SR);
  if (!in || !out) return;
  for (unsigned rate : in->sampleRates)
    for (unsigned other : out->sampleRates)
      if (rate == other)
      {
        AddNumber(hwnd, IDC_COMBO_AUDIO_SR, rate);
        break;
      }
  SelectExact(hwnd, IDC_COMBO_AUDIO_SR, gState.sr);
}

void PopulateDriverSpecificControls(HWND hwnd)
{
  unsigned inId = 0;
  unsigned outId = 0;
  // Nothing is looked up in an empty list: its channels and the rates stay empty.
  // The devices as the last probe found them, which the dialog's opening and a driver's pick make.
  const RtAudio::DeviceInfo* in =
      FillDeviceList(hwnd, IDC_COMBO_AUDIO_IN_DEV, gAudioInputDevs, gState.inDev, gAudioInputPicks, &inId)
          ? AudioDeviceInfo(inId)
          : nullptr;
  const RtAudio::DeviceInfo* out =
      FillDeviceList(hwnd, IDC_COMBO_AUDIO_OUT_DEV, gAudioOutputDevs, gState.outDev, gAudioOutputPicks, &outId)
          ? AudioDeviceInfo(outId)
          : nullptr;
  PopulateAudioInputList(hwnd, in);
  PopulateAudioOutputList(hwnd, out);
  PopulateSampleRateList(hwnd, in, out);
}

void PopulateAudioDialogs(HWND hwnd)
{
  PopulateDriverSpecificControls(hwnd);
  SendMessage(GetDlgItem(hwnd, IDC_CB_MONO_INPUT), BM_SETCHECK, gState.monoInput ? BST_CHECKED : BST_UNCHECKED, 0);
  Empty(hwnd, IDC_COMBO_AUDIO_IOVS);
  for (const char* option : kIOVSOptions) Add(hwnd, IDC_COMBO_AUDIO_IOVS, option);
  SelectExact(hwnd, IDC_COMBO_AUDIO_IOVS, gState.iovs);
  Empty(hwnd, IDC_COMBO_AUDIO_SIGVS);
  for (const char* option : kSIGVSOptions) Add(hwnd, IDC_COMBO_AUDIO_SIGVS, option);
  SelectExact(hwnd, IDC_COMBO_AUDIO_SIGVS, gState.sigvs);
}

void PopulateMidiDialogs(HWND hwnd)
{
  for (int id : {IDC_COMBO_MIDI_IN_DEV, IDC_COMBO_MIDI_OUT_DEV, IDC_COMBO_MIDI_IN_CHAN, IDC_COMBO_MIDI_OUT_CHAN})
    Empty(hwnd, id);
  // A direction without a client has nothing to list, and its stored port name stays.
  if (gMidiIn)
  {
    FillMidiPortList(hwnd, IDC_COMBO_MIDI_IN_DEV, gMIDIInputDevNames, gMidiInputPicks, gState.midiInDev);
    FillMidiChannelList(hwnd, IDC_COMBO_MIDI_IN_CHAN, gState.midiInChan);
  }
  if (gMidiOut)
  {
    FillMidiPortList(hwnd, IDC_COMBO_MIDI_OUT_DEV, gMIDIOutputDevNames, gMidiOutputPicks, gState.midiOutDev);
    FillMidiChannelList(hwnd, IDC_COMBO_MIDI_OUT_CHAN, gState.midiOutChan);
  }
}

void PopulatePreferencesDialog(HWND hwnd)
{
  Empty(hwnd, IDC_COMBO_AUDIO_DRIVER);
  int selected = -1;
  const std::vector<int> drivers = OfferedDrivers();
  for (size_t entry = 0; entry < drivers.size(); ++entry)
  {
    Add(hwnd, IDC_COMBO_AUDIO_DRIVER, kAudioDrivers[drivers[entry]].name);
    if (drivers[entry] == gState.driver) selected = int(entry);
  }
  Select(hwnd, IDC_COMBO_AUDIO_DRIVER, selected);
  PopulateAudioDialogs(hwnd);
  PopulateMidiDialogs(hwnd);
}

LRESULT PreferencesDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM)
{
  if (msg == WM_INITDIALOG)
  {
    AsPlayerMoment(hwnd, [hwnd] {
      // A MIDI service started since (JACK after the application) gives its clients now, and
      // the devices are listed as they are now: a server started late, or one that came back.
      RetryMidiClients();
      OpenMidiPortsAsSet();
      if (gDAC) ProbeAudioIO();
      else MakeDriverIfDropped();
      PopulatePreferencesDialog(hwnd);
    });
    gTempState = gState;
    return 1;
  }
  if (msg != WM_COMMAND) return 0;

  const int id = int(wParam & 0xFFFF);
  const bool selectionChanged = ((wParam >> 16) & 0xFFFF) == CBN_SELCHANGE;
  switch (id)
  {
    case IDC_COMBO_AUDIO_DRIVER:
      if (selectionChanged) AsPlayerMoment(hwnd, [hwnd, id] { ChooseDriver(hwnd, Selection(hwnd, id)); });
      return 1;
    case IDC_COMBO_AUDIO_IN_DEV:
      if (selectionChanged)
        ChooseDevice(hwnd, id, gAudioInputDevs, &gAudioInputPicks, gState.inDev, &gState.inChanL, &gState.inChanR);
      return 1;
    case IDC_COMBO_AUDIO_OUT_DEV:
      if (selectionChanged)
        ChooseDevice(hwnd, id, gAudioOutputDevs, &gAudioOutputPicks, gState.outDev, &gState.outChanL,
                     &gState.outChanR);
      return 1;
    case IDC_COMBO_AUDIO_IOVS:
    case IDC_COMBO_AUDIO_SIGVS:
      if (selectionChanged) ChooseVectorSizes(hwnd);
      return 1;
    case IDC_COMBO_AUDIO_SR:
      if (selectionChanged)
      {
        char text[kNameSize];
        if (SelectedText(hwnd, id, text)) CopyName(gState.sr, text);
      }
      return 1;
    case IDC_COMBO_AUDIO_IN_L:
      if (selectionChanged) ChooseLeftChannel(hwnd, id, IDC_COMBO_AUDIO_IN_R, &gState.inChanL, &gState.inChanR);
      return 1;
    case IDC_COMBO_AUDIO_IN_R:
      if (selectionChanged) Select(hwnd, id, gState.inChanR - 1);
      return 1;
    case IDC_COMBO_AUDIO_OUT_L:
      if (selectionChanged) ChooseLeftChannel(hwnd, id, IDC_COMBO_AUDIO_OUT_R, &gState.outChanL, &gState.outChanR);
      return 1;
    case IDC_COMBO_AUDIO_OUT_R:
      if (selectionChanged) Select(hwnd, id, gState.outChanR - 1);
      return 1;
    case IDC_COMBO_MIDI_IN_DEV:
      if (selectionChanged)
        ChooseMidiPort(hwnd, id, gMIDIInputDevNames, &gMidiInputPicks, gState.midiInDev, ChooseMidiInput);
      return 1;
    case IDC_COMBO_MIDI_OUT_DEV:
      if (selectionChanged)
        ChooseMidiPort(hwnd, id, gMIDIOutputDevNames, &gMidiOutputPicks, gState.midiOutDev, ChooseMidiOutput);
      return 1;
    case IDC_COMBO_MIDI_IN_CHAN:
      if (selectionChanged) ChooseMidiChannel(hwnd, id, gState.midiInChan);
      return 1;
    case IDC_COMBO_MIDI_OUT_CHAN:
      if (selectionChanged) ChooseMidiChannel(hwnd, id, gState.midiOutChan);
      return 1;
    case IDC_BUTTON_OSX_AUDIO_MIDI_SETUP:
      if (((wParam >> 16) & 0xFFFF) == BN_CLICKED) StartSystemSetup(hwnd);
      return 1;
    case IDC_CB_MONO_INPUT:
      WriteSharedField(gState.monoInput,
                       SendMessage(GetDlgItem(hwnd, id), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
      return 1;
    case IDAPPLY: AsPlayerMoment(hwnd, [] { ReopenAudio(); }); return 1;
    case IDOK:
      AsPlayerMoment(hwnd, [hwnd] {
        // A picked driver replaces the interface at once, and a failed reopen closes the stream:
        // gActiveState then names a stream that no longer plays.
        if (!AudioStreamRuns() || std::memcmp(&gActiveState, &gState, sizeof(AppState)) != 0) ReopenAudio();
        EndDialog(hwnd, IDOK);
      });
      return 1;
    case IDCANCEL: AsPlayerMoment(hwnd, [hwnd] { Cancel(hwnd); }); return 1;
    default: return 0;
  }
}
