# Sourced by the host's end-to-end scripts once `server` names their JACK server: what
# script_support.sh gives, with the application's settings in the work folder and JACK's
# clients pointed at that server, and a wait for a JACK port.
source "$(dirname "${BASH_SOURCE[0]}")/script_support.sh"
source "$(dirname "${BASH_SOURCE[0]}")/jack_leftovers.sh"
export JACK_DEFAULT_SERVER=$server JACK_NO_START_SERVER=1 XDG_CONFIG_HOME=$work/config
reap_jack_leftovers

# Waits up to $2 seconds (10 by default) for a JACK port whose name contains $1. A server that
# stopped answering holds a client for good, so each look has a deadline of its own: the script
# fails with its logs instead of waiting until ctest kills it. The host's ports are waited for
# longer than the host waits for the server at its start, so that its line saying why is logged.
wait_for_port() {
  local end=$((SECONDS + ${2:-10}))
  while [ "$SECONDS" -lt "$end" ]; do
    timeout -k 1 3 jack_lsp 2> /dev/null | grep -qF "$1" && return 0
    sleep 0.1
  done
  echo "no JACK port \"$1\" appeared"
  return 1
}
