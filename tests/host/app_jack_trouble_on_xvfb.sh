#!/usr/bin/env bash
# The application while its JACK server is killed, started again and stopped, as a player meets
# it: on a virtual X display (Xvfb, SDL backend) against a dummy server, playing through JACK
# with the virtual MIDI input.
#
# Killed (SIGKILL) while playing: the application says so in its own lines and goes on; the
# server is started again, and opening Preferences (Ctrl+,) brings back "To Vorna"; picking
# "off" and then "virtual input" as the MIDI input, and OK, must not crash, and a note played
# into "To Vorna" must be heard again.
# Stopped (SIGSTOP) while Preferences opens and while Apply runs: each comes back within its
# deadline with a line that says so, the dialog shows (OUT_FOLDER/vorna-preferences-silent-WM.png)
# and closes, and Ctrl+Q ends the application within the quit's limit, with status 0. Under a
# window manager (openbox) or under none.
#
#   app_jack_trouble_on_xvfb.sh VORNA RECORDING_CHECK SCREEN_PROBE OUT_FOLDER openbox|none
#
# Exit status 77 when a program it needs is missing (the test is then skipped).
set -euo pipefail

vorna=$1 check=$2 probe=$3 out=$4 wm=$5
needed=(jackd jack_lsp jack_connect jack_midiseq jack_rec Xvfb xdotool)
[ "$wm" = openbox ] && needed+=(openbox)
for tool in "${needed[@]}"; do
  command -v "$tool" > /dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
mkdir -p "$out"

server="vorna-trouble-$$"
source "$(dirname "$0")/jack_script_support.sh"
unset WAYLAND_DISPLAY
fail() { echo "JACK in trouble ($wm): $*"; exit 1; }
core_program=$vorna
now_ms() { echo $(($(date +%s%N) / 1000000)); }

trap end_stopped_or_killed_server EXIT

# Waits up to $2 seconds for a line of the application's stderr that contains $1.
wait_for_line() {
  local end=$((SECONDS + $2))
  while [ "$SECONDS" -lt "$end" ]; do
    grep -qF "$1" "$work/vorna-stderr.log" && return 0
    sleep 0.05
  done
  return 1
}
window_gone() {
  for _ in $(seq $(($2 * 20))); do
    xdotool search --onlyvisible --name "$1" > /dev/null 2>&1 || return 0
    sleep 0.05
  done
  return 1
}
port_gone() {
  for _ in $(seq 200); do timeout -k 1 3 jack_lsp 2> /dev/null | grep -qF "$1" || return 0; sleep 0.1; done
  return 1
}
# The dialog's point (x, y): a combo box opens its list there, a button is clicked.
dialog_click() {
  xdotool mousemove --window "$dialog" "$1" "$2" click 1
  sleep 0.3
}
open_preferences() {
  xdotool key ctrl+comma
  dialog=$(visible_window '^Preferences$' "$1")
}
# The MIDI input list opens on the entry chosen; the keys move from there.
pick_midi_input() {
  dialog_click 95 302
  xdotool key "$@" Return
  sleep 0.3
}

start_xvfb
if [ "$wm" = openbox ]; then
  setsid openbox --sm-disable > "$work/openbox.log" 2>&1 &
  pids+=($!)
  sleep 0.5
fi
start_dummy_server first || fail "the server did not start"
mkdir -p "$XDG_CONFIG_HOME/Vorna"
printf '[audio]\ndriver=2\nindev=system\noutdev=system\nsr=48000\niovs=256\nsigvs=32\n[midi]\nindev=virtual input\n' \
  > "$XDG_CONFIG_HOME/Vorna/settings.ini"
VORNA_BACKEND=sdl setsid "$vorna" > "$work/vorna.log" 2> "$work/vorna-stderr.log" &
app=$!
pids+=($app)
[ -n "$(visible_window '^Vorna$' 30)" ] || fail "the main window did not appear"
wait_for_port "RtApiJack:outport 1" 15 || fail "no stream played"
# Killed between its ports and its stream running, the server would fail the start instead.
wait_for_connection "RtApiJack:outport 1" 30 || fail "the stream's ports were never connected"
midi=yes
if [ -e /dev/snd/seq ]; then
  echo "skipped the MIDI half: an ALSA sequencer is present, so the application's MIDI client is not JACK's"
  midi=""
fi
[ -z "$midi" ] || wait_for_port "RtMidi Input Client:To Vorna" || fail "no \"To Vorna\""

# ---- killed while playing, and started again
kill_dummy_server
wait_for_line "vorna: no audio stream: the JACK server went away" 30 || fail "no line said that the server went away"
[ -z "$midi" ] || wait_for_line "vorna: no MIDI input or output: the JACK server went away" 20 ||
  fail "no line said that the MIDI clients went with the server"
alive "$app" || fail "the application ended with its server"
start_dummy_server again || fail "the server did not start again"
open_preferences 10
[ -n "$dialog" ] || fail "Ctrl+, showed no preferences after the server came back"
if [ -n "$midi" ]; then
  wait_for_port "RtMidi Input Client:To Vorna" || fail "opening Preferences did not bring back \"To Vorna\""
  pick_midi_input Up
  port_gone "RtMidi Input Client:To Vorna" || fail "picking \"off\" left \"To Vorna\""
  alive "$app" || fail "picking \"off\" after the server came back ended the application"
  pick_midi_input Down
  wait_for_port "RtMidi Input Client:To Vorna" || fail "picking \"virtual input\" again did not publish \"To Vorna\""
fi
"$probe" 0 0 "$out/vorna-preferences-server-back-$wm.png" > /dev/null
dialog_click 217 393  # OK
window_gone '^Preferences$' 20 || fail "OK did not close Preferences"
wait_for_port "RtApiJack:outport 1" || fail "OK after the server came back opened no stream"
if [ -n "$midi" ]; then
  notes_into_to_vorna_are_heard "$check" || fail "no note was heard after the server came back"
fi

# ---- stopped while Preferences opens
kill -STOP -- "-$jackd_pid"
start=$(now_ms)
open_preferences 15
opened_ms=$(($(now_ms) - start))
[ -n "$dialog" ] || fail "Ctrl+, showed no preferences while the server was stopped"
wait_for_line "vorna: the audio service (JACK) did not answer within 2.0 s; it is not asked again until it does" 20 ||
  fail "no line said that the server does not answer"
echo "Preferences showed $opened_ms ms after Ctrl+, with the server stopped"
sleep 0.3
"$probe" 0 0 "$out/vorna-preferences-silent-$wm.png" > /dev/null
xdotool key Escape
window_gone '^Preferences$' 20 || fail "Escape did not close Preferences while the server was stopped"

# ---- stopped while Apply runs
kill -CONT -- "-$jackd_pid"
wait_for_line "vorna: the audio service (JACK) answers again" 30 || fail "no line said that the server answers again"
open_preferences 10
[ -n "$dialog" ] || fail "Ctrl+, showed no preferences after the server went on"
kill -STOP -- "-$jackd_pid"
before=$(grep -c "did not answer within" "$work/vorna-stderr.log" || true)
dialog_click 157 393  # Apply
wait_for_line "vorna: no audio stream: the audio service (JACK) does not answer" 30 ||
  fail "Apply while the server was stopped said nothing"
[ "$(grep -c "did not answer within" "$work/vorna-stderr.log")" -eq $((before + 1)) ] ||
  fail "Apply's wait on the stopped server was not said in one line"
xdotool key Escape
window_gone '^Preferences$' 20 || fail "Escape did not close Preferences after Apply"

# ---- and quits
start=$(now_ms)
xdotool key ctrl+q
await_exit "$app" 30 || fail "Ctrl+Q did not end the application while the server was stopped"
echo "Ctrl+Q ended the application $(($(now_ms) - start)) ms later, with status $status"
[ "$status" -eq 0 ] || fail "it ended with status $status after Ctrl+Q"
grep "^vorna:" "$work/vorna-stderr.log"
echo "JACK in trouble ($wm): passed"
