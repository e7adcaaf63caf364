#!/usr/bin/env bash
# `make bench`: runs every benchmark program and prints its figures.
set -euo pipefail
cd "$(dirname "$0")/.."
for b in build/default/bench/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b"
  # The window beside the lyrics and keyboard windows, on a dense karaoke
  # song: alone, then with both open.
  if [ "$(basename "$b")" = bench_window ]; then
    "$b" --dense
    "$b" --dense --views
  fi
done
