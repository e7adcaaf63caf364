#!/usr/bin/env bash
# `make run`: until the window exists, dump the demo song.
set -euo pipefail
cd "$(dirname "$0")/.."
exec build/default/tools/tabrino-dump res/demo.mid
