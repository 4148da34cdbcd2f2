# Sourced by the host's end-to-end scripts once `server` names their JACK server: a work
# folder whose settings the application reads, the programs started in the background
# (add each to `pids`), ended last first at exit with their logs shown when the script fails,
# and a wait for a JACK port.
work=$(mktemp -d)
export JACK_DEFAULT_SERVER=$server JACK_NO_START_SERVER=1 XDG_CONFIG_HOME=$work/config
pids=()
finish() {
  local status=$?
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2> /dev/null || true; wait "${pids[i]}" 2> /dev/null || true; done
  if [ "$status" -ne 0 ] && [ "$status" -ne 77 ]; then
    for log in "$work"/*.log; do echo "---- $(basename "$log")"; tail -n 40 "$log"; done
  fi
  rm -rf "$work"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Waits up to 10 s for a JACK port whose name contains $1.
wait_for_port() {
  for _ in $(seq 100); do
    jack_lsp 2> /dev/null | grep -qF "$1" && return 0
    sleep 0.1
  done
  echo "no JACK port \"$1\" appeared"
  return 1
}
