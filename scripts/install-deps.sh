#!/usr/bin/env bash
# Installs what Tavisorn needs to build, test and run on a Debian machine:
# the compiler and CMake, Qt 6 Widgets with its test library, Perl (the
# conversions run real Perl scripts), Xvfb for machines without a display,
# a Traditional Chinese font so that Chinese text shows as Chinese, and the
# checkers of the menu entry, AppStream description and manual pages; `file`
# lets make package find the libraries the programs need; OpenCC and its
# Taiwan phrase list serve the vocabulary check.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  perl
  xvfb xauth
  fonts-arphic-uming fonts-arphic-ukai fonts-dejavu-core fontconfig
  qt6-translations-l10n
  desktop-file-utils appstream groff-base file
  fonts-cwtex-ming openbox libxcb1-dev
  libopencc-dev libopencc1.1 libopencc-data
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
else
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
