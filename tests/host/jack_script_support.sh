# Sourced by the host's end-to-end scripts once `server` names their JACK server: what
# script_support.sh gives, with the application's settings in the work folder and JACK's
# clients pointed at that server, and a wait for a JACK port.
source "$(dirname "${BASH_SOURCE[0]}")/script_support.sh"
source "$(dirname "${BASH_SOURCE[0]}")/jack_leftovers.sh"
export JACK_DEFAULT_SERVER=$server JACK_NO_START_SERVER=1 XDG_CONFIG_HOME=$work/config
reap_jack_leftovers

# Waits up to $2 seconds (20 by default) for a JACK port whose name contains $1. A server that
# stopped answering holds a client for good, so each look has a deadline of its own: the script
# fails with its logs instead of waiting until ctest kills it. The host's ports are waited for
# longer than the host waits for the server at its start, so that its line saying why is logged.
wait_for_port() {
  local end=$((SECONDS + ${2:-20}))
  while [ "$SECONDS" -lt "$end" ]; do
    timeout -k 1 3 jack_lsp 2> /dev/null | grep -qF "$1" && return 0
    sleep 0.1
  done
  echo "no JACK port \"$1\" appeared"
  return 1
}

# Waits up to $2 seconds (20 by default) for port $1 to be connected: a client's ports come
# when it registers them, their connections to the device once its stream runs.
wait_for_connection() {
  local end=$((SECONDS + ${2:-20}))
  while [ "$SECONDS" -lt "$end" ]; do
    timeout -k 1 3 jack_lsp -c 2> /dev/null |
      awk -v port="$1" 'seen && /^ +/ {found = 1} {seen = ($0 == port)} END {exit !found}' && return 0
    sleep 0.1
  done
  echo "JACK port \"$1\" was not connected"
  return 1
}

# Starts the script's dummy server (at 48 kHz, a 256-frame period; its log named after $1),
# sets `jackd_pid`, and waits for its ports.
start_dummy_server() {
  setsid jackd --no-realtime -n "$server" -d dummy -r 48000 -p 256 > "$work/jackd-$1.log" 2>&1 &
  jackd_pid=$!
  pids+=($jackd_pid)
  wait_for_port "system:playback_1"
}

# Kills the script's server as a crash would, and waits for it to be gone.
kill_dummy_server() {
  kill -KILL -- "-$jackd_pid"
  wait "$jackd_pid" 2> /dev/null || true
}

# For the scripts that stop or kill their server (trap end_stopped_or_killed_server EXIT): a
# server whose clients vanished while it was stopped does not end on TERM for seconds, and then
# not cleanly, and a killed one leaves its slot in JACK's registry of servers and its
# semaphores. So it is let go on and killed, and a server of the same name takes the slot back
# and gives it up.
end_stopped_or_killed_server() {
  local rc=$?
  set +e
  { kill -CONT -- "-$jackd_pid"; kill -KILL -- "-$jackd_pid"; wait "$jackd_pid"; } 2> /dev/null
  free_registry_slot "$server"
  rm -f /dev/shm/jack_sem.*_"$server"_*
  (exit "$rc")
  finish
}

# Plays A4 into "To Vorna" (24000 frames at the start of every 96000, 2 s, as the end-to-end
# check plays), records the host's output for 5 s and checks the notes with $1 (the recording
# check); the sequencer ends after. Fails when the check does.
notes_into_to_vorna_are_heard() {
  local status=0
  setsid jack_midiseq vseq 96000 0 69 24000 > "$work/sequencer.log" 2>&1 &
  pids+=($!)
  wait_for_port "vseq:out" || return 1
  timeout -k 1 10 jack_connect vseq:out "RtMidi Input Client:To Vorna" || return 1
  timeout -k 5 60 jack_rec -f "$work/recording.wav" -d 5 -b 32 -B 262144 "RtApiJack:outport 0" \
    "RtApiJack:outport 1" > "$work/recorder.log" 2>&1
  "$1" "$work/recording.wav" || status=1
  end_group "${pids[-1]}"
  unset 'pids[-1]'
  return "$status"
}
