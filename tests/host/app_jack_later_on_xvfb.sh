#!/usr/bin/env bash
# The application started before its JACK server, as a user who starts JACK afterwards: on a
# virtual X display (Xvfb, SDL backend) with the settings naming JACK and the virtual MIDI
# input, no server yet; it says in one line that it has no MIDI. The server is started, and
# opening Preferences (Ctrl+,) must make the MIDI clients and publish "To Vorna" (the dialog,
# its MIDI lists filled, is kept as OUT_FOLDER/vorna-preferences-jack-later.png); Escape
# closes it, the port stays, and Ctrl+Q ends the application with status 0.
#
#   app_jack_later_on_xvfb.sh VORNA SCREEN_PROBE OUT_FOLDER
#
# Exit status 77 when a program it needs is missing (the test is then skipped).
set -euo pipefail

vorna=$1 probe=$2 out=$3
for tool in jackd jack_lsp Xvfb xdotool; do
  command -v "$tool" > /dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
mkdir -p "$out"

server="vorna-later-$$"
source "$(dirname "$0")/jack_script_support.sh"
unset WAYLAND_DISPLAY
fail() { echo "JACK started later: $*"; exit 1; }
core_program=$vorna


start_xvfb
mkdir -p "$XDG_CONFIG_HOME/Vorna"
printf '[audio]\ndriver=2\nindev=system\noutdev=system\nsr=48000\niovs=256\nsigvs=32\n[midi]\nindev=virtual input\n' \
  > "$XDG_CONFIG_HOME/Vorna/settings.ini"
VORNA_BACKEND=sdl setsid "$vorna" > "$work/vorna.log" 2> "$work/vorna-stderr.log" &
app=$!
pids+=($app)
window=$(visible_window '^Vorna$' 30)
[ -n "$window" ] || fail "the main window did not appear"
grep -q "^vorna: no MIDI input or output: neither the ALSA sequencer nor a JACK server answers" \
  "$work/vorna-stderr.log" || fail "no line says that there is no MIDI"
grep "MIDI\|no audio stream" "$work/vorna-stderr.log"

setsid jackd --no-realtime -n "$server" -d dummy -r 48000 -p 256 > "$work/jackd.log" 2>&1 &
pids+=($!)
wait_for_port "system:playback_1"
sleep 0.5
jack_lsp | grep -q "To Vorna" && fail "the MIDI port appeared before Preferences was opened"

xdotool key ctrl+comma
[ -n "$(visible_window '^Preferences$' 20)" ] || fail "Ctrl+, showed no preferences"
wait_for_port "RtMidi Input Client:To Vorna" || fail "opening Preferences did not publish \"To Vorna\""
sleep 0.5
"$probe" 0 0 "$out/vorna-preferences-jack-later.png" > /dev/null
xdotool key Escape
for _ in $(seq 100); do xdotool search --onlyvisible --name '^Preferences$' > /dev/null 2>&1 || break; sleep 0.05; done
jack_lsp | grep -q "RtMidi Input Client:To Vorna" || fail "\"To Vorna\" went when Preferences closed"

xdotool key ctrl+q
await_exit "$app" 30 || fail "Ctrl+Q did not end the application"
[ "$status" -eq 0 ] || fail "it ended with status $status after Ctrl+Q"
echo "JACK started later: passed"
