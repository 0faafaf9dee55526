#!/usr/bin/env bash
# Installs what Tavisorn needs to build, test and run on a Debian machine:
# the compiler and CMake, Qt 6 Widgets with its test library, Perl (the
# conversions run real Perl scripts), Xvfb for machines without a display,
# a Traditional Chinese font so that Chinese text shows as Chinese, and the
# checkers of the menu entry, AppStream description and manual pages; `file`
# lets make package find the libraries the programs need; strace makes the
# interpreter's writes fail in the tests; translate-toolkit, gettext and
# libxml2-utils read the TMX, PO, XLIFF and CSV files in tests; OpenCC and
# its Taiwan phrase list serve the vocabulary check.
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
  strace translate-toolkit gettext libxml2-utils
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

# Another installation (an update running at boot, a second terminal) may
# hold the package manager's lock: apt-get then waits for it, and when it
# gives up all the same, the command is tried again, for ten minutes in all
# (TAVISORN_APT_LOCK_WAIT seconds) before the script fails.
lock_wait=${TAVISORN_APT_LOCK_WAIT:-600}
retry_after=${TAVISORN_APT_LOCK_RETRY:-10}
[ "$retry_after" -ge 1 ] 2>/dev/null || retry_after=1
apt_get() {
  local waited=0 errors status
  errors=$(mktemp)
  while :; do
    status=0
    "${sudo[@]}" apt-get -o "DPkg::Lock::Timeout=$retry_after" "$@" 2>"$errors" || status=$?
    cat "$errors" >&2
    if [ "$status" -eq 0 ]; then
      rm -f "$errors"
      return 0
    fi
    if ! grep -qiE 'could not get lock|unable to lock|unable to acquire' "$errors" \
        || [ "$waited" -ge "$lock_wait" ]; then
      rm -f "$errors"
      [ "$waited" -gt 0 ] && echo "The package manager's lock was still held after ${waited} s; giving up." >&2
      return "$status"
    fi
    echo "Another package installation holds the package manager's lock; waiting for it" \
         "(${waited} s of ${lock_wait} s)..." >&2
    sleep "$retry_after"
    waited=$((waited + retry_after))
  done
}

apt_get update -qq
apt_get install -y -qq --no-install-recommends "${missing[@]}"
