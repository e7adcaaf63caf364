#!/usr/bin/env bash
# Each program carries only what it uses: tabrino-dump and tabrino-play load
# no Qt and no D-Bus, and no program links FluidSynth or ALSA (each loaded
# when first used); no shipped program holds the tests' scaffolding. And the layer check
# passes on the sources but fails on an upward include, on an include of
# the scaffolding and on Qt where only the toolkit-free layers live.
set -euo pipefail
build=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

needed() {
  readelf -d "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'
}

for check in 'tools/tabrino-dump|^lib(Qt6|fluidsynth|asound|dbus)' 'tools/tabrino-play|^lib(Qt6|fluidsynth|asound|dbus)' \
  'tabrino|^lib(fluidsynth|asound)'; do
  IFS='|' read -r program pattern <<<"$check"
  heavy=$(needed "$build/$program" | grep -E "$pattern" || true)
  [ -z "$heavy" ] || { echo "$program links $heavy"; exit 1; }
done

for program in tabrino tools/tabrino-play tools/tabrino-dump; do
  scaffolding=$(nm -C "$build/$program" | grep -E 'CFakeDevice|CFakePort|CMessageBoxRecorder|CFileDialogScript|SetCreateThreadFault' || true)
  [ -z "$scaffolding" ] || { echo "$program holds test scaffolding:"; echo "$scaffolding" | head -5; exit 1; }
done

check() {
  cmake -DSOURCE_DIR="$1" -P "$source_dir/cmake/check_layers.cmake" 2>&1
}
check "$source_dir" >/dev/null || { check "$source_dir"; exit 1; }
for fault in 'player/CMetronome.cpp|#include "app/CTabrinoDlg.h"|includes app/CTabrinoDlg.h of the higher layer app' \
  'midiout/CSerialMidiOut.cpp|#include "player/CPlayerState.h"|of the higher layer player' \
  'song/CSong.cpp|#include "midiout/CSerialMidiOut.h"|of the higher layer midiout' \
  'platform/comm/Comm.cpp|#include "tests/support/CFakeDevice.h"|belongs to no layer' \
  'platform/ui/CWnd.cpp|#include <QWidget>|includes <QWidget>' \
  'player/CTransport.cpp|#include <fluidsynth.h>|includes <fluidsynth.h>' \
  'song/CLyrics.cpp|#include <uchardet.h>|includes <uchardet.h>'; do
  IFS='|' read -r file line expected <<<"$fault"
  rm -rf "$work/tree"
  mkdir "$work/tree"
  cp -r "$source_dir"/{platform,song,midiout,player,skin,app} "$work/tree/"
  echo "$line" >>"$work/tree/$file"
  if out=$(check "$work/tree"); then
    echo "the layer check let $file pass with $line"
    exit 1
  fi
  grep -qF "$expected" <<<"$out" || { echo "for $file: $out"; exit 1; }
done
echo "ok"
