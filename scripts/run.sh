#!/usr/bin/env bash
# Sets everything up, builds, and renders the demo piece with the default sound.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
bash scripts/build.sh plain
./build/tools/vorna-render examples/demo.mid build/demo.wav
echo "The demo is in $(pwd)/build/demo.wav"
