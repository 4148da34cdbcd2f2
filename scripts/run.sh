#!/usr/bin/env bash
# Sets everything up, builds, and starts the application on the desktop. Without a display it
# renders the demo piece with the default sound instead and says how to start the application.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
bash scripts/build.sh plain
app=./build/IPlugExamples/Vorna/app_wrapper/vorna
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "Starting Vorna (File > Preferences... picks the audio driver and MIDI ports; settings in ${XDG_CONFIG_HOME:-$HOME/.config}/Vorna/settings.ini)"
  exec "$app"
fi
./build/tools/vorna-render examples/demo.mid build/demo.wav
echo "The demo is in $(pwd)/build/demo.wav"
echo "There is no display here. On a desktop, start the application with: bash scripts/run.sh (or $(pwd)/${app#./})"
