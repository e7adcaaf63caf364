#!/usr/bin/env bash
# `make install` puts the programs, the desktop entry, the AppStream
# metainfo, the icon and the three manual pages in place; the entry and the
# metainfo pass their validators, the pages render without warnings, and
# every option a program's --help lists is in its page.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/tabrino bin/tabrino-play bin/tabrino-dump share/applications/tabrino.desktop \
  share/metainfo/org.tabrinoce.tabrino.metainfo.xml share/icons/hicolor/64x64/apps/tabrino.png \
  share/man/man1/tabrino.1 share/man/man1/tabrino-play.1 share/man/man1/tabrino-dump.1; do
  [ -e "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/tabrino.desktop"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$prefix/share/metainfo/org.tabrinoce.tabrino.metainfo.xml" >/dev/null \
    || { appstreamcli validate --no-net "$prefix/share/metainfo/org.tabrinoce.tabrino.metainfo.xml"; exit 1; }
fi

for program in tabrino tabrino-play tabrino-dump; do
  page="$prefix/share/man/man1/$program.1"
  if command -v man >/dev/null; then
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null || true)
    [ -z "$warnings" ] || { echo "$program.1: $warnings"; exit 1; }
  fi
  # The options as the page's source spells them: \- for each dash.
  for option in $("$prefix/bin/$program" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    grep -qF -- "${option//-/\\-}" "$page" || { echo "$program.1 does not mention $option"; exit 1; }
  done
done
echo "installed files ok"
