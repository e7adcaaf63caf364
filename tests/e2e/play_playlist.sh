#!/usr/bin/env bash
# Several songs with tabrino-play through the capture port: the songs' notes
# in the order given with the pause between them (the capture's microsecond
# times), a missing song told and passed over (exit status 1), a folder by
# natural name order and by content, --recursive, an .m3u8 playlist among
# other files (relative paths from the list's folder, a missing entry told,
# passed over and exit status 1), --shuffle (each song once),
# --repeat until Ctrl-C (which stops all, with the all-off), and a render of
# several songs into a file each.
set -euo pipefail
build=$1
export PYTHONPATH
PYTHONPATH=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
play=$(cd "$build" && pwd)/tools/tabrino-play

# Songs of half a second, told apart by their note: A 60, B 62, C 64.
/usr/bin/python3 - "$work" <<'PY'
import struct, sys
def song(path, note):
    ev = bytes([0, 0xFF, 0x51, 3, 0x03, 0xD0, 0x90])  # 250000 us a quarter
    ev += bytes([0, 0x90, note, 100, 0x60, 0x80, note, 0, 0, 0x90, note, 100, 0x60, 0x80, note, 0, 0, 0xFF, 0x2F, 0])
    with open(path, 'wb') as f:
        f.write(b'MThd' + struct.pack('>IHHH', 6, 0, 1, 96) + b'MTrk' + struct.pack('>I', len(ev)) + ev)
d = sys.argv[1]
for name, note in (("A.mid", 60), ("B.mid", 62), ("C.mid", 64)):
    song(f"{d}/{name}", note)
import os
os.makedirs(f"{d}/dir/sub")
song(f"{d}/dir/Song 10", 62)      # MIDI by its bytes, whatever its name
song(f"{d}/dir/song 2.mid", 60)
song(f"{d}/dir/sub/x.mid", 64)
open(f"{d}/dir/notes.mid", "w").write("not a song")
PY

notes() { /usr/bin/python3 - "$@" <<'PY'
import sys
from capture import messages
print(" ".join(str(m[1]) for m in messages(sys.argv[1]) if m[0] == 0x90 and m[2] > 0))
PY
}

rc=0
"$play" --port "capture:$work/list.txt" --gap 0.7 "$work/A.mid" "$work/missing.mid" "$work/B.mid" "$work/C.mid" \
  >/dev/null 2>"$work/err" </dev/null || rc=$?
[ "$rc" = 1 ] || { echo "a list with a missing song ended with $rc"; cat "$work/err"; exit 1; }
grep -q "^Song 3 of 4: B.mid$" "$work/err" && grep -q "No such file or directory" "$work/err" \
  || { cat "$work/err"; exit 1; }
[ "$(notes "$work/list.txt")" = "60 60 62 62 64 64" ] || { echo "order: $(notes "$work/list.txt")"; exit 1; }
# Between one song's last note and the next one's first: its end, the pause
# of 0.7 s, nothing for the missing one.
/usr/bin/python3 - "$work/list.txt" <<'PY'
import sys
times, notes = [], []
for line in open(sys.argv[1]):
    t, b = line.split()
    times.append(int(t)); notes.append(int(b, 16))
ons = [times[i] for i in range(len(notes) - 2) if notes[i] == 0x90 and notes[i + 2] > 0]
for first, second in ((ons[1], ons[2]), (ons[3], ons[4])):
    gap = (second - first) / 1e6
    # 0.25 s of the note, its end, then the pause.
    assert 0.9 < gap < 1.6, ("pause between songs", gap)
print("pause ok")
PY

"$play" --port "capture:$work/dir.txt" --gap 0 "$work/dir/" 2>/dev/null
[ "$(notes "$work/dir.txt")" = "60 60 62 62" ] || { echo "folder: $(notes "$work/dir.txt")"; exit 1; }
"$play" --port "capture:$work/tree.txt" --gap 0 --recursive "$work/dir" 2>/dev/null
[ "$(notes "$work/tree.txt")" = "60 60 62 62 64 64" ] || { echo "tree: $(notes "$work/tree.txt")"; exit 1; }

# A playlist after a file: its songs in its order, the relative one taken
# from the list's folder (not the working folder, where it is not), the
# missing one told and passed over.
mkdir "$work/lists"
printf '#EXTM3U\n#EXTINF:1,Third\n../C.mid\n%s\ngone.mid\n' "$work/A.mid" >"$work/lists/set.m3u8"
rc=0
(cd "$work/dir/sub" && "$play" --port "capture:$work/m3u.txt" --gap 0 "$work/B.mid" ../../lists/set.m3u8) \
  >/dev/null 2>"$work/err" </dev/null || rc=$?
[ "$rc" = 1 ] || { echo "a playlist with a missing song ended with $rc"; cat "$work/err"; exit 1; }
grep -q "gone.mid" "$work/err" && grep -q "^Song 2 of 4: C.mid$" "$work/err" || { cat "$work/err"; exit 1; }
[ "$(notes "$work/m3u.txt")" = "62 62 64 64 60 60" ] || { echo "playlist: $(notes "$work/m3u.txt")"; exit 1; }

# Shuffle: each song once, in some order; with the others, the order given
# is not the only one ever played.
orders=""
for run in 1 2 3 4; do
  "$play" --port "capture:$work/shuffle-$run.txt" --gap 0 --shuffle "$work/A.mid" "$work/B.mid" "$work/C.mid" 2>/dev/null
  got=$(notes "$work/shuffle-$run.txt")
  [ "$(tr ' ' '\n' <<<"$got" | sort | tr '\n' ' ')" = "60 60 62 62 64 64 " ] || { echo "shuffle: $got"; exit 1; }
  orders="$orders|$got"
done
[ "$(tr '|' '\n' <<<"${orders#|}" | sort -u | wc -l)" -gt 1 ] || { echo "four shuffles all played $got"; exit 1; }

# Repeat goes round until Ctrl-C, which stops all with the all-off.
"$play" --port "capture:$work/repeat.txt" --gap 0 --repeat "$work/A.mid" "$work/B.mid" 2>/dev/null &
player=$!
for _ in $(seq 200); do
  [ "$(notes "$work/repeat.txt" 2>/dev/null | wc -w)" -ge 6 ] && break
  sleep 0.05
done
kill -INT "$player"
rc=0
wait "$player" || rc=$?
[ "$rc" = 130 ] || { echo "repeat stopped by Ctrl-C ended with $rc"; exit 1; }
case "$(notes "$work/repeat.txt")" in "60 60 62 62 60 60"*) ;; *) echo "repeat: $(notes "$work/repeat.txt")"; exit 1 ;; esac
/usr/bin/python3 -c "
import sys; from capture import messages, all_off
assert messages(sys.argv[1])[-48:] == all_off()" "$work/repeat.txt"

# A render of several songs: a file each, numbered in the order played, or
# named after the songs in a folder of renders.
"$play" --render "$work/out.wav" "$work/A.mid" "$work/B.mid" 2>/dev/null
"$play" --render-dir "$work/renders" "$work/dir" 2>/dev/null
for f in out-01.wav out-02.wav "renders/song 2.wav" "renders/Song 10.wav"; do
  [ "$(head -c 4 "$work/$f")" = RIFF ] || { echo "no render $f"; ls -R "$work"; exit 1; }
done
# Places in one song do not apply to several.
rc=0
"$play" --port none --from 10 "$work/A.mid" "$work/B.mid" 2>"$work/err" || rc=$?
[ "$rc" = 2 ] && grep -q -- "--from names a place in one song" "$work/err" || { echo "--from: $rc"; exit 1; }
echo "playlist ok"
