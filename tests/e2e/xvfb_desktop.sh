#!/usr/bin/env bash
# The player window among other programs, on a virtual X display and a
# private session bus: a second start hands a file that cannot be opened to
# the running window (the song and title stay), then a good one (it opens
# there); the desktop's media controls start it (MPRIS PlayPause); SIGTERM
# while it plays ends it as the close box does: the capture ends with the
# all-off, the settings file is written, the status is 143.
set -euo pipefail
build=$(cd "$1" && pwd)
export PYTHONPATH
PYTHONPATH=$(cd "$(dirname "$0")" && pwd)
for tool in xvfb-run dbus-run-session gdbus xdotool; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed: skipping the desktop test"; exit 0; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/runtime"
chmod 700 "$work/runtime"

# Two songs told apart by their notes: a.mid plays 40.., b.mid 70...
/usr/bin/python3 - "$work" <<'PY'
import struct, sys
for name, base in (("a.mid", 40), ("b.mid", 70)):
    body = bytearray(b'\x00\xff\x51\x03\x07\xa1\x20')
    for i in range(200):
        body += bytes([0, 0x90, base + i % 12, 100, 48, 0x80, base + i % 12, 0])
    body += b'\x00\xff\x2f\x00'
    with open(f"{sys.argv[1]}/{name}", 'wb') as f:
        f.write(b'MThd' + struct.pack('>IHHH', 6, 0, 1, 96) + b'MTrk' + struct.pack('>I', len(body)) + bytes(body))
PY

cat >"$work/session.sh" <<'SH'
set -euo pipefail
build=$1; work=$2
mpris=(--session -d org.mpris.MediaPlayer2.tabrino -o /org/mpris/MediaPlayer2)
fail() {
  echo "$*"
  cat "$work/stderr.txt"
  kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  exit 1
}
# Waits up to 30 s for a command to succeed.
await() {
  for _ in $(seq 300); do
    "$@" >/dev/null 2>&1 && return 0
    kill -0 "$pid" 2>/dev/null || fail "the player ended early"
    sleep 0.1
  done
  return 1
}
title_is() { xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
# The player's windows on the screen: its face, and a message box over it.
windows_are() { [ "$(xdotool search --onlyvisible --classname '^tabrino$' 2>/dev/null | wc -l)" = "$1" ]; }
property() {
  gdbus call "${mpris[@]}" -m org.freedesktop.DBus.Properties.Get org.mpris.MediaPlayer2.Player "$1"
}
property_has() { property "$1" | grep -qF -- "$2"; }
captured_more_than() { [ "$(wc -l <"$work/capture.txt")" -gt "$1" ]; }

cd "$work"
"$build/tabrino" --port "capture:$work/capture.txt" a.mid 2>"$work/stderr.txt" &
pid=$!
await title_is "TabrinoCE - a.mid" || fail "no window titled \"TabrinoCE - a.mid\""
await property_has Metadata "file://$work/a.mid" || fail "the player is not on the session bus"

# A file that cannot be opened, handed over by a second start: its message
# box shows, and the song and the title stay.
"$build/tabrino" missing.mid || fail "the second start ended with $?"
await windows_are 2 || fail "no message box for the missing file"
title_is "TabrinoCE - a.mid" || fail "the title changed after a failed open"
property_has Metadata "file://$work/a.mid" || fail "the song changed after a failed open"

# A good file reaches the first window too, which opens it; the second
# start has ended by then, without a window of its own (the message box of
# the missing file stays until the end).
"$build/tabrino" b.mid || fail "the second start ended with $?"
await title_is "TabrinoCE - b.mid" || fail "the handed-over file did not open"
windows_are 2 || fail "a window more than the player's and its message box"

# The desktop's play-pause starts it.
gdbus call "${mpris[@]}" -m org.mpris.MediaPlayer2.Player.PlayPause >/dev/null
await property_has PlaybackStatus Playing || fail "PlayPause did not start the song"
# Notes after the start sequence of 192 bytes.
await captured_more_than 230 || fail "nothing was played"

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" = 143 ] || fail "SIGTERM ended the player with $status"
SH
XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" QT_NO_GLIB=1 \
  dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/session.sh" "$build" "$work" \
  2> >(grep -v "Failed to set fd limit" >&2)

grep -Fxq '"DrumChannel"=hex(1):31,30,00' "$work/config/TabrinoCE/registry.reg" \
  || { echo "the close did not write the settings"; cat "$work/config/TabrinoCE/registry.reg"; exit 1; }
grep -Fq "\"Recent1\"=hex(1):$(printf '%s' "$work/b.mid" | od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//;s/,$//'),00" \
  "$work/config/TabrinoCE/registry.reg" \
  || { echo "b.mid is not the most recent file"; cat "$work/config/TabrinoCE/registry.reg"; exit 1; }

/usr/bin/python3 - "$work/capture.txt" <<'PY'
import sys
from capture import all_off, messages
messages = messages(sys.argv[1])
notes = [m[1] for m in messages if m[0] == 0x90 and m[2] > 0]
assert notes and all(70 <= n < 82 for n in notes), ("not the notes of b.mid", notes[:20])
assert messages[-48:] == all_off(), "SIGTERM did not silence the output"
print("desktop session ok:", len(notes), "notes")
PY
