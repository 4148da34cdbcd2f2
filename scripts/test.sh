#!/usr/bin/env bash
# Sets everything up and runs every test.
#   scripts/test.sh             plain build
#   scripts/test.sh sanitize    the same tests under AddressSanitizer and UndefinedBehaviorSanitizer
#   scripts/test.sh thread      the threaded tests (label tsan) under ThreadSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."

flavour="${1:-plain}"
bash scripts/setup.sh
bash scripts/build.sh "$flavour"

dir=build
labels=()
if [ "$flavour" = sanitize ]; then
  dir=build-asan
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp
elif [ "$flavour" = thread ]; then
  # The other tests run in the plain and sanitize flavours; here only the threads matter.
  dir=build-tsan
  labels=(-L tsan)
  export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
fi
ctest --test-dir "$dir" "${labels[@]}" -j "$(nproc)" --output-on-failure --timeout 600
# The platform layer, a window of the window layer and an editor of the GUI framework on a
# real (virtual) display: only the plain build, sanitizers add nothing there.
if [ "$flavour" = plain ]; then
  bash scripts/check_platform_demo.sh "$dir"
  bash scripts/check_swell_demo.sh "$dir"
  bash scripts/check_swell_clipboard.sh "$dir"
  bash scripts/check_swell_dialog_demo.sh "$dir"
  bash scripts/check_gui_demo.sh "$dir"
fi
