#!/usr/bin/env bash
# The application against a real JACK server that no code of ours wrote: a dummy
# server at 48 kHz with the given period, the host started as the application
# starts (vorna-host), jack_midiseq looping A4 (0.5 s on, 1.5 s off) into the
# host's MIDI input, jack_rec recording the host's output; the recording must
# hold 440 Hz notes with silence after each.
#
#   jack_end_to_end.sh HOST CHECK PERIOD SIGVS virtual|port
#
# virtual: the host publishes its own input port and the sequencer is connected
# to it; port: the host opens the sequencer's port by the name in its settings.
# Exit status 77 when JACK's programs are missing (the test is then skipped).
set -euo pipefail

host=$1 check=$2 period=$3 sigvs=$4 mode=$5
for tool in jackd jack_lsp jack_connect jack_midiseq jack_rec; do
  command -v "$tool" > /dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

server="vorna-e2e-$$"
source "$(dirname "$0")/jack_script_support.sh"

# Synchronous: the server waits for its clients every period. A period of 64 frames is 1.3 ms,
# which a busy machine often lets pass before a client without real-time priority has run; an
# asynchronous server then drops that client's period, and the recording has holes that no
# fault of the host made. Late periods are only late here, so what is recorded is what the
# host rendered, whatever the load. A client late by more than the server's timeout (half a
# second by default) is thrown out of the graph, and a recorder thrown out waits for ever: so
# the server waits up to 20 s for each client, and the recording has a deadline of its own,
# below ctest's, so that a stuck run fails with its logs shown.
setsid jackd --no-realtime --sync -t 20000 -n "$server" -d dummy -r 48000 -p "$period" > "$work/jackd.log" 2>&1 &
pids+=($!)
wait_for_port "system:playback_1"

start_sequencer() {
  # A4 for 24000 frames at the start of every 96000 (2 s).
  setsid jack_midiseq vseq 96000 0 69 24000 > "$work/sequencer.log" 2>&1 &
  pids+=($!)
  wait_for_port "vseq:out"
}

midi_input="virtual input"
if [ "$mode" = port ]; then
  start_sequencer
  midi_input="vseq:out"
fi

mkdir -p "$XDG_CONFIG_HOME/Vorna"
cat > "$XDG_CONFIG_HOME/Vorna/settings.ini" << SETTINGS
[audio]
driver=2
indev=system
outdev=system
sr=48000
iovs=$period
sigvs=$sigvs
[midi]
indev=$midi_input
SETTINGS

setsid "$host" > "$work/host.log" 2>&1 &
host_pid=$!
pids+=($host_pid)
wait_for_port "RtApiJack:outport 1" 15

# jack_rec's ring holds a whole recording (-B, in frames), so that a disk thread held back by the
# load loses nothing.
if [ -e /dev/snd/seq ]; then
  # The host's MIDI client is then the ALSA sequencer's, which JACK MIDI does not reach.
  echo "skipped the MIDI half: an ALSA sequencer is present, so the host's MIDI client is not JACK's;"
  echo "checking that the stream runs and is silent"
  timeout -k 5 90 jack_rec -f "$work/recording.wav" -d 1 -b 32 -B 262144 "RtApiJack:outport 0" "RtApiJack:outport 1" > "$work/recorder.log" 2>&1
  "$check" "$work/recording.wav" --silent
else
  if [ "$mode" = virtual ]; then
    wait_for_port "RtMidi Input Client:To Vorna"
    start_sequencer
    timeout -k 1 10 jack_connect vseq:out "RtMidi Input Client:To Vorna"
  fi
  timeout -k 5 90 jack_rec -f "$work/recording.wav" -d 5 -b 32 -B 262144 "RtApiJack:outport 0" "RtApiJack:outport 1" > "$work/recorder.log" 2>&1
  "$check" "$work/recording.wav"
fi

# SIGTERM quits through the normal shut-down.
kill -TERM "$host_pid"
await_exit "$host_pid" 20 || { echo "SIGTERM did not end the host within 20 s"; exit 1; }
[ "$status" -eq 0 ] || { echo "the host ended with status $status"; exit 1; }
grep -q "vorna-host: stopped" "$work/host.log"
grep -q "trying to start audio stream @ 48000 sr, $period iovs, $sigvs sigvs" "$work/host.log"
echo "host stopped cleanly"
