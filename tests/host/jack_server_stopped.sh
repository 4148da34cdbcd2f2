#!/usr/bin/env bash
# Quitting while the JACK server no longer runs its clients: vorna-host plays through a dummy
# server, the server is stopped (SIGSTOP, as a frozen server), and SIGTERM must still end the
# host within a bounded wait, with status 0 and one line on stderr saying why it ended so.
#
#   jack_server_stopped.sh HOST
#
# Exit status 77 when JACK's programs are missing (the test is then skipped).
set -euo pipefail

host=$1
for tool in jackd jack_lsp; do
  command -v "$tool" > /dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

server="vorna-stopped-$$"
source "$(dirname "$0")/jack_script_support.sh"
fail() { echo "server stopped: $*"; exit 1; }

trap end_stopped_or_killed_server EXIT
start_dummy_server only

mkdir -p "$XDG_CONFIG_HOME/Vorna"
printf '[audio]\ndriver=2\nindev=system\noutdev=system\nsr=48000\niovs=256\nsigvs=32\n[midi]\nindev=virtual input\n' \
  > "$XDG_CONFIG_HOME/Vorna/settings.ini"
setsid "$host" > "$work/host.log" 2> "$work/host-errors.log" &
host_pid=$!
pids+=($host_pid)
core_program=$host
wait_for_port "RtApiJack:outport 1" 15
for _ in $(seq 100); do grep -q "vorna-host: running" "$work/host.log" && break; sleep 0.1; done
grep -q "vorna-host: running" "$work/host.log" || fail "the host did not start playing"
sleep 0.5

kill -STOP -- "-$jackd_pid"
start=$(date +%s%N)
kill -TERM "$host_pid"
await_exit "$host_pid" 20 || fail "SIGTERM did not end the host within 20 s of the server stopping"
waited_ms=$((($(date +%s%N) - start) / 1000000))
kill -CONT -- "-$jackd_pid"
echo "the host ended $waited_ms ms after SIGTERM, with status $status"
cat "$work/host-errors.log"
[ "$status" -eq 0 ] || fail "it ended with status $status, not 0"
[ "$(grep -c "the shut-down waited" "$work/host-errors.log")" -eq 1 ] ||
  fail "not exactly one line says why the shut-down was cut short"
grep -q "^driver=2" "$XDG_CONFIG_HOME/Vorna/settings.ini" || fail "the settings were not kept"
echo "server stopped: passed"
