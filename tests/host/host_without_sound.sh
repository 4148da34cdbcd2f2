#!/usr/bin/env bash
# vorna-host where no audio stream can open: settings naming an ALSA device that is not
# there (ALSA without configuration), and JACK with no server to reach. Each time it must
# say why in exactly one line on stderr, naming the device the settings ask for, print no
# "running" line, shut down and exit with status 1, without being asked to quit.
#
#   host_without_sound.sh VORNA_HOST
set -euo pipefail

host=$1
source "$(dirname "$0")/script_support.sh"
fail() { echo "host without sound: $*"; exit 1; }

# Runs the host on the given audio settings; fails unless it ends by itself within 20 s.
run_host() {
  mkdir -p "$work/config/Vorna"
  printf '[audio]\n%s\n[midi]\nindev=off\noutdev=off\n' "$1" > "$work/config/Vorna/settings.ini"
  env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$work/config" ALSA_CONFIG_PATH=/dev/null \
    PULSE_SERVER=unix:"$work/none" JACK_NO_START_SERVER=1 JACK_DEFAULT_SERVER="vorna-none-$$" \
    setsid "$host" > "$work/out.log" 2> "$work/err.log" &
  pids+=($!)
  await_exit "$!" 20 || fail "it kept running without sound"
}

check_one_line() {
  local device=$1
  [ "$status" -eq 1 ] || fail "it ended with status $status, not 1"
  [ "$(grep -c "no audio stream" "$work/err.log")" -eq 1 ] || fail "not exactly one line says there is no stream"
  grep -q "^vorna-host: no audio stream: .*\"$device\"" "$work/err.log" ||
    fail "the line does not name the device \"$device\""
  grep -q "^vorna-host: running" "$work/out.log" && fail "it said it was running"
  grep -q "^vorna-host: stopped" "$work/out.log" || fail "it did not shut down"
  grep "no audio stream" "$work/err.log"
}

run_host 'driver=0
indev=vorna-no-such-device
outdev=vorna-no-such-device'
check_one_line vorna-no-such-device

run_host 'driver=2
indev=system
outdev=system'
check_one_line system
echo "host without sound: passed"
