#!/usr/bin/env bash
# Configures and builds one flavour of the tree.
#   scripts/build.sh            plain build in build/
#   scripts/build.sh sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
#   scripts/build.sh thread     ThreadSanitizer build in build-tsan/
# VORNA_JOBS sets the number of parallel compile jobs (default: one per core).
set -euo pipefail
cd "$(dirname "$0")/.."

flavour="${1:-plain}"
case "$flavour" in
  plain)    dir=build;      extra=(); targets=() ;;
  sanitize) dir=build-asan; extra=(-DVORNA_SANITIZE="address;undefined" -DVORNA_BUILD_BENCH=OFF); targets=() ;;
  # Only the threaded tests run under ThreadSanitizer, so only they are built there.
  thread)   dir=build-tsan; extra=(-DVORNA_SANITIZE=thread -DVORNA_BUILD_BENCH=OFF); targets=(--target tsan-tests) ;;
  *) echo "unknown build flavour: $flavour (plain, sanitize or thread)" >&2; exit 2 ;;
esac

# A compiler cache where one is installed; VORNA_JOBS shares the machine with other builds.
if command -v ccache >/dev/null 2>&1; then
  extra+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# LLVM's linker where installed: the test programs link in half the time.
if command -v ld.lld >/dev/null 2>&1; then
  extra+=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DCMAKE_SHARED_LINKER_FLAGS=-fuse-ld=lld
          -DCMAKE_MODULE_LINKER_FLAGS=-fuse-ld=lld)
fi
# Line tables only: enough for backtraces, sanitizer reports and profiles, and a
# quarter less compile time than full debug information.
lines="-O2 -g1 -DNDEBUG"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="$lines" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$lines" "${extra[@]}" >/dev/null
cmake --build "$dir" -j "${VORNA_JOBS:-$(nproc)}" "${targets[@]}"
