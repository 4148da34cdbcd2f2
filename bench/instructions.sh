#!/usr/bin/env bash
# Instructions per rendered frame, counted by callgrind: each pattern is rendered
# for 4 s and for 2 s, and the difference of the two counts over the 2 s of frames
# between them leaves out loading, setup and the chord's start. Counts do not
# depend on what else the machine runs, so the patterns run four at a time.
#   bench/instructions.sh [BUILD_DIR] [PATCH...]
# Without patches: the default sound at 1, 8 and 32 notes and the saw, filter,
# FM, oversampling, shiver and noise patches at 8 and 32 notes, each beside the
# peer (amsynth) playing the same chord, and the heavy patches of render-bench.
set -euo pipefail

build=${1:-build}
shift || true
once=$build/bench/render-once
[ -x "$once" ] || { echo "instructions.sh: build $once first" >&2; exit 1; }
command -v valgrind > /dev/null || { echo "instructions.sh: valgrind is not installed (scripts/setup.sh)" >&2; exit 1; }

rate=48000
patches=("$@")
# The sounds a musician plays, each at 8 and 32 notes beside the peer set as close as it goes.
peer_patches=("default 1 note" "default 8 notes" "default 32 notes")
for n in 8 32; do
  for p in "saws" "saws simple env" "saws simple driven env" "saws reson env" "saws t ladder env" "saws moog env" "saws formant" "saws formant env" "saws formant driven env" "fm" "x4" "shiver" "noise"; do
    peer_patches+=("$p $n")
  done
done
peer_patches+=("x16 32")
[ ${#patches[@]} -gt 0 ] || patches=("${peer_patches[@]}" "typical 32" "ladder 32" "moog 32" "x16 8" "tune shiver 8" "tune shiver 32" "pan shiver 8" "pan shiver 32")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# amsynth keeps its banks under the data home; a scratch one keeps the user's untouched.
export XDG_DATA_HOME=$work/data HOME=$work

jobs=()
for patch in "${patches[@]}"; do
  jobs+=("ours|$patch")
  for p in "${peer_patches[@]}"; do [ "$p" = "$patch" ] && jobs+=("peer|$patch"); done
done

count() {  # side, seconds, patch -> instructions
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$once" "$1" "$2" "$3" 2>&1 > /dev/null |
    sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}
export -f count
export once

printf '%s\n' "${jobs[@]}" | xargs -d '\n' -P 4 -I{} bash -c '
  side=${1%%|*}; patch=${1#*|}
  long=$(count "$side" 4 "$patch"); short=$(count "$side" 2 "$patch")
  echo "$side|$patch|$long|$short" > "'"$work"'/$(echo "$1" | tr " /|" "___")"
' _ {}

printf '%-22s %14s %14s %8s\n' "patch" "ours" "peer" "ratio"
for patch in "${patches[@]}"; do
  per_frame() {
    local f=$work/$(echo "$1|$patch" | tr " /|" "___")
    [ -s "$f" ] || { echo "-"; return; }
    IFS='|' read -r _ _ long short < "$f"
    echo $(( (long - short) / (2 * rate) ))
  }
  ours=$(per_frame ours)
  peer=$(per_frame peer)
  ratio=-
  [ "$peer" != "-" ] && [ "$ours" != "-" ] && ratio=$(awk -v a="$ours" -v b="$peer" 'BEGIN { printf "%.2f", a / b }')
  printf '%-22s %14s %14s %8s\n' "$patch" "$ours" "$peer" "$ratio"
done
