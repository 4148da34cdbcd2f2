#!/usr/bin/env bash
# The application started where there is no display, no sound device and no MIDI service
# (ALSA without configuration, no PulseAudio or JACK server): it says in one line on stderr
# why no audio stream opened, runs, writes its settings, hardly wakes, and quits on SIGTERM
# with status 0. The same where DISPLAY names a display that nobody serves.
#
#   start_without_display.sh VORNA
set -euo pipefail

vorna=$1
source "$(dirname "$0")/script_support.sh"
fail() { echo "start without display: $*"; exit 1; }

# Starts it with the environment given ($@ on top of no display at all) and checks it as above.
check_start() {
  rm -rf "$work/config"
  env -u DISPLAY -u WAYLAND_DISPLAY -u VORNA_BACKEND "$@" XDG_CONFIG_HOME="$work/config" ALSA_CONFIG_PATH=/dev/null \
    PULSE_SERVER=unix:"$work/none" JACK_NO_START_SERVER=1 JACK_DEFAULT_SERVER="vorna-none-$$" \
    setsid "$vorna" > "$work/vorna.log" 2> "$work/errors.log" &
  app=$!
  pids+=($app)
  settings="$work/config/Vorna/settings.ini"
  for _ in $(seq 200); do
    [ -s "$settings" ] && grep -q "^\[midi\]" "$settings" && break
    sleep 0.05
  done
  [ -s "$settings" ] || fail "no settings.ini was written"
  kill -0 "$app" 2> /dev/null || fail "the application did not keep running"
  sleep 1
  t0=$(awk '{print $14 + $15}' "/proc/$app/stat")
  sleep 3
  t1=$(awk '{print $14 + $15}' "/proc/$app/stat")
  hundredths=$(((t1 - t0) * 10000 / (3 * $(getconf CLK_TCK))))
  echo "idle CPU without display: $((hundredths / 100)).$(printf %02d $((hundredths % 100)))% of a core"
  [ "$hundredths" -lt 200 ] || fail "it used more than 2% of a core doing nothing"
  kill -TERM "$app"
  await_exit "$app" 30 || fail "it did not end after SIGTERM"
  [ "$status" -eq 0 ] || fail "it ended with status $status after SIGTERM"
  grep -q "^indev=off" "$settings" || fail "the settings do not name the MIDI input off"
  [ "$(grep -c "no audio stream" "$work/errors.log")" -eq 1 ] || fail "not exactly one line says there is no stream"
  grep "^vorna: no audio stream: ." "$work/errors.log" || fail "the line does not say why there is no stream"
}

check_start
# A display that nobody serves is no display either: the program says so and runs the same way,
# rather than drawing windows that nobody sees.
check_start DISPLAY=:9999
grep -q "^platform: no display could be opened; running headless" "$work/errors.log" ||
  fail "with a display nobody serves it did not say it runs without one"
echo "start without display: passed"
