#!/usr/bin/env bash
# Installs the Debian packages TabrinoCE needs to build, test and run.
# Idempotent: when everything is present it prints nothing and returns at once.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev
  qt6-base-dev fonts-liberation2
  libfluidsynth-dev timgm6mb-soundfont libasound2-dev libuchardet-dev
  xvfb xdotool imagemagick x11-utils
  openttd-openmsx python3 python3-mido midicsv
  socat
  dbus-daemon libglib2.0-bin
  desktop-file-utils appstream man-db
  dpkg-dev file lintian
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
