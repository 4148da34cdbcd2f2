# Sourced by the host's end-to-end scripts once `server` names their JACK server: what
# script_support.sh gives, with the application's settings in the work folder and JACK's
# clients pointed at that server, and a wait for a JACK port.
source "$(dirname "${BASH_SOURCE[0]}")/script_support.sh"
export JACK_DEFAULT_SERVER=$server JACK_NO_START_SERVER=1 XDG_CONFIG_HOME=$work/config

# Waits up to 10 s for a JACK port whose name contains $1.
wait_for_port() {
  for _ in $(seq 100); do
    jack_lsp 2> /dev/null | grep -qF "$1" && return 0
    sleep 0.1
  done
  echo "no JACK port \"$1\" appeared"
  return 1
}
