# Shared by the window tests that drive the player under Xvfb (sourced, not
# run: the tests are the *.sh files).

# Makes the session's work dir with its config and runtime dirs: sets work,
# removed at exit.
make_work_dir() {
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/config" "$work/runtime"
  chmod 700 "$work/runtime"
}

# Writes a song of 64 notes on channel 1, a sixteenth apart at 96 ticks per
# quarter, rising through two octaves again and again. Arguments: the file,
# microseconds per quarter note.
write_scale_song() {
  /usr/bin/python3 - "$1" "$2" <<'PY'
import sys, mido
f = mido.MidiFile(ticks_per_beat=96)
t = mido.MidiTrack(); f.tracks.append(t)
t.append(mido.MetaMessage('set_tempo', tempo=int(sys.argv[2]), time=0))
t.append(mido.Message('program_change', channel=0, program=0, time=0))
for i in range(64):
    t.append(mido.Message('note_on', channel=0, note=48 + i % 24, velocity=100, time=0 if i == 0 else 24))
    t.append(mido.Message('note_off', channel=0, note=48 + i % 24, velocity=0, time=24))
f.save(sys.argv[1])
PY
}

# Starts the player on a capture port with a song and waits for its window:
# sets pid and window. Arguments: build dir, work dir, song file.
start_player() {
  local build=$1 work=$2 song=$3
  "$build/tabrino" --port "capture:$work/capture.txt" --zoom 1 "$song" 2>"$work/stderr.txt" &
  pid=$!
  window=
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name "^TabrinoCE - $(basename "$song")\$" 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || { echo "the player ended before its window showed:"; cat "$work/stderr.txt"; exit 1; }
    sleep 0.1
  done
  [ -n "$window" ] || { echo "no window titled \"TabrinoCE - $(basename "$song")\""; kill "$pid"; exit 1; }
}

# Sends the key that closes the window and waits for the program to end
# with 0. Arguments: the key, work dir.
close_player() {
  local key=$1 work=$2
  # The window goes while the key is still being sent, which xdotool may
  # report as an error; what counts is that the program ends.
  xdotool key --window "$window" "$key" 2>/dev/null || true
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "$key did not close the player"; kill "$pid"; exit 1
  fi
  wait "$pid" || { status=$?; echo "the player ended with status $status:"; cat "$work/stderr.txt"; exit 1; }
}

# Runs a session script on a virtual display: its arguments are the build
# and work dirs. Qt's own event dispatcher instead of GLib's, whose wake-ups
# the thread checker cannot follow. A private session bus, where there is
# one, keeps the window from handing its song to a player the user runs.
run_session() {
  local script=$1 build=$2 work=$3
  local private_bus=()
  command -v dbus-run-session >/dev/null && private_bus=(dbus-run-session --)
  XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" QT_NO_GLIB=1 \
    "${private_bus[@]}" xvfb-run -n $((99 + RANDOM % 400)) -a -s "-screen 0 1024x768x24" bash "$script" "$build" "$work" \
    2> >(grep -v "Failed to set fd limit" >&2)
}
