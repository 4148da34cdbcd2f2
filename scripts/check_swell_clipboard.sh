#!/usr/bin/env bash
# Shows swell-clipboard-demo on a virtual X display through the SDL backend and checks that
# the window layer's clipboard is the desktop's: text the demo copied with the clipboard
# functions is what `xclip -o` reads, and text put there with xclip is what Ctrl+V pastes
# into the demo's edit field.
#   scripts/check_swell_clipboard.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
demo="$build/tests/swell/swell-clipboard-demo"
check="window layer clipboard check"
first_display=191
last_display=240
source scripts/demo_on_xvfb.sh
command -v xclip >/dev/null || fail "xclip is not installed (scripts/setup.sh installs it)"

expect() {
  for _ in $(seq 100); do grep -q "$1" "$log" && return 0; sleep 0.05; done
  fail "$2"
}

copied="copied by Vorna $$"
VORNA_BACKEND=sdl "$demo" "$copied" >"$log" 2>&1 &
demo_pid=$!
window="$(timeout 20 xdotool search --sync --onlyvisible --name "Vorna clipboard demo" | head -n1)" || true
[ -n "$window" ] || fail "the demo window did not appear"
expect "running with the sdl backend" "the demo did not use the SDL backend"
expect "copied" "the demo did not copy its text"

read_back=""
for _ in $(seq 100); do
  read_back="$(timeout 2 xclip -o -selection clipboard 2>/dev/null || true)"
  [ "$read_back" = "$copied" ] && break
  sleep 0.05
done
[ "$read_back" = "$copied" ] || fail "xclip read \"$read_back\", not the text the layer copied"

pasted="pasted from xclip $$"
printf '%s' "$pasted" | xclip -selection clipboard -i 2>/dev/null
# The field holds the keyboard focus: Ctrl acts as Command, so Ctrl+V pastes.
xdotool mousemove --window "$window" 100 60 click 1
sleep 0.2
xdotool key --window "$window" ctrl+v
expect "field: $pasted" "Ctrl+V did not paste the text xclip set into the edit field"

kill -TERM "$demo_pid"
status=0
wait "$demo_pid" || status=$?
demo_pid=""
[ "$status" -eq 0 ] || fail "the demo ended with status $status after SIGTERM"
echo "window layer clipboard check: passed (xclip read the text the layer copied; text set with xclip was pasted into an edit field)"
