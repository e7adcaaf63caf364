#!/usr/bin/env bash
# Runs every fuzz target for the given seconds, seeded with the committed
# corpus, and fails on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH="${1:-60}"
found=0
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name="$(basename "$target")"
  work="build/fuzz/corpus-$name"
  mkdir -p "$work"
  seeds=()
  for d in fuzz/seeds/"$name" tests/data/midi /usr/share/games/openttd/baseset/openmsx; do
    [ -d "$d" ] && seeds+=("$d")
  done
  echo "fuzzing $name for ${SECONDS_EACH}s"
  "$target" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="build/fuzz/$name-" -print_final_stats=1 "$work" "${seeds[@]}" \
    2>&1 | tail -n 15 || found=1
done
[ "$found" -eq 0 ] || { echo "fuzzing found a problem"; exit 1; }
