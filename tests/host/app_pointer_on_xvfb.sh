#!/usr/bin/env bash
# The application played with the pointer and the keyboard as a person plays it, on a virtual
# X display (Xvfb, SDL backend), under a window manager (openbox) or under none: a knob's
# MIDI-learn menu closes when the pointer jumps away, when it leaves the window and when a
# click lands on the menu or beside it (that click reaching the control beneath); the "poly"
# field shows at the start what a double click (its default) shows; a knob's
# value box goes when a drag ends outside the window; without a sound card one line on
# stderr says why there is no sound; Ctrl+, opens the preferences, and after they close
# Ctrl+Q quits with status 0 and leaves settings.ini as it was. What the screen showed is kept as PNG files in OUT_FOLDER, tooltips included.
#
#   app_pointer_on_xvfb.sh VORNA SCREEN_PROBE OUT_FOLDER openbox|none
#
# Exit status 77 when a program it needs is missing (the test is then skipped).
set -euo pipefail

vorna=$1 probe=$2 out=$3 wm=$4
needed=(Xvfb xdotool)
[ "$wm" = openbox ] && needed+=(openbox)
for tool in "${needed[@]}"; do
  command -v "$tool" > /dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
mkdir -p "$out"

source "$(dirname "$0")/script_support.sh"
fail() { echo "pointer check ($wm): $*"; exit 1; }
unset WAYLAND_DISPLAY
export XDG_CONFIG_HOME=$work/config

start_xvfb
if [ "$wm" = openbox ]; then
  setsid openbox --sm-disable > "$work/openbox.log" 2>&1 &
  pids+=($!)
  sleep 1
fi

# The first start on a machine without a sound card: ALSA without configuration, no PulseAudio
# or JACK server.
VORNA_BACKEND=sdl ALSA_CONFIG_PATH=/dev/null PULSE_SERVER=unix:"$work/none" JACK_NO_START_SERVER=1 \
  JACK_DEFAULT_SERVER="vorna-none-$$" setsid "$vorna" > "$work/vorna.log" 2> "$work/vorna-stderr.log" &
app=$!
pids+=($app)
window=$(visible_window '^Vorna$' 20)
if [ -z "$window" ]; then
  # A machine busy with builds has been seen to take longer: kept as pictures, threads and the
  # window tree for a look later, then waited for once more.
  echo "pointer check ($wm): no window after 20 s; waiting 30 s more"
  "$probe" 0 0 "$out/vorna-no-window-$wm.png" > /dev/null || true
  xwininfo -root -tree > "$out/vorna-no-window-tree-$wm.txt" 2>&1 || true
  xdotool search --name '^Vorna$' > "$out/vorna-no-window-search-$wm.txt" 2>&1 || true
  if command -v gdb > /dev/null; then
    gdb -batch -p "$app" -ex "thread apply all bt" > "$out/vorna-no-window-threads-$wm.txt" 2>&1 || true
  fi
  window=$(visible_window '^Vorna$' 30)
fi
[ -n "$window" ] || fail "the main window did not appear"
sleep 1.5
cp "$XDG_CONFIG_HOME/Vorna/settings.ini" "$work/settings-start.ini"

# The editor's point (x, y), under the window's 22-pixel menu strip. The window's place on
# the screen is where the pointer lands at its corner: a window manager's frame makes the
# geometry xdotool reports unreliable.
move() { xdotool mousemove --window "$window" "$1" $(($2 + 22)); }
xdotool mousemove --window "$window" 0 0
eval "$(xdotool getmouselocation --shell)"
left=$X top=$Y
colour() { "$probe" $((left + $1)) $((top + $2 + 22)); }
# The colours along a short row through the editor's ($1, $2), enough to tell a switch's frames apart.
row_colours() {
  local dx
  for dx in -9 -6 -3 0 3 6 9; do colour $(($1 + dx)) "$2"; done | tr '\n' ' '
}
shot() { "$probe" 0 0 "$out/vorna-$1-$wm.png" > /dev/null; }
# Waits up to 3 s for the colour at the editor's ($1, $2) to become ($3 true) or stop being
# ($3 false) $4.
await_colour() {
  local c
  for _ in $(seq 60); do
    c=$(colour "$1" "$2")
    if [ "$3" = true ]; then [ "$c" = "$4" ] && return 0; else [ "$c" != "$4" ] && return 0; fi
    sleep 0.05
  done
  return 1
}

# The application says why it plays nothing, once, and runs on.
lines=$(grep -c "no audio stream" "$work/vorna-stderr.log" || true)
[ "$lines" -eq 1 ] || fail "expected one line saying why no audio stream opened, found $lines"
grep "^vorna: no audio stream: ." "$work/vorna-stderr.log" || fail "the line does not say why there is no stream"

# Places on the editor: the "tune 1" knob, the blank right end of its menu's title row, the
# oscillator's waveform switch, a bare spot of the lower panel, the "flt 1 f" knob and the
# place of its value box.
knob=(143 41) menu=(261 51) waveform=(61 129) blank=(700 605) cutoff=(444 50) valuebox=(444 70)
move "${blank[@]}"
sleep 0.3
menu_closed=$(colour "${menu[@]}")

# The "poly" field shows from the start the voice count the engine plays, its parameter's
# default: a double click, which brings the default back, leaves the field as it was.
poly=(176 588)
field_colours() {
  local dx dy
  for dy in -6 -3 0 3 6; do for dx in -6 -3 0 3 6; do colour $((poly[0] + dx)) $((poly[1] + dy)); done; done | tr '\n' ' '
}
poly_start=$(field_colours)
shot poly-start
move "${poly[@]}"
sleep 0.1
xdotool click --repeat 2 --delay 80 1
move "${blank[@]}"
sleep 0.3
shot poly-default
[ "$(field_colours)" = "$poly_start" ] || fail "the \"poly\" field showed another number than its default at the start"
open_menu() {
  move "${knob[@]}"
  sleep 0.1
  xdotool click 3
  await_colour "${menu[@]}" false "$menu_closed" || fail "a right click on the knob showed no menu ($1)"
}
closed_menu() { await_colour "${menu[@]}" true "$menu_closed" || { shot "menu-stayed"; fail "the menu stayed open $1"; }; }

open_menu "first"
shot menu-open
# The pointer jumps far from the menu.
move "${blank[@]}"
closed_menu "after the pointer jumped away"
# A jump and a click on the waveform switch: the menu goes and the switch takes the click.
open_menu "before a click beside it"
switch_before=$(row_colours "${waveform[@]}")
move "${waveform[@]}"
xdotool click 1
closed_menu "after a click beside it"
sleep 0.3
[ "$(row_colours "${waveform[@]}")" != "$switch_before" ] || fail "the click beside the menu did not reach the waveform switch"
# The pointer leaves the window.
open_menu "before the pointer left"
xdotool mousemove 1020 765
closed_menu "after the pointer left the window"
# A click on "MIDI learn" picks it and ends the menu.
open_menu "before a click on it"
move $((knob[0] + 40)) $((knob[1] + 33))
sleep 0.1
xdotool click 1
closed_menu "after a click on MIDI learn"
# Four times: open, then a click on a bare spot of the editor.
for n in 1 2 3 4; do
  open_menu "round $n"
  move "${blank[@]}"
  xdotool click 1
  closed_menu "after click $n of four on a bare spot"
done
shot menu-closed

# A knob dragged down past the window's lower edge and released there: its value box goes.
move "${blank[@]}"
sleep 0.2
box_hidden=$(colour "${valuebox[@]}")
move "${cutoff[@]}"
xdotool mousedown 1
await_colour "${valuebox[@]}" false "$box_hidden" || fail "a press on the cutoff knob showed no value box"
shot value-box
for step in $(seq 1 12); do xdotool mousemove $((left + cutoff[0])) $((top + cutoff[1] + 22 + 60 * step)); sleep 0.02; done
xdotool mouseup 1
await_colour "${valuebox[@]}" true "$box_hidden" || { shot value-box-stayed; fail "the value box stayed after a drag released outside the window"; }

# Tooltips switched on with "?", shown over the oversampling list, the DC remover and the
# bridge between the filter panels (a wide bubble near the left edge).
move 478 557
xdotool click 1
for place in "os 15 93" "dc 655 93" "sync 422 258"; do
  read -r name x y <<< "$place"
  move $((x - 1)) "$y"
  sleep 0.1
  move "$x" "$y"
  sleep 0.4
  shot "tooltip-$name"
done
move 478 557
xdotool click 1

# Ctrl+, opens the preferences and Escape closes them; the keyboard then belongs to the main
# window again, with or without a window manager to hand it back, and Ctrl+Q quits as File >
# Quit does.
move "${blank[@]}"
xdotool click 1
sleep 0.2
xdotool key ctrl+comma
[ -n "$(visible_window '^Preferences$' 20)" ] || fail "Ctrl+, showed no preferences"
sleep 0.3
xdotool key Escape
for _ in $(seq 100); do xdotool search --onlyvisible --name '^Preferences$' > /dev/null 2>&1 || break; sleep 0.05; done
sleep 0.3
xdotool key ctrl+q
await_exit "$app" 30 || fail "Ctrl+Q did not end the application"
[ "$status" -eq 0 ] || fail "the application ended with status $status after Ctrl+Q"
cmp -s "$work/settings-start.ini" "$XDG_CONFIG_HOME/Vorna/settings.ini" || fail "playing and quitting changed settings.ini"
echo "pointer check ($wm): passed"
