#!/usr/bin/env bash
# Shows gui-window-demo, a small editor of stock controls on IGraphicsMac, on a virtual X
# display through the SDL backend; drags its bitmap knob up with xdotool and checks that
# the value reached the plug-in and that the screen then shows the knob turned; measures
# what an idle editor costs; SIGTERM must end it through its normal quit path. The screen
# before and after the drag is left in BUILD/gui-window-demo-before.png and -after.png.
#   scripts/check_gui_demo.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
demo="$build/tests/gui/gui-window-demo"
probe="$build/tests/platform/x11-screen-probe"
check="GUI demo check"
first_display=191
last_display=240
source scripts/demo_on_xvfb.sh

expect() {
  for _ in $(seq 100); do grep -q "$1" "$log" && return 0; sleep 0.05; done
  fail "$2"
}

VORNA_BACKEND=sdl "$demo" >"$log" 2>&1 &
demo_pid=$!
window="$(timeout 20 xdotool search --sync --onlyvisible --name "Vorna GUI demo" | head -n1)" || true
[ -n "$window" ] || fail "the demo window did not appear"
expect "running with the sdl backend" "the demo did not use the SDL backend"
expect "knob at" "the demo did not say where its knob is"
read -r kx ky < <(sed -n 's/^gui-window-demo: knob at \([0-9]*\) \([0-9]*\)$/\1 \2/p' "$log")
eval "$(xdotool getwindowgeometry --shell "$window")"  # X, Y: the window's top-left on the screen

# The knob's square as the screen shows it: colours on a grid over its face.
knob_colours() {
  local out=""
  for dy in $(seq -20 5 20); do
    for dx in $(seq -20 5 20); do
      out="$out $("$probe" $((X + kx + dx)) $((Y + ky + dy)))"
    done
  done
  echo "$out"
}
# Waits until the knob shows something, not the window's empty background.
for _ in $(seq 100); do
  before="$(knob_colours)"
  [ "$(echo "$before" | tr ' ' '\n' | sort -u | grep -c .)" -gt 2 ] && break
  sleep 0.1
done
"$probe" 0 0 "$build/gui-window-demo-before.png" >/dev/null

# Drag up by 80 pixels in steps: a vertical knob turns up.
xdotool mousemove --window "$window" "$kx" "$ky" mousedown 1
for step in 1 2 3 4; do
  sleep 0.05
  xdotool mousemove --window "$window" "$kx" $((ky - step * 20))
done
sleep 0.05
xdotool mouseup 1
expect "gui-window-demo: gain" "the drag did not change the knob's parameter"

changed=0
for _ in $(seq 50); do
  after="$(knob_colours)"
  changed="$(paste <(echo "$before" | tr ' ' '\n') <(echo "$after" | tr ' ' '\n') | awk '$1 != $2' | wc -l)"
  [ "$changed" -ge 4 ] && break
  sleep 0.1
done
"$probe" 0 0 "$build/gui-window-demo-after.png" >/dev/null
[ "$changed" -ge 4 ] || fail "the screen shows the knob unchanged after the drag ($changed of 81 samples differ)"
echo "GUI demo check: $changed of 81 samples over the knob changed after the drag"

kill -TERM "$demo_pid"
status=0
wait "$demo_pid" || status=$?
demo_pid=""
[ "$status" -eq 0 ] || fail "the demo ended with status $status after SIGTERM"
grep -q "gui-window-demo: quitting" "$log" || fail "SIGTERM did not go through the normal quit path"

# An idle editor: the frame timer keeps beating (25 times a second), yet nothing is drawn or
# presented. Judged by what the program does, which a busy machine does not change: each beat
# wakes it once and turns its run loop twice (the beat, then the wait), and nothing else does.
# Its share of a core is shown, not judged: a loaded machine inflates the cost of each wake-up.
VORNA_BACKEND=sdl "$demo" --measure-idle >"$log" 2>&1 &
demo_pid=$!
timeout 30 tail --pid="$demo_pid" -f /dev/null || fail "the idle measurement did not end"
wait "$demo_pid" || fail "the idle measurement failed"
demo_pid=""
idle="$(grep "idle for" "$log")" || fail "the idle measurement printed nothing"
echo "GUI demo check: ${idle#gui-window-demo: }"
echo "$idle" | grep -q ": 0 presentations" || fail "the idle editor was presented"
read -r passes wakeups < <(echo "$idle" | sed 's/.* \([0-9.]*\) run-loop passes and \([0-9.]*\) wake-ups.*/\1 \2/')
awk -v p="$passes" -v w="$wakeups" 'BEGIN { exit !(p <= 60 && w <= 30) }' ||
  fail "the idle editor turned its run loop $passes times and woke $wakeups times a second (at most 60 and 30)"
echo "GUI demo check: passed (the knob's drag reached the plug-in and the screen, the idle editor was not presented, SIGTERM ended it cleanly)"
