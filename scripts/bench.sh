#!/usr/bin/env bash
# `make bench`: runs every benchmark program and prints its figures.
set -euo pipefail
cd "$(dirname "$0")/.."
for b in build/default/bench/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b"
done
