#!/usr/bin/env bash
# What the application costs a player before a note: the time from start to the editor's
# first frame on the screen, and the share of a core it takes idle with the editor open and
# the stream running. On a virtual X display (Xvfb, SDL backend) against a JACK dummy server
# at 48 kHz and a 256-frame period, as the application check runs it; each run starts
# everything afresh. Prints every run, the medians and the machine's load average.
#
#   bench/app_start_idle.sh [BUILD_DIR] [RUNS] [IDLE_SECONDS]
set -euo pipefail

build=${1:-build} runs=${2:-5} idle=${3:-30}
vorna=$build/IPlugExamples/Vorna/app_wrapper/vorna
probe=$build/tests/platform/x11-screen-probe
for tool in jackd jack_lsp Xvfb xdotool; do command -v "$tool" > /dev/null || { echo "needs $tool"; exit 2; }; done
[ -x "$vorna" ] && [ -x "$probe" ] || { echo "build the tree first ($vorna, $probe)"; exit 2; }

work=$(mktemp -d)
pids=()
stop_all() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2> /dev/null || true; wait "${pids[i]}" 2> /dev/null || true; done
  pids=()
}
trap 'stop_all; rm -rf "$work"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
now_ms() { echo $(($(date +%s%N) / 1000000)); }
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

export JACK_NO_START_SERVER=1 XDG_CONFIG_HOME=$work/config
unset WAYLAND_DISPLAY
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
starts=() idles=()
for run in $(seq "$runs"); do
  export JACK_DEFAULT_SERVER="vorna-bench-$$-$run"
  exec 3> "$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp > /dev/null 2>&1 &
  pids+=($!)
  exec 3>&-
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
  export DISPLAY=":$(head -n1 "$work/display")"
  jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 > /dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do jack_lsp 2> /dev/null | grep -q system:playback_1 && break; sleep 0.1; done
  mkdir -p "$XDG_CONFIG_HOME/Vorna"
  printf '[audio]\ndriver=2\nindev=system\noutdev=system\nsr=48000\niovs=256\nsigvs=32\n[midi]\nindev=virtual input\n' \
    > "$XDG_CONFIG_HOME/Vorna/settings.ini"
  background=$("$probe" 512 384)
  start=$(now_ms)
  VORNA_BACKEND=sdl "$vorna" > /dev/null 2>&1 &
  app=$!
  pids+=($app)
  first=""
  while [ $(($(now_ms) - start)) -lt 20000 ]; do
    window=$(xdotool search --onlyvisible --name '^Vorna$' 2> /dev/null | head -n1) || true
    if [ -n "$window" ]; then
      eval "$(xdotool getwindowgeometry --shell "$window")"
      colour=$("$probe" $((X + 444)) $((Y + 72)))  # the middle of the "flt 1 f" knob
      if [ "$colour" != "$background" ] && [ "$colour" != "EBEBEB" ]; then first=$(($(now_ms) - start)); break; fi
    fi
  done
  [ -n "$first" ] || { echo "run $run: no editor within 20 s"; exit 1; }
  sleep 3  # the stream's silent start and the first frames
  t0=$(ticks "$app")
  sleep "$idle"
  t1=$(ticks "$app")
  share=$(awk -v t="$((t1 - t0))" -v hz="$(getconf CLK_TCK)" -v s="$idle" 'BEGIN {printf "%.2f", 100 * t / hz / s}')
  echo "run $run: start to first frame $first ms, idle $share % of a core over $idle s (load $(cut -d' ' -f1 /proc/loadavg))"
  starts+=("$first") idles+=("$share")
  stop_all
done
echo "median start to first frame: $(printf '%s\n' "${starts[@]}" | median) ms; median idle: $(printf '%s\n' "${idles[@]}" | median) % of a core over $idle s"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
