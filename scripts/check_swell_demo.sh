#!/usr/bin/env bash
# Shows swell-window-demo, a window of the window layer, on a virtual X display through the
# SDL backend, and checks that what reaches it arrives at its window procedure: its 40 ms
# timer, a message posted from a worker thread, a click (in the procedure's own client
# coordinates), a key, a menu key equivalent; then File > Quit in the window's menu strip
# and, in a second run, SIGTERM end it through the normal quit path.
#   scripts/check_swell_demo.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
demo="$build/tests/swell/swell-window-demo"
check="window layer demo check"
first_display=141
last_display=190
source scripts/demo_on_xvfb.sh

start_demo() {
  VORNA_BACKEND=sdl "$demo" >"$log" 2>&1 &
  demo_pid=$!
  window="$(timeout 20 xdotool search --sync --onlyvisible --name "Vorna window demo" | head -n1)" || true
  [ -n "$window" ] || fail "the demo window did not appear"
  expect "running with the sdl backend" "the demo did not use the SDL backend"
}

start_demo
expect "timer ticking" "the timer did not reach the window procedure"
expect "posted message arrived" "a message posted from the worker thread did not arrive"
# The content lies under the 22-pixel menu strip: window pixel (60, 62) is client (60, 40).
xdotool mousemove --window "$window" 60 62 click 1
expect "click at 60 40" "the click did not reach the procedure at its client point 60,40"
xdotool key --window "$window" a
expect "key 65" "the A key did not reach the procedure as WM_KEYDOWN 65"
# Ctrl acts as Command: Ctrl+H is File > Say Hello's key equivalent, sent as WM_COMMAND.
xdotool key --window "$window" ctrl+h
expect "hello" "Ctrl+H did not reach the procedure as the menu item's WM_COMMAND"
# File in the strip, then Quit: the third row of the menu, after a separator.
sleep 0.3
xdotool mousemove --window "$window" 26 11 click 1
sleep 0.5
xdotool mousemove --window "$window" 44 62 click 1
timeout 10 tail --pid="$demo_pid" -f /dev/null || fail "File > Quit did not end the demo"
status=0
wait "$demo_pid" || status=$?
demo_pid=""
[ "$status" -eq 0 ] || fail "the demo ended with status $status after File > Quit"
grep -q "quitting" "$log" || fail "File > Quit did not go through the normal quit path"

start_demo
kill -TERM "$demo_pid"
status=0
wait "$demo_pid" || status=$?
demo_pid=""
[ "$status" -eq 0 ] || fail "the demo ended with status $status after SIGTERM"
grep -q "quitting" "$log" || fail "SIGTERM did not go through the normal quit path"
echo "window layer demo check: passed (timer, posted message, click, key and menu reached the window procedure; File > Quit and SIGTERM ended it cleanly)"
