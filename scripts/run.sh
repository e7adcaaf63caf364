#!/usr/bin/env bash
# `make run`: the player window with the demo song through the built-in
# synthesizer; without a display, the demo song on the command line.
set -uo pipefail
cd "$(dirname "$0")/.."
build=build/default
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/tabrino" res/demo.mid
fi
echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): playing res/demo.mid with tabrino-play instead."
echo "Press Ctrl-C to stop."
status=0
"$build/tools/tabrino-play" --port synth res/demo.mid || status=$?
# 130 is the Ctrl-C that ends playback on purpose.
if [ "$status" != 0 ] && [ "$status" != 130 ]; then
  echo "tabrino-play could not play through the built-in synthesizer (no sound output?)." >&2
  echo "Try: $build/tools/tabrino-play --port synth:demo.wav res/demo.mid" >&2
  exit "$status"
fi
exit 0
