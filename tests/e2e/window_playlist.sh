#!/usr/bin/env bash
# The window's playlist driven over a private session bus (the real
# program, offscreen): three songs named on the command line play in order
# with the pause of 2 s between them (the capture's microsecond times);
# MPRIS Next, Previous, CanGoNext/CanGoPrevious, LoopStatus and Shuffle; a
# second start hands two songs over as the new list; the list and its
# current song come back at the next start.
set -euo pipefail
build=$(cd "$1" && pwd)
export PYTHONPATH
PYTHONPATH=$(cd "$(dirname "$0")" && pwd)
for tool in dbus-run-session gdbus; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed: skipping"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/runtime"
chmod 700 "$work/runtime"

# Songs of half a second told apart by their note: A 60, B 62, C 64.
/usr/bin/python3 - "$work" <<'PY'
import struct, sys
for name, note in (("A.mid", 60), ("B.mid", 62), ("C.mid", 64)):
    ev = bytes([0, 0xFF, 0x51, 3, 0x03, 0xD0, 0x90, 0, 0x90, note, 100, 0x60, 0x80, note, 0, 0x60, 0xFF, 0x2F, 0])
    with open(f"{sys.argv[1]}/{name}", 'wb') as f:
        f.write(b'MThd' + struct.pack('>IHHH', 6, 0, 1, 96) + b'MTrk' + struct.pack('>I', len(ev)) + ev)
PY

cat >"$work/session.sh" <<'SH'
set -euo pipefail
build=$1; work=$2
mpris=(--session -d org.mpris.MediaPlayer2.tabrino -o /org/mpris/MediaPlayer2)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null' EXIT
fail() { echo "$*"; [ -n "$pid" ] && kill "$pid" 2>/dev/null; cat "$work/stderr.txt" 2>/dev/null; exit 1; }
await() { for _ in $(seq 150); do "$@" && return 0; sleep 0.1; done; return 1; }
property() { gdbus call "${mpris[@]}" -m org.freedesktop.DBus.Properties.Get org.mpris.MediaPlayer2.Player "$1" 2>/dev/null; }
property_has() { property "$1" | grep -qF -- "$2"; }
notes() { /usr/bin/python3 -c "
import sys; from capture import messages
print(' '.join(str(m[1]) for m in messages(sys.argv[1]) if m[0] == 0x90 and m[2] > 0))" "$work/capture.txt" 2>/dev/null; }
notes_are() { [ "$(notes)" = "$1" ]; }
quit() {
  gdbus call "${mpris[@]}" -m org.mpris.MediaPlayer2.Quit >/dev/null || true
  wait "$pid" || fail "the player ended with $?"
  pid=
}

cd "$work"
"$build/tabrino" --port "capture:$work/capture.txt" A.mid B.mid C.mid 2>"$work/stderr.txt" &
pid=$!
await property_has Metadata "file://$work/A.mid" || fail "the first song is not in place"
property_has CanGoNext true && property_has CanGoPrevious false || fail "CanGoNext/CanGoPrevious at the first song"
gdbus call "${mpris[@]}" -m org.mpris.MediaPlayer2.Player.Play >/dev/null
await notes_are "60 62 64" || fail "the songs did not play in order: $(notes)"
/usr/bin/python3 - "$work/capture.txt" <<'PY' || fail "the pause between the songs"
import sys
rows = [line.split() for line in open(sys.argv[1])]
ons = [int(rows[i][0]) for i in range(len(rows) - 2) if rows[i][1] == '90' and int(rows[i + 2][1], 16) > 0]
for a, b in zip(ons, ons[1:]):
    # Half a second of song, then the pause of two.
    assert 2.4 < (b - a) / 1e6 < 3.5, ("pause between songs", (b - a) / 1e6)
PY
await property_has PlaybackStatus Stopped || fail "the list did not stop after its last song"
property_has CanGoNext false || fail "CanGoNext at the last song"
gdbus call "${mpris[@]}" -m org.mpris.MediaPlayer2.Player.Previous >/dev/null
await property_has Metadata "file://$work/B.mid" || fail "Previous did not go back"
# Repeat and shuffle are the desktop's to set and read back.
gdbus call "${mpris[@]}" -m org.freedesktop.DBus.Properties.Set org.mpris.MediaPlayer2.Player LoopStatus "<'Playlist'>" >/dev/null
gdbus call "${mpris[@]}" -m org.freedesktop.DBus.Properties.Set org.mpris.MediaPlayer2.Player Shuffle "<true>" >/dev/null
await property_has LoopStatus Playlist || fail "LoopStatus: $(property LoopStatus)"
await property_has Shuffle true || fail "Shuffle: $(property Shuffle)"
gdbus call "${mpris[@]}" -m org.freedesktop.DBus.Properties.Set org.mpris.MediaPlayer2.Player LoopStatus "<'Sometimes'>" \
  >/dev/null 2>&1 && fail "LoopStatus took a value MPRIS does not have"
gdbus call "${mpris[@]}" -m org.freedesktop.DBus.Properties.Set org.mpris.MediaPlayer2.Player Shuffle "<false>" >/dev/null
# A second start hands two songs over as one new list.
"$build/tabrino" C.mid A.mid 2>/dev/null || fail "the second start ended with $?"
await property_has Metadata "file://$work/C.mid" || fail "the handed-over list did not open"
gdbus call "${mpris[@]}" -m org.mpris.MediaPlayer2.Player.Next >/dev/null
await property_has Metadata "file://$work/A.mid" || fail "Next did not go to the second song handed over"
quit
grep -q "^C.mid$" "$work/config/TabrinoCE/playlist.m3u8" 2>/dev/null \
  || grep -q "/C.mid$" "$work/config/TabrinoCE/playlist.m3u8" || fail "no playlist kept: $(cat "$work/config/TabrinoCE/playlist.m3u8")"
# The next start without files has the list back, at its current song.
"$build/tabrino" --port none 2>"$work/stderr.txt" &
pid=$!
await property_has Metadata "file://$work/A.mid" || fail "the kept list's current song is not in place"
property_has CanGoPrevious true && property_has LoopStatus Playlist || fail "the kept list's place or repeat"
quit
SH
# Qt's own event dispatcher instead of GLib's, whose wake-ups the thread
# checker cannot follow (as the window tests under Xvfb run it).
XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen QT_NO_GLIB=1 \
  dbus-run-session -- bash "$work/session.sh" "$build" "$work"
echo "window playlist ok"
