#!/usr/bin/env bash
# Shows swell-dialog-demo, a modal dialog of the window layer, on a virtual X display through
# the SDL backend, and uses it as a person would: picks the second entry of the first
# drop-down list with the keyboard, the third of the second with the mouse, types a name into
# the edit field and clicks OK. The dialog must answer 1 with exactly those values.
#   scripts/check_swell_dialog_demo.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
demo="$build/tests/swell/swell-dialog-demo"
check="window layer dialog check"
first_display=191
last_display=240
source scripts/demo_on_xvfb.sh

VORNA_BACKEND=sdl "$demo" >"$log" 2>&1 &
demo_pid=$!
window="$(timeout 20 xdotool search --sync --onlyvisible --name "Vorna dialog demo" | head -n1)" || true
[ -n "$window" ] || fail "the dialog did not appear"
expect "running with the sdl backend" "the demo did not use the SDL backend"
expect "dialog open" "the dialog procedure did not hear WM_INITDIALOG"
sleep 0.3
# The sample-rate list (120..240 x 10..28): opened by a click, 48000 picked with the keys.
xdotool mousemove --window "$window" 180 19 click 1
sleep 0.4
xdotool key --window "$window" Down Down Return
expect "picked 48000 in 1001" "the keyboard pick in the first list did not reach the procedure"
# The buffer list (120..240 x 40..58): its list opens over it, rows of 20 pixels from about y 40;
# 256, the third, is the row around y 90.
xdotool mousemove --window "$window" 180 49 click 1
sleep 0.4
xdotool mousemove --window "$window" 180 90 click 1
expect "picked 256 in 1002" "the mouse pick in the second list did not reach the procedure"
# The edit field, then OK.
xdotool mousemove --window "$window" 200 80 click 1
sleep 0.2
xdotool type --window "$window" --delay 30 "Vorna"
sleep 0.2
xdotool mousemove --window "$window" 180 120 click 1
timeout 10 tail --pid="$demo_pid" -f /dev/null || fail "OK did not end the dialog and the demo"
status=0
wait "$demo_pid" || status=$?
demo_pid=""
[ "$status" -eq 0 ] || fail "the demo ended with status $status"
grep -q "dialog returned 1 rate=48000 buffer=256 name=Vorna$" "$log" ||
  fail "the dialog did not answer 1 with the chosen values"
echo "window layer dialog check: passed (a drop-down pick by keys and one by mouse, typed text and OK came back from the modal dialog)"
