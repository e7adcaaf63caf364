#!/usr/bin/env bash
# `make deb`'s package, made by CPack from this build tree: it holds the
# programs, each with its gzipped manual page, and the files a desktop and
# Debian expect; it depends on the SoundFont, FluidSynth and the font, and on
# nothing this machine could not install; lintian finds no error in it; and
# its programs, unpacked into a temporary root, run and play a song.
set -euo pipefail
build=$1
src=$2
cache="$build/CMakeCache.txt"
if grep -q '^TABRINO_SANITIZE:STRING=.' "$cache"; then
  echo "a sanitizer build is never packaged"
  exit 77
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1 \
  || { cat "$tmp/cpack.log"; exit 1; }
deb=$(echo "$tmp"/out/tabrino_*.deb)
[ -f "$deb" ] || { echo "no package made"; cat "$tmp/cpack.log"; exit 1; }

fail() { echo "$*"; exit 1; }
field() { dpkg-deb -f "$deb" "$1"; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$cache")
[ "$(field Package)" = tabrino ] || fail "Package: $(field Package)"
[[ "$(field Version)" == "$version"-* ]] || fail "Version $(field Version) is not $version-REVISION"
[ "$(field Section)" = sound ] && [ "$(field Priority)" = optional ] || fail "Section/Priority"

dpkg-deb -c "$deb" | awk '{print substr($6, 2)}' >"$tmp/files"
for f in /usr/bin/tabrino /usr/bin/tabrino-play /usr/bin/tabrino-dump \
  /usr/share/applications/tabrino.desktop /usr/share/metainfo/org.tabrinoce.tabrino.metainfo.xml \
  /usr/share/icons/hicolor/64x64/apps/tabrino.png \
  /usr/share/doc/tabrino/copyright /usr/share/doc/tabrino/changelog.Debian.gz; do
  grep -qxF "$f" "$tmp/files" || fail "not in the package: $f"
done
# Only /usr, and every program with its page.
if grep -v '^/usr/' "$tmp/files" | grep -v '^/$' | grep .; then fail "files outside /usr"; fi
for program in $(sed -n 's|^/usr/bin/||p' "$tmp/files"); do
  grep -qxF "/usr/share/man/man1/$program.1.gz" "$tmp/files" || fail "$program has no manual page"
done

# Named by hand (FluidSynth and ALSA are opened at run time, out of
# dpkg-shlibdeps' sight) and found by dpkg-shlibdeps.
depends=$(field Depends)
for p in timgm6mb-soundfont libfluidsynth3 libasound2 fonts-liberation2 libqt6widgets6 libc6; do
  [[ ", $depends," == *", $p"[\ ,]* ]] || fail "Depends lacks $p: $depends"
done
# Every relation is met by a package this machine has: a misspelt name or an
# impossible version would leave apt nothing to install.
IFS=',' read -ra relations <<<"$depends"
for relation in "${relations[@]}"; do
  met=""
  IFS='|' read -ra alternatives <<<"$relation"
  for alternative in "${alternatives[@]}"; do
    read -r name op want <<<"${alternative//[()]/ }"
    have=$(dpkg-query -W -f='${db:Status-Abbrev}${Version}' "$name" 2>/dev/null) || continue
    [[ "$have" == ii* ]] || continue
    have=${have#ii }
    have=${have# }
    if [ -z "$op" ] || dpkg --compare-versions "$have" "$op" "$want"; then met=1; fi
  done
  [ -n "$met" ] || fail "no installed package meets \"$relation\""
done

lintian --fail-on error "$deb" >"$tmp/lintian" 2>&1 || { cat "$tmp/lintian"; fail "lintian failed"; }
grep '^[EW]:' "$tmp/lintian" || true

root="$tmp/root"
dpkg -x "$deb" "$root"
# (Whole outputs compared: grep -q would end the pipe early, and pipefail
# would take the writer's SIGPIPE for a failure.)
[ "$("$root/usr/bin/tabrino-play" --version)" = "tabrino-play $version" ] || fail "tabrino-play --version"
[[ "$("$root/usr/bin/tabrino-play" --help)" == *--render* ]] || fail "tabrino-play --help"
[ "$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/tabrino" --version)" = "tabrino $version" ] || fail "tabrino --version"
[[ "$("$root/usr/bin/tabrino-dump" "$src/res/demo.mid")" == "song format=1 tracks=6 "* ]] || fail "tabrino-dump"
# Through the SoundFont the package depends on: a song of about a minute.
"$root/usr/bin/tabrino-play" --render "$tmp/demo.wav" "$src/res/demo.mid" </dev/null >/dev/null
[ "$(stat -c %s "$tmp/demo.wav")" -gt 1000000 ] || fail "the rendered song is too short"
echo "package $(basename "$deb") ok"
