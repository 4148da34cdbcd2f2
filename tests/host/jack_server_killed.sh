#!/usr/bin/env bash
# vorna-host while its JACK server is killed (SIGKILL) as it plays: it says so in its own line
# and tries again; a server started again under the same name brings back its ports, and a
# note played into "To Vorna" is heard again; the host then quits with status 0. Killed once
# more and not started again, SIGTERM ends the host with the status of a start without sound.
#
#   jack_server_killed.sh HOST RECORDING_CHECK
#
# Exit status 77 when JACK's programs are missing (the test is then skipped).
set -euo pipefail

host=$1 check=$2
for tool in jackd jack_lsp jack_connect jack_midiseq jack_rec; do
  command -v "$tool" > /dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

server="vorna-killed-$$"
source "$(dirname "$0")/jack_script_support.sh"
fail() { echo "server killed: $*"; exit 1; }

trap end_stopped_or_killed_server EXIT
# Waits up to $3 seconds until file $1 holds $2 lines that contain $4.
wait_for_lines() {
  local end=$((SECONDS + $3))
  while [ "$SECONDS" -lt "$end" ]; do
    [ "$(grep -cF "$4" "$1" || true)" -ge "$2" ] && return 0
    sleep 0.1
  done
  return 1
}

start_dummy_server first || fail "the server did not start"
mkdir -p "$XDG_CONFIG_HOME/Vorna"
printf '[audio]\ndriver=2\nindev=system\noutdev=system\nsr=48000\niovs=256\nsigvs=32\n[midi]\nindev=virtual input\n' \
  > "$XDG_CONFIG_HOME/Vorna/settings.ini"
setsid "$host" > "$work/host.log" 2> "$work/host-errors.log" &
host_pid=$!
pids+=($host_pid)
core_program=$host
wait_for_port "RtApiJack:outport 1" 15 || fail "the host did not start playing"
# Its ports come before its stream runs: a server killed in between fails the start itself,
# which is said as a start without sound (status 1), not as a stream lost while it plays.
wait_for_lines "$work/host.log" 1 30 "vorna-host: running" || fail "the host did not say it runs"
midi=yes
if [ -e /dev/snd/seq ]; then
  echo "skipped the MIDI half: an ALSA sequencer is present, so the host's MIDI client is not JACK's"
  midi=""
fi

kill_dummy_server
wait_for_lines "$work/host-errors.log" 1 30 "vorna-host: no audio stream: the JACK server went away" ||
  fail "no line said that the server went away"
wait_for_lines "$work/host.log" 1 20 "vorna-host: trying again every 2 s until sound is back" ||
  fail "the host did not say that it tries again"
alive "$host_pid" || fail "the host ended with its server"

start_dummy_server again || fail "the server did not start again"
wait_for_lines "$work/host.log" 1 40 "vorna-host: sound is back" || fail "the host did not play again"
wait_for_port "RtApiJack:outport 1" || fail "the host's ports did not come back"
if [ -n "$midi" ]; then
  wait_for_port "RtMidi Input Client:To Vorna" || fail "\"To Vorna\" did not come back"
  notes_into_to_vorna_are_heard "$check" || fail "no note was heard after the server came back"
fi

# Killed again and left dead: the quit says by its status that there was no sound.
kill_dummy_server
wait_for_lines "$work/host-errors.log" 2 30 "vorna-host: no audio stream: the JACK server went away" ||
  fail "no line said that the server went away the second time"
kill -TERM "$host_pid"
await_exit "$host_pid" 30 || fail "SIGTERM did not end the host without its server"
cat "$work/host.log" "$work/host-errors.log" | grep "^vorna-host"
[ "$status" -eq 1 ] || fail "it ended with status $status without sound, not 1"
grep -q "vorna-host: stopped" "$work/host.log" || fail "the host did not shut down in order"
echo "server killed: passed"
