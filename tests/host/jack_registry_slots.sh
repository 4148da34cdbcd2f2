#!/usr/bin/env bash
# JACK keeps eight server slots across runs, and a killed server keeps its slot: the clean-up
# every JACK script starts with must find and free every slot a killed run left, not only the
# first. Three servers named as a script that no longer runs would name them are killed, then
# the clean-up runs: none of their slots is left.
#
# Exit status 77 when JACK's programs are missing (the test is then skipped).
set -euo pipefail
for tool in jackd jack_lsp; do
  command -v "$tool" > /dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

server="vorna-slots-$$"
source "$(dirname "$0")/jack_script_support.sh"
fail() { echo "registry slots: $*"; exit 1; }

# A process id that names no running script: a child that has ended.
true &
gone=$!
wait "$gone"
names=()
left() { registered_servers | awk '{print $2}' | grep -cF -e "${names[0]}:" -e "${names[1]}:" -e "${names[2]}:" || true; }
free_ours() { for name in "${names[@]}"; do free_registry_slot "$name"; done; }
trap 'free_ours; finish' EXIT

for kind in a b c; do
  name="vorna-slots${kind}-$gone"
  names+=("$name")
  setsid jackd --no-realtime -n "$name" -d dummy -r 48000 -p 256 > "$work/jackd-$kind.log" 2>&1 &
  pid=$!
  pids+=($pid)
  JACK_DEFAULT_SERVER=$name wait_for_port "system:playback_1" || fail "server $name did not start"
  kill -KILL -- "-$pid"
  wait "$pid" 2> /dev/null || true
done
[ "$(left)" -eq 3 ] || fail "the registry lists $(left) of the 3 killed servers: $(registered_servers | tr '\n' ' ')"

reap_jack_leftovers > "$work/reap.log"
[ "$(left)" -eq 0 ] || fail "$(left) slots of killed servers are left: $(registered_servers | tr '\n' ' ')"
echo "the slots of 3 killed servers were found and freed"
