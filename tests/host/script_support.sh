# Sourced by the host's scripts that start programs: a work folder, the programs started in
# the background (add each to `pids`), all ended last first when the script ends, however it
# ends (INT and TERM too), with the folder's logs shown when it fails; and a wait for a
# program to end.
work=$(mktemp -d)
pids=()
finish() {
  local status=$?
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2> /dev/null || true; wait "${pids[i]}" 2> /dev/null || true; done
  if [ "$status" -ne 0 ] && [ "$status" -ne 77 ]; then
    for log in "$work"/*.log; do [ -e "$log" ] && { echo "---- $(basename "$log")"; tail -n 40 "$log"; }; done
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
