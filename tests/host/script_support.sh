# Sourced by the host's scripts that start programs: a work folder, the programs started in
# the background, each in a process group of its own (`setsid PROGRAM ... &`, then add $! to
# `pids`), all ended last first when the script ends, however it ends (INT and TERM too),
# with the folder's logs shown when it fails; and a wait for a program to end.
work=$(mktemp -d)
pids=()
# A program that crashes leaves a core where the system puts one in the working folder; the
# script shows its threads when it fails (set `core_program` to the program's path).
ulimit -c unlimited 2> /dev/null || true
core_program=""
# Running, and not a zombie waiting to be reaped.
alive() {
  local state
  state=$(awk '{print $3}' "/proc/$1/stat" 2> /dev/null) || return 1
  [ -n "$state" ] && [ "$state" != Z ]
}
# Ends the process group a program was started in: TERM, and after a short grace KILL for
# whatever ignores TERM (jack_midiseq does), so that no server or client outlives the script.
end_group() {
  kill -TERM -- "-$1" 2> /dev/null || kill -TERM "$1" 2> /dev/null || true
  for _ in $(seq 20); do alive "$1" || break; sleep 0.1; done
  kill -KILL -- "-$1" 2> /dev/null || kill -KILL "$1" 2> /dev/null || true
  wait "$1" 2> /dev/null || true
}
finish() {
  local status=$?
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do end_group "${pids[i]}"; done
  if [ "$status" -ne 0 ] && [ "$status" -ne 77 ]; then
    for log in "$work"/*.log; do [ -e "$log" ] && { echo "---- $(basename "$log")"; tail -n 40 "$log"; }; done
    local core
    for core in $(find . -maxdepth 1 -name 'core*' -newer "$work" 2> /dev/null); do
      echo "---- $core"
      command -v gdb > /dev/null && gdb -batch -q -ex "thread apply all bt 25" $core_program "$core" 2>&1 | tail -n 150
      rm -f "$core"
    done
  fi
  rm -rf "$work"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Waits up to $2 seconds for process $1, a child of this script, to end; sets `status` to its
# exit status, or returns 1 if it is still running.
await_exit() {
  timeout "$2" tail --pid="$1" -f /dev/null || return 1
  status=0
  wait "$1" || status=$?
}

# Starts Xvfb on a display it picks itself (so that checks running side by side never meet),
# exports DISPLAY, and waits until the display answers.
start_xvfb() {
  exec 3> "$work/display"
  setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
  pids+=($!)
  exec 3>&-
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$work/display")"
  for _ in $(seq 100); do xdotool getdisplaygeometry > /dev/null 2>&1 && break; sleep 0.05; done
}

# Prints the id of a visible window whose title matches $1 once there is one, waiting up to
# $2 seconds; nothing if none comes.
visible_window() {
  local found=""
  for _ in $(seq $(($2 * 20))); do
    found=$(xdotool search --onlyvisible --name "$1" 2> /dev/null | head -n1) || true
    [ -n "$found" ] && break
    sleep 0.05
  done
  echo "$found"
}
