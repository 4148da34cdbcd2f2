#!/usr/bin/env bash
# Builds every libFuzzer target with clang in build-fuzz/ and runs each for
# FUZZ_SECONDS (default 20), starting from a copy of its committed corpus
# (fuzz/corpus/<name>/) and the seeds its generator writes now, with the flags its
# fuzz/CMakeLists.txt entry gives. Fails on any crash, leak or sanitizer report, and
# when a fuzzer has no committed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-20}"
dir=build-fuzz
# FUZZ_JOBS sets how many fuzzers run at once, and the build's parallel jobs (default: one
# per core, at most 8), on a machine shared with other work.
jobs="${FUZZ_JOBS:-$(nproc)}"
[ "$jobs" -gt 8 ] && jobs=8

# Line tables only and LLVM's linker where installed, as in scripts/build.sh.
lines="-O2 -g1 -DNDEBUG"
linker=()
command -v ld.lld >/dev/null 2>&1 && linker=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld)
CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="$lines" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$lines" "${linker[@]}" \
  -DVORNA_BUILD_FUZZ=ON -DVORNA_BUILD_TESTS=OFF -DVORNA_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j "$jobs" --target fuzzers

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# One fuzzer: a fresh copy of its committed corpus (the run adds what it finds there), its
# seeds' generator if it has one, then the run itself, its output kept in its own log.
run_fuzzer() {
  local name="$1" generator="${2:-}"
  shift 2
  local flags=("$@")
  local corpus="$dir/corpus/$name" artifacts="$dir/artifacts/$name" committed="fuzz/corpus/$name"
  rm -rf "$corpus" "$artifacts"
  mkdir -p "$corpus" "$artifacts"
  if [ -z "$(ls -A "$committed" 2>/dev/null)" ]; then
    echo "== $name: no committed corpus in $committed"
    return 1
  fi
  cp "$committed"/* "$corpus"/
  if [ -n "$generator" ] && [ "$generator" != "-" ]; then
    "$dir/fuzz/$generator" "$corpus"
  fi
  echo "== $name: $(ls "$corpus" | wc -l) seeds, ${seconds}s"
  "$dir/fuzz/$name" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$artifacts/" "${flags[@]}" "$corpus"
}

# The fuzzers run side by side, one per core: each is single-threaded.
mkdir -p "$dir/logs"
declare -A pids=()
while read -r name generator flags; do
  [ -n "$name" ] || continue
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  # shellcheck disable=SC2086 # the flags are words
  run_fuzzer "$name" "${generator:--}" $flags >"$dir/logs/$name.log" 2>&1 &
  pids[$name]=$!
done < "$dir/fuzz/fuzzers.txt"

failed=()
for name in "${!pids[@]}"; do
  if ! wait "${pids[$name]}"; then
    failed+=("$name")
    tail -n 40 "$dir/logs/$name.log" >&2
  fi
  grep -E "^== |stat::number_of_executed_units|stat::peak_rss_mb" "$dir/logs/$name.log" || true
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzzers that failed: ${failed[*]} (inputs in $dir/artifacts/)" >&2
  exit 1
fi
echo "all fuzzers ran ${seconds}s clean"
