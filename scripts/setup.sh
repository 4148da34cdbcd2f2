#!/usr/bin/env bash
# Installs every Debian package Vorna needs to build, test, benchmark and fuzz.
# Idempotent, and one apt-get call on purpose: installing the JACK server separately
# would remove the RtAudio and RtMidi development packages again.
set -euo pipefail

packages=(
  # toolchain
  g++ cmake ninja-build pkg-config clang libclang-rt-14-dev lld
  # the product's own dependencies
  librtaudio-dev librtmidi-dev libpng-dev zlib1g-dev
  # the JACK server and its clients for the application's end-to-end tests (jackd2's
  # development package replaces JACK 1's, which the RtAudio and RtMidi ones accept)
  jackd2 libjack-jackd2-dev
  # platform layer (fonts-dejavu-extra: the condensed face the editor's text uses)
  libsdl2-dev libcairo2-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-dejavu-extra libx11-dev libxext-dev
  # tools and tests
  libsndfile1-dev libgtest-dev libgmock-dev libbenchmark-dev libpixman-1-dev xvfb xauth xdotool xclip
  # a window manager, to play the application under one as a desktop would
  openbox
  # the threads of a program that crashed or hung in an end-to-end check
  gdb
  # benchmarks: instruction counts, and the peer synthesizer hosted through DSSI beside ours
  valgrind amsynth dssi-dev ladspa-sdk
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
