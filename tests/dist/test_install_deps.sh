#!/usr/bin/env bash
# scripts/install-deps.sh against a package manager whose lock another
# installation holds: it waits and tries again, says so, and gives up with
# apt-get's failure once the wait is over; other failures end it at once.
# apt-get, sudo and dpkg-query are stand-ins on PATH; nothing is installed.
set -uo pipefail

script=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"

# Every package reads as missing.
cat >"$work/bin/dpkg-query" <<'STUB'
#!/bin/sh
exit 1
STUB
cat >"$work/bin/sudo" <<'STUB'
#!/bin/sh
exec "$@"
STUB
# Fails with apt's lock message as often as $work/locked says, then with
# $work/failure's message if there is one, else succeeds.
cat >"$work/bin/apt-get" <<STUB
#!/bin/sh
echo "\$*" >>"$work/calls"
n=\$(cat "$work/locked")
if [ "\$n" -gt 0 ]; then
  echo \$((n - 1)) >"$work/locked"
  echo "E: Could not get lock /var/lib/dpkg/lock-frontend. It is held by process 4242 (apt-get)" >&2
  exit 100
fi
if [ -s "$work/failure" ]; then
  cat "$work/failure" >&2
  exit 100
fi
exit 0
STUB
chmod +x "$work/bin/"*

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

run() {
  : >"$work/calls"
  PATH="$work/bin:$PATH" TAVISORN_APT_LOCK_RETRY=1 TAVISORN_APT_LOCK_WAIT=3 \
    bash "$script" >"$work/out" 2>&1
}

# Held for a while, then free: both commands run to their end.
echo 2 >"$work/locked"
: >"$work/failure"
run || fail "a lock that is freed within the wait failed the script: $(cat "$work/out")"
grep -q "holds the package manager's lock" "$work/out" || fail "the wait was not announced: $(cat "$work/out")"
grep -q " install .*qt6-base-dev" "$work/calls" || fail "install did not run after the wait: $(cat "$work/calls")"
[ "$(grep -c '^-o DPkg::Lock::Timeout=1 update' "$work/calls")" -eq 3 ] \
  || fail "update was not tried again after each lock failure (with apt's own wait): $(cat "$work/calls")"

# Held for good: the script fails after the wait and says why.
echo 100 >"$work/locked"
if run; then
  fail "a lock held for good was reported as success"
fi
grep -q "still held after" "$work/out" || fail "giving up was not explained: $(cat "$work/out")"
tries=$(grep -c update "$work/calls")
[ "$tries" -ge 2 ] && [ "$tries" -le 5 ] || fail "expected a few tries within the wait, got $tries"

# Another failure is no reason to wait.
echo 0 >"$work/locked"
echo "E: Unable to locate package qt6-base-dev" >"$work/failure"
if run; then
  fail "a failed update was reported as success"
fi
[ "$(wc -l <"$work/calls")" -eq 1 ] || fail "a failure other than the lock was tried again: $(cat "$work/calls")"
grep -q "holds the package manager's lock" "$work/out" && fail "a lock wait was announced for another failure"

[ "$failures" -eq 0 ] && echo "install-deps: all cases passed"
exit "$failures"
