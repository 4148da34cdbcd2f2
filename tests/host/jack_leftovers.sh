# Sourced by jack_script_support.sh: ends what an earlier run of the host's JACK scripts left
# behind when it was killed. ctest kills a script at its timeout with SIGKILL, so its traps never
# run, and its server, clients and JACK's files can stay: a frozen server, semaphores and
# sockets in /dev/shm, and the server's slot in JACK's registry of servers, of which there are
# eight, kept across runs; with eight slots held, no server starts at all. Every server of
# these scripts is named vorna-KIND-PID after the script that started it, and every program a
# script starts carries that name in JACK_DEFAULT_SERVER; what belongs to a script that no
# longer runs is ended. Servers and programs of a script still running (here or in another
# checkout) and servers of other names are never touched.

# True while process $1 runs one of the host's test scripts.
test_script_runs() {
  tr '\0' ' ' 2> /dev/null < "/proc/$1/cmdline" | grep -q "tests/host/[a-z_]*\.sh"
}

# The script's process id in a server name of these scripts; nothing for any other name.
server_script_pid() {
  [[ $1 =~ ^vorna-[a-z0-9]+-([0-9]+)$ ]] && echo "${BASH_REMATCH[1]}"
}

# Kills the programs (with their process groups) whose server's script is gone, and waits
# for them to be gone.
reap_stale_programs() {
  local file proc name script ended=()
  for file in $(grep -zsl "^JACK_DEFAULT_SERVER=vorna-" /proc/[0-9]*/environ); do
    proc=${file#/proc/}
    proc=${proc%/environ}
    # A process may end between the listing and the reading.
    name=$( (tr '\0' '\n' < "$file") 2> /dev/null | sed -n 's/^JACK_DEFAULT_SERVER=//p' | head -n1) || continue
    script=$(server_script_pid "$name") || continue
    [ -n "$script" ] && ! test_script_runs "$script" || continue
    echo "ending process $proc, left by a killed run of server $name"
    kill -KILL -- "-$proc" 2> /dev/null || kill -KILL "$proc" 2> /dev/null || true
    ended+=("$proc")
  done
  for proc in "${ended[@]}"; do timeout 2 tail --pid="$proc" -f /dev/null || true; done
}

# The names in JACK's registry of servers: eight slots of 264 bytes after a 24-byte header
# (the header's fifth word, its length, is 24 + 8 x 264), each a 4-byte process id then a
# 256-byte name "jack-UID:SERVER:" and padding; prints "PID NAME" for each slot in use.
# Read in one pass: on a loaded machine every program started costs a good part of a second.
registered_servers() {
  local registry=/dev/shm/jack-shm-registry bytes pid name char i
  [ -r "$registry" ] || return 0
  while read -r -a bytes; do
    pid=$((16#${bytes[3]}${bytes[2]}${bytes[1]}${bytes[0]}))
    [ "$pid" -ne 0 ] || continue
    name=""
    for ((i = 4; i < ${#bytes[@]}; i++)); do
      [ "${bytes[i]}" = 00 ] && break
      printf -v char "\\x${bytes[i]}"
      name+=$char
    done
    echo "$pid $name"
  done < <(od -A n -v -t x1 -j 24 -N 2112 -w264 "$registry")
}

# A server started under a dead server's name takes its slot back, and gives it up when it
# ends cleanly.
free_registry_slot() {
  local name=$1 again
  setsid jackd --no-realtime -n "$name" -d dummy -r 48000 -p 256 > /dev/null 2>&1 &
  again=$!
  for _ in $(seq 50); do
    JACK_DEFAULT_SERVER=$name timeout -k 1 3 jack_lsp 2> /dev/null | grep -q . && break
    sleep 0.1
  done
  kill -TERM "$again" 2> /dev/null
  timeout 5 tail --pid="$again" -f /dev/null || kill -KILL "$again" 2> /dev/null
  wait "$again" 2> /dev/null || true
}

reap_jack_leftovers() {
  local uid pid entry name script file
  uid=$(id -u)
  reap_stale_programs
  while read -r pid entry; do
    name=${entry#jack-"$uid":}
    name=${name%:}
    script=$(server_script_pid "$name") || continue
    [ -n "$script" ] && ! test_script_runs "$script" && ! kill -0 "$pid" 2> /dev/null || continue
    echo "freeing the registry slot of server $name, left by a killed run"
    free_registry_slot "$name"
  done < <(registered_servers)
  for file in /dev/shm/jack_sem."$uid"_vorna-* /dev/shm/jack_vorna-*; do
    [ -e "$file" ] || continue
    name=${file#/dev/shm/jack_sem."$uid"_}
    name=${name#/dev/shm/jack_}
    [[ $name =~ ^(vorna-[a-z0-9]+-[0-9]+)_ ]] || continue
    script=$(server_script_pid "${BASH_REMATCH[1]}")
    test_script_runs "$script" || rm -f "$file"
  done
}
