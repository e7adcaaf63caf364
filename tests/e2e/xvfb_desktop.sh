#!/usr/bin/env bash
# The player window among other programs, on a virtual X display and a
# private session bus. Five starts at once give one window; later starts
# hand over a missing file (its box shows; the song and title stay) and a
# good one (it opens there; the --port given with it is said not to apply).
# The desktop's media controls are told of changes by signals, and the idle
# window does not wake to look for them: PlayPause,
# the volume, a seek far past the end (the song ends: Stopped, the position
# at the length). A flood of failed opens gathers into the one box, and Quit
# still ends the player. A second run is ended by SIGTERM and SIGHUP within
# milliseconds: the capture ends with the all-off, the status is one of theirs, the
# settings are written, and the volume set before is remembered. Without a
# session bus a start says so and shows its window.
set -euo pipefail
build=$(cd "$1" && pwd)
export PYTHONPATH
PYTHONPATH=$(cd "$(dirname "$0")" && pwd)
for tool in xvfb-run dbus-run-session gdbus xdotool; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed: skipping the desktop test"; exit 0; }
done
source "$(dirname "$0")/window_session.bash"
make_work_dir

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
pid=
fail() {
  echo "$*"
  cat "$work"/stderr*.txt
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  exit 1
}
# Waits up to 30 s for a command to succeed.
await() {
  for _ in $(seq 300); do
    "$@" >/dev/null 2>&1 && return 0
    [ -z "$pid" ] || kill -0 "$pid" 2>/dev/null || fail "the player ended early"
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
signalled() { grep -qF -- "$1" "$work/signals.txt"; }
captured_more_than() { [ "$(wc -l <"$work/capture.txt")" -gt "$1" ]; }

cd "$work"
# Five starts at once: one takes the player's name and shows its window,
# the others hand their file to it and end with 0.
starts=()
for n in 1 2 3 4 5; do
  "$build/tabrino" --port "capture:$work/capture.txt" a.mid 2>"$work/stderr$n.txt" &
  starts+=($!)
done
await title_is "TabrinoCE - a.mid" || fail "no window titled \"TabrinoCE - a.mid\""
running() { local n=0; for start in "${starts[@]}"; do kill -0 "$start" 2>/dev/null && n=$((n + 1)); done; [ "$n" = 1 ]; }
await running || fail "more than one of five starts kept running"
# A fresh Xvfb on a loaded machine now and then refuses one of five
# connections made in the same instant; such a start ends before it looks
# for the player, so it is made again (what is tested is the race for the
# bus name, not the X server).
for n in 1 2 3 4 5; do
  start=${starts[$((n - 1))]}
  if kill -0 "$start" 2>/dev/null; then
    pid=$start
  elif ! wait "$start"; then
    status=$?
    grep -q "no display" "$work/stderr$n.txt" || fail "a start that found the player ended with $status"
    "$build/tabrino" --port "capture:$work/capture.txt" a.mid 2>/dev/null || fail "a start made again ended with $?"
  fi
done
windows_are 1 || fail "more than one window for five starts"
await property_has Metadata "file://$work/a.mid" || fail "the player is not on the session bus"
gdbus monitor --session -d org.mpris.MediaPlayer2.tabrino >"$work/signals.txt" 2>/dev/null &
monitor=$!
# Idle, the window's thread sleeps: nothing polls for changes to signal.
wakeups() { awk '/^voluntary_ctxt_switches/{print $2}' "/proc/$pid/task/$pid/status"; }
before=$(wakeups); sleep 2; after=$(wakeups)
[ $((after - before)) -le 2 ] || fail "the idle window woke $((after - before)) times in 2 s"

# A file that cannot be opened, handed over by a second start: its message
# box shows, and the song and the title stay.
"$build/tabrino" missing.mid || fail "the second start ended with $?"
await windows_are 2 || fail "no message box for the missing file"
await title_is "TabrinoCE - a.mid" || fail "the title changed after a failed open: $(for w in $(xdotool search --onlyvisible --classname "^tabrino$"); do xdotool getwindowname $w; done | tr "\n" "/")"
property_has Metadata "file://$work/a.mid" || fail "the song changed after a failed open"

# A good file reaches the first window too, which opens it; the port asked
# for with it cannot apply there, which the start says.
"$build/tabrino" b.mid --port none 2>"$work/handed.txt" || fail "the second start ended with $?"
grep -q -- "--port was not applied" "$work/handed.txt" || fail "no word that --port was not applied"
await title_is "TabrinoCE - b.mid" || fail "the handed-over file did not open"
windows_are 2 || fail "a window more than the player's and its message box"

# The desktop's play-pause starts it, and the desktop hears of it.
gdbus call "${mpris[@]}" -m org.mpris.MediaPlayer2.Player.PlayPause >/dev/null
await signalled "'PlaybackStatus': <'Playing'>" || fail "no PropertiesChanged for Playing"
await captured_more_than 230 || fail "nothing was played"
gdbus call "${mpris[@]}" -m org.freedesktop.DBus.Properties.Set org.mpris.MediaPlayer2.Player Volume "<0.5>" >/dev/null
await signalled "'Volume': <0.5>" || fail "no PropertiesChanged for the volume"
# A seek by the largest offset goes to the end, where the song stops.
gdbus call "${mpris[@]}" -m org.mpris.MediaPlayer2.Player.Seek 9223372036854775807 >/dev/null
await signalled "'PlaybackStatus': <'Stopped'>" || fail "the song did not end at a seek past its end"
signalled "Player.Seeked" || fail "no Seeked signal"
length=$(property Metadata | sed -n "s/.*'mpris:length': <int64 \([0-9]*\)>.*/\1/p")
property_has Position "<int64 $length>" || fail "the position is not the length $length at the end: $(property Position)"

# Three thousand failed opens while the box shows: still one box.
/usr/bin/python3 - <<'PY'
import dbus, dbus.lowlevel
bus = dbus.SessionBus()
for i in range(3000):
    call = dbus.lowlevel.MethodCallMessage('org.mpris.MediaPlayer2.tabrino', '/org/mpris/MediaPlayer2',
                                           'org.mpris.MediaPlayer2.Player', 'OpenUri')
    call.append('file:///nonexistent/%d.mid' % i, signature='s')
    call.set_no_reply(True)
    bus.send_message(call)
bus.flush()
PY
sleep 2
windows_are 2 || fail "the failed opens stacked boxes: $(xdotool search --onlyvisible --classname '^tabrino$' | wc -l) windows"
gdbus call "${mpris[@]}" -m org.mpris.MediaPlayer2.Quit >/dev/null || true
for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "Quit did not end the player"
wait "$pid" || fail "Quit ended the player with $?"
kill "$monitor" 2>/dev/null || true

# Ended by two signals within milliseconds while it plays.
: >"$work/capture.txt"
"$build/tabrino" --port "capture:$work/capture.txt" b.mid 2>"$work/stderr-signals.txt" &
pid=$!
await title_is "TabrinoCE - b.mid" || fail "the second run shows no window"
gdbus call "${mpris[@]}" -m org.mpris.MediaPlayer2.Player.Play >/dev/null
await captured_more_than 230 || fail "the second run played nothing"
kill -TERM "$pid"; kill -HUP "$pid"
status=0
wait "$pid" || status=$?
# Either may be the one that starts the close and gives the status.
[ "$status" = 143 ] || [ "$status" = 129 ] || fail "SIGTERM and SIGHUP ended the player with $status"

# Without a session bus the player says so and runs on its own.
mkdir -m 700 "$work/nobus"
env -u DBUS_SESSION_BUS_ADDRESS XDG_RUNTIME_DIR="$work/nobus" "$build/tabrino" --port none b.mid \
  2>"$work/stderr-nobus.txt" &
pid=$!
await title_is "TabrinoCE - b.mid" || fail "no window without a session bus"
grep -q "no session bus" "$work/stderr-nobus.txt" || fail "no word of the missing session bus"
kill -TERM "$pid"
wait "$pid" || true
SH
XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" QT_NO_GLIB=1 \
  dbus-run-session -- xvfb-run -n $((99 + RANDOM % 400)) -a -s "-screen 0 1024x768x24" bash "$work/session.sh" "$build" "$work" \
  2> >(grep -v "Failed to set fd limit" >&2)

settings="$work/config/TabrinoCE/registry.reg"
grep -Fxq '"DrumChannel"=hex(1):31,30,00' "$settings" || { echo "the close did not write the settings"; cat "$settings"; exit 1; }
grep -Fxq '"Volume"=hex(1):35,30,30,00' "$settings" || { echo "the volume was not remembered"; cat "$settings"; exit 1; }
grep -Fq "\"Recent1\"=hex(1):$(printf '%s' "$work/b.mid" | od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//;s/,$//'),00" \
  "$settings" || { echo "b.mid is not the most recent file"; cat "$settings"; exit 1; }

/usr/bin/python3 - "$work/capture.txt" <<'PY'
import sys
from capture import all_off, messages
messages = messages(sys.argv[1])
notes = [m[1] for m in messages if m[0] == 0x90 and m[2] > 0]
assert notes and all(70 <= n < 82 for n in notes), ("not the notes of b.mid", notes[:20])
assert messages[48:64] == [(0xB0 + n, 7, 50) for n in range(16)], ("the remembered half volume", messages[48:64])
assert messages[-48:] == all_off(), "the two signals did not let the output be silenced"
print("desktop session ok:", len(notes), "notes")
PY
