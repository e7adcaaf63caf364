#!/usr/bin/env bash
# `make run`: the player window with the demo song through the built-in
# synthesizer. Without a display the demo song plays with tabrino-play; with
# no sound output either, it is rendered into build/demo.wav instead.
#
# For the tests: TABRINO_RUN_SONG and TABRINO_RUN_WAV replace the song and
# the WAV file, and the first argument the build folder.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
song=${TABRINO_RUN_SONG:-res/demo.mid}
wav=${TABRINO_RUN_WAV:-build/demo.wav}

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/tabrino" "$song"
fi

# The one place that makes the WAV file, rendered faster than real time.
render() {
  "$build/tools/tabrino-play" --render "$wav" "$song" </dev/null
}

# A sound card, or a sound server of the session.
has_sound_output() {
  local runtime=${XDG_RUNTIME_DIR:-/run/user/$(id -u)}
  [ -d /dev/snd ] || [ -S "$runtime/pulse/native" ] || [ -S "$runtime/pipewire-0" ]
}

# Ending by Ctrl-C (130), a hang-up (129) or a termination request (143) is
# the user's choice, not a failure.
stopped_on_purpose() {
  [ "$1" = 130 ] || [ "$1" = 129 ] || [ "$1" = 143 ]
}

echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set)."
if has_sound_output; then
  echo "Playing $song with tabrino-play; press Ctrl-C to stop."
  status=0
  "$build/tools/tabrino-play" --port synth "$song" || status=$?
  if [ "$status" = 0 ] || stopped_on_purpose "$status"; then
    exit 0
  fi
  echo "The sound output could not be used."
else
  echo "No sound output either."
fi

mkdir -p "$(dirname "$wav")"
echo "Rendering $song through the built-in synthesizer into $wav..."
status=0
render || status=$?
if [ "$status" != 0 ] && ! stopped_on_purpose "$status"; then
  echo "Rendering failed (status $status)." >&2
  exit "$status"
fi
echo "Done: $wav"
echo "Play it with: aplay $wav   (or any audio player)"
exit 0
