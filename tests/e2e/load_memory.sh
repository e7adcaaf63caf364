#!/usr/bin/env bash
# Memory that runs out while a song loads ends in a message, not in an
# abort: tabrino-dump loads a file of 8 million notes with its address
# space held to about 120 MB (the file and its events need some 215 MB).
set -euo pipefail
build=$1
if grep -q '^TABRINO_SANITIZE:STRING=.\+' "$build/CMakeCache.txt" 2>/dev/null; then
  echo "the sanitizers reserve more address space than any limit allows: skipping"
  exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

/usr/bin/python3 - "$work/many.mid" <<'PY'
import struct, sys
notes = 8_000_000
body = b'\x00\x90\x3c\x40' + b'\x00\x3c\x40' * (notes - 1)
with open(sys.argv[1], 'wb') as f:
    f.write(b'MThd' + struct.pack('>IHHH', 6, 0, 1, 96) + b'MTrk' + struct.pack('>I', len(body)) + body)
PY

rc=0
out=$(ulimit -v 120000; "$build/tools/tabrino-dump" "$work/many.mid" 2>&1) || rc=$?
[ "$rc" = 0 ] || { echo "tabrino-dump ended with $rc under the memory limit: $out" | head -c 2000; exit 1; }
[ "$out" = 'message "Not enough memory to load the file"' ] || { echo "unexpected output: $out" | head -c 2000; exit 1; }
echo "out of memory reported"
