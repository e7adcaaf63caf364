#!/usr/bin/env bash
# WAV files and pipes with tabrino-play, and the end by signals. Two signals
# within milliseconds, while a song records in real time into synth:FILE.wav
# and while --render renders, still leave a complete header. A reader that
# stops reading does not hold a stop by a signal past its deadline. A render
# longer than a WAV file can hold is refused before anything is written;
# into a pipe the header says the length is unknown; a FIFO nobody reads
# fails at once.
set -euo pipefail
build=$1
work=$(mktemp -d)
reader=
trap '[ -n "$reader" ] && kill "$reader" 2>/dev/null; rm -rf "$work"' EXIT
play=$build/tools/tabrino-play

# Songs: ten minutes of a note a second; 6000 notes at the start, more than
# a pipe holds, then one a tick;
# one note held for 2^28 ticks at one tick a quarter and the slowest tempo.
/usr/bin/python3 - "$work" <<'PY'
import struct, sys
def song(name, division, tempo, events):
    body = b'\x00\xff\x51\x03' + tempo.to_bytes(3, 'big') + events + b'\x00\xff\x2f\x00'
    with open(f"{sys.argv[1]}/{name}", 'wb') as f:
        f.write(b'MThd' + struct.pack('>IHHH', 6, 0, 1, division) + b'MTrk' + struct.pack('>I', len(body)) + body)
song("long.mid", 96, 500000, b''.join(bytes([0x81, 0x40, 0x90, 60, 100, 0x81, 0x40, 0x80, 60, 0]) for _ in range(300)))
song("dense.mid", 96, 500000, b''.join(bytes([int(i > 6000), 0x90, 40 + i % 40, 100, 0, 0x80, 40 + i % 40, 0]) for i in range(20000)))
song("endless.mid", 1, 0xFFFFFF, b'\x00\x90\x3c\x40\x81\xff\xff\xff\x7f\x80\x3c\x00')
PY

# Checks that a WAV file's header states exactly the sound it holds.
complete() {
  /usr/bin/python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
riff, = struct.unpack('<I', data[4:8]); size, = struct.unpack('<I', data[40:44])
assert data[:4] == b'RIFF' and riff == len(data) - 8 and size == len(data) - 44 and size > 0, (riff, size, len(data))
PY
}

# Two signals at once: the first starts the stop, the second changes nothing.
# Either may be the one that gives the status.
for mode in "--port synth:$work/real.wav" "--render $work/rendered.wav"; do
  "$play" $mode "$work/long.mid" 2>"$work/err" &
  player=$!
  wav=${mode#* }; wav=${wav#synth:}
  for _ in $(seq 200); do [ "$(stat -c %s "$wav" 2>/dev/null || echo 0)" -gt 200000 ] && break; sleep 0.05; done
  kill -TERM "$player"; kill -INT "$player"
  rc=0; wait "$player" || rc=$?
  [ "$rc" = 143 ] || [ "$rc" = 130 ] || { echo "$mode: status $rc"; cat "$work/err"; exit 1; }
  complete "$wav" || { echo "$mode: the header is not complete after two signals"; exit 1; }
done

# A reader that holds the FIFO but never reads: the capture blocks, and a
# termination request still ends the player within its deadline.
mkfifo "$work/held.fifo"
sleep 60 <"$work/held.fifo" &
reader=$!
SECONDS=0
"$play" --port "capture:$work/held.fifo" "$work/dense.mid" 2>"$work/err" &
player=$!
sleep 2
kill -TERM "$player"
rc=0; wait "$player" || rc=$?
[ "$rc" = 143 ] && [ "$SECONDS" -le 8 ] || { echo "a stalled reader: status $rc after $SECONDS s"; cat "$work/err"; exit 1; }
kill "$reader"; reader=

# Years of sound: refused with the song's length, and no file is made.
rc=0
"$play" --render "$work/endless.wav" "$work/endless.mid" 2>"$work/err" || rc=$?
[ "$rc" = 1 ] && grep -q "lasts [0-9]*:[0-9][0-9]:[0-9][0-9] from .* a WAV file holds at most 6:45:47" "$work/err" && [ ! -e "$work/endless.wav" ] \
  || { echo "an endless render: status $rc"; cat "$work/err"; ls "$work"; exit 1; }

# Into a pipe the sizes are unknown; a FIFO nobody reads fails at once.
header=$("$play" --render - "$work/long.mid" 2>/dev/null | head -c 44 | od -An -tx1 -v | tr -d ' \n' || true)
[ "${header:8:8}" = ffffffff ] && [ "${header:80:8}" = ffffffff ] || { echo "the piped header: $header"; exit 1; }
mkfifo "$work/unread.fifo"
for mode in "--render $work/unread.fifo" "--port synth:$work/unread.fifo"; do
  rc=0
  timeout 20 "$play" $mode "$work/long.mid" 2>"$work/err" || rc=$?
  [ "$rc" = 1 ] && grep -q "unread.fifo: No such device or address" "$work/err" \
    || { echo "$mode with no reader: status $rc"; cat "$work/err"; exit 1; }
done
echo "WAV files and shutdown ok"
