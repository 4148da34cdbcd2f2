#!/usr/bin/env bash
# The application on a JACK dummy server at a 64-frame period (48 kHz), playing
# 32 voices of the default sound ("max voice count" raised to 32) for SECONDS
# (default 60); prints the xruns the server reported alone and then with the
# host playing, the underflows the host saw and the host's share of one core.
# The server runs in realtime mode, as for playing. Meant for an idle machine;
# not a test.
#
#   bench/jack-xruns.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${2:-60}
host=$build/IPlugExamples/Vorna/app_wrapper/vorna-host

work=$(mktemp -d)
server="vorna-bench-$$"
export JACK_DEFAULT_SERVER=$server JACK_NO_START_SERVER=1 XDG_CONFIG_HOME=$work/config
pids=()
finish() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2> /dev/null || true; wait "${pids[i]}" 2> /dev/null || true; done
  rm -rf "$work"
}
trap finish EXIT
wait_for_port() {
  for _ in $(seq 100); do jack_lsp 2> /dev/null | grep -qF "$1" && return 0; sleep 0.1; done
  echo "no JACK port \"$1\""; return 1
}

jackd -R -n "$server" -d dummy -r 48000 -p 64 > "$work/jackd.log" 2>&1 &
pids+=($!)
wait_for_port "system:playback_1"
alone_before=$(grep -c XRun "$work/jackd.log" || true)
sleep "$seconds"
alone=$(($(grep -c XRun "$work/jackd.log" || true) - alone_before))

mkdir -p "$XDG_CONFIG_HOME/Vorna"
printf '[audio]\ndriver=2\nindev=system\noutdev=system\nsr=48000\niovs=64\nsigvs=32\n[midi]\nindev=virtual input\n' \
  > "$XDG_CONFIG_HOME/Vorna/settings.ini"
"$host" --set "max voice count=32" > "$work/host.log" 2>&1 &
host_pid=$!
pids+=($host_pid)
wait_for_port "RtMidi Input Client:To Vorna"
sleep 1  # past the stream's silent start, when MIDI is taken

# 32 keys, 24 + 2k as in render-bench, held for the whole run.
frames=$((seconds * 48000))
notes=()
for k in $(seq 0 31); do notes+=(0 $((24 + 2 * k)) "$frames"); done
before=$(grep -c XRun "$work/jackd.log" || true)
jack_midiseq vbench $((frames + 48000)) "${notes[@]}" > /dev/null 2>&1 &
pids+=($!)
wait_for_port "vbench:out"
jack_connect vbench:out "RtMidi Input Client:To Vorna"
# The host's processor time (user + system, in clock ticks) over the run.
ticks() { awk '{print $14 + $15}' "/proc/$host_pid/stat"; }
ticks_before=$(ticks)
sleep "$seconds"
core=$(awk -v t=$(($(ticks) - ticks_before)) -v hz="$(getconf CLK_TCK)" -v s="$seconds" 'BEGIN {printf "%.1f", 100 * t / hz / s}')
after=$(grep -c XRun "$work/jackd.log" || true)
underflows=$(grep -c "Stream underflow detected" "$work/host.log" || true)
echo "jack-xruns: $seconds s at a 64-frame period: the server alone reported $alone xruns;" \
     "with the host playing 32 voices $((after - before)) xruns, $underflows underflow reports from the host," \
     "the host using $core% of one core"
