#!/usr/bin/env bash
# Installs what building, running and testing the program need on Debian 12. Safe to run again:
# it only calls apt-get when a package is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev qt6-svg-dev
  libsdl2-mixer-dev timgm6mb-soundfont
  fonts-ipafont-gothic
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev
  mecab-ipadic
  clang libclang-rt-14-dev
  libjpeg-turbo-progs imagemagick time poppler-utils
  xvfb xauth xdotool openbox
  help2man desktop-file-utils appstream shared-mime-info
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
