#!/usr/bin/env bash
# Builds every libFuzzer target with clang in build-fuzz/ and runs each for
# FUZZ_SECONDS (default 20), starting from a copy of its committed corpus
# (fuzz/corpus/<name>/) and the seeds its generator writes now. Fails on any
# crash, leak or sanitizer report, and when a fuzzer has no committed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-20}"
dir=build-fuzz
jobs="$(nproc)"
[ "$jobs" -gt 8 ] && jobs=8

CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVORNA_BUILD_FUZZ=ON -DVORNA_BUILD_TESTS=OFF -DVORNA_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

failed=()
while read -r name generator; do
  [ -n "$name" ] || continue
  corpus="$dir/corpus/$name"
  artifacts="$dir/artifacts/$name"
  committed="fuzz/corpus/$name"
  rm -rf "$corpus" "$artifacts"
  mkdir -p "$corpus" "$artifacts"
  if [ -z "$(ls -A "$committed" 2>/dev/null)" ]; then
    echo "== $name: no committed corpus in $committed" >&2
    failed+=("$name")
    continue
  fi
  # Into a copy: the run adds what it finds, the committed corpus stays as it is.
  cp "$committed"/* "$corpus"/
  if [ -n "${generator:-}" ]; then
    "$dir/fuzz/$generator" "$corpus"
  fi
  echo "== $name: $(ls "$corpus" | wc -l) seeds, ${seconds}s"
  if ! "$dir/fuzz/$name" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$artifacts/" "$corpus"; then
    failed+=("$name")
  fi
done < "$dir/fuzz/fuzzers.txt"

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzzers that failed: ${failed[*]} (inputs in $dir/artifacts/)" >&2
  exit 1
fi
echo "all fuzzers ran ${seconds}s clean"
