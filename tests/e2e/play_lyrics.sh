#!/usr/bin/env bash
# The words of the karaoke file tools/make-karaoke.py writes: tabrino-dump
# --lyrics prints its title and information lines and every line with the
# second it starts at, the Latin-1 accents right; tabrino-play --lyrics
# prints each line when it starts (here at 300 beats a minute, from the
# fourth line on), flushed at once, and a verse's first line after an
# empty line.
set -euo pipefail
build=$1
source=$2
song="$source/tests/data/midi/ode-latin1.kar"

expected='lyrics track=1 events=text encoding=WINDOWS-1252 judged
title "Ode an die Freude"
title "Friedrich Schiller"
title "Ludwig van Beethoven"
info K "MIDI KARAOKE FILE"
info V "0100"
info I "Gesungen für TabrinoCE"
info L "GERM"
line 2.000 "Freude, schöner Götterfunken,"
line 6.000 "Tochter aus Elysium,"
line 10.000 "Wir betreten feuertrunken,"
line 14.000 "Himmlische, dein Heiligtum!"
paragraph 18.000 "Deine Zauber binden wieder,"
line 22.000 "was die Mode streng geteilt;"
line 26.000 "alle Menschen werden Brüder,"
line 30.000 "wo dein sanfter Flügel weilt."'
dumped=$("$build/tools/tabrino-dump" --lyrics "$song")
[ "$dumped" = "$expected" ] || { echo "tabrino-dump --lyrics printed:"; echo "$dumped"; exit 1; }
rc=0
"$build/tools/tabrino-dump" --lyrics --encoding EBCDIC "$song" >/dev/null 2>&1 || rc=$?
[ "$rc" = 2 ] || { echo "an unknown encoding ended with $rc"; exit 1; }

# Line 3 starts at tick 13440; from there each line takes 8 quarters of
# 0.2 s.
/usr/bin/python3 - "$build/tools/tabrino-play" "$song" <<'PY'
import subprocess, sys, time
play = subprocess.Popen([sys.argv[1], "--port", "none", "--tempo", "300", "--from", "13440", "--lyrics", sys.argv[2]],
                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
start = time.monotonic()
lines = [(time.monotonic() - start, raw.decode("utf-8").rstrip("\n")) for raw in play.stdout]
assert play.wait() == 0, "tabrino-play failed"
texts = [text for _, text in lines]
assert texts == ["Ode an die Freude", "Friedrich Schiller", "Ludwig van Beethoven", "",
                 "Himmlische, dein Heiligtum!", "", "Deine Zauber binden wieder,", "was die Mode streng geteilt;",
                 "alle Menschen werden Brüder,", "wo dein sanfter Flügel weilt."], texts
# Counted from the line sung where playback began, printed at the start.
begun = lines[4][0]
for (at, text), due in zip(lines[6:], (1.6, 3.2, 4.8, 6.4)):
    assert abs(at - begun - due) < 0.4, (text, at - begun, due)
print("lyrics ok:", ", ".join("%.2f" % (at - begun) for at, _ in lines[6:]))
PY
