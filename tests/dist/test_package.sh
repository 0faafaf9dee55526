#!/usr/bin/env bash
# The Debian package as a distribution would take it: built by CPack into a
# folder of the test's own, it carries the machine-readable copyright file
# and the compressed changelog, names a maintainer without a made-up
# address, and lintian (where it is installed) reports no error.
#   test_package.sh CPackConfig.cmake
set -uo pipefail

config=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

if ! cpack -G DEB --config "$config" -B "$work" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  echo "FAIL: cpack did not build the package" >&2
  exit 1
fi
deb=$(ls "$work"/tavisorn_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || { echo "FAIL: no tavisorn_*.deb in $(ls "$work")" >&2; exit 1; }

contents=$(dpkg-deb -c "$deb")
for f in ./usr/share/doc/tavisorn/copyright ./usr/share/doc/tavisorn/changelog.Debian.gz ./usr/bin/tavisorn; do
  grep -q " $f\$" <<<"$contents" || fail "$f is not in the package"
done

mkdir "$work/root"
dpkg-deb -x "$deb" "$work/root"
copyright=$work/root/usr/share/doc/tavisorn/copyright
head -1 "$copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
  || fail "the copyright file is not in the machine-readable format"
grep -q '^License: GPL-3+$' "$copyright" || fail "the copyright file names no GPL-3+ licence"
gzip -t "$work/root/usr/share/doc/tavisorn/changelog.Debian.gz" || fail "the changelog is not gzip data"
zcat "$work/root/usr/share/doc/tavisorn/changelog.Debian.gz" | head -1 \
  | grep -q "^tavisorn ($(dpkg-deb -f "$deb" Version)) " \
  || fail "the changelog's first entry is not the package's version $(dpkg-deb -f "$deb" Version)"

# The maintainer is the packager (DEBFULLNAME, DEBEMAIL when the build was
# configured) or the project's name alone, never a made-up address; the
# changelog is signed the same way.
maintainer=$(dpkg-deb -f "$deb" Maintainer)
case "$maintainer" in
  *@localhost* | *@localdomain* | *.invalid\>* | *@tavisorn.*) fail "the maintainer field holds a made-up address: $maintainer" ;;
  "") fail "the package names no maintainer" ;;
esac
zcat "$work/root/usr/share/doc/tavisorn/changelog.Debian.gz" | grep -qF -- " -- $maintainer  " \
  || fail "the changelog is not signed by the maintainer $maintainer"

# Without a packager's address the package carries lintian's overrides for
# the bare name, with the reason; with one it carries none.
overrides=$work/root/usr/share/lintian/overrides/tavisorn
if [[ "$maintainer" == *@* ]]; then
  [ ! -e "$overrides" ] || fail "a package with the maintainer's address still overrides lintian"
else
  grep -qx "tavisorn: malformed-contact Maintainer $maintainer" "$overrides" 2>/dev/null \
    || fail "a maintainer without an address and no lintian override for it"
fi

if command -v lintian >/dev/null; then
  lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1
  errors=$(grep '^E: ' "$work/lintian.log")
  if [ -n "$errors" ]; then
    cat "$work/lintian.log" >&2
    fail "lintian reports errors"
  fi
  cat "$work/lintian.log"
else
  echo "lintian is not installed: its check is left out"
fi

[ "$failures" -eq 0 ] && echo "package: all checks passed"
exit "$failures"
