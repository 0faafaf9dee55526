#!/usr/bin/env bash
# Runs a test program on a virtual X display of its own, bare or with a
# window manager, for what the offscreen platform cannot show: the frames a
# window manager puts around windows, and who has the keyboard where none runs.
#   on-display.sh [--wm] PROGRAM [ARGUMENTS...]
set -euo pipefail

wm=
if [ "${1:-}" = --wm ]; then
  wm=openbox
  shift
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Waits (at most ten seconds) until the file exists and is not empty, or
# the process that should write it has ended.
wait_for() {
  for _ in $(seq 100); do
    [ -s "$1" ] && return 0
    kill -0 "$2" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# A display number nobody uses, from 140 on; the server writes its number
# to the given descriptor once it takes connections.
display=
for n in $(seq 140 199); do
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -displayfd 3 3>"$work/display" 2>"$work/xvfb.log" &
  pid=$!
  if wait_for "$work/display" "$pid"; then
    pids+=("$pid")
    display=":$n"
    break
  fi
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
done
if [ -z "$display" ]; then
  echo "No virtual display could be started:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
export DISPLAY=$display

if [ -n "$wm" ]; then
  # openbox runs its start-up command once it manages the screen.
  # Its log and settings stay in the run's folder, not in the user's home.
  XDG_CACHE_HOME="$work" XDG_CONFIG_HOME="$work" openbox --sm-disable --startup "sh -c 'echo up > \"$work/wm\"'" >"$work/wm.log" 2>&1 &
  pids+=("$!")
  if ! wait_for "$work/wm" "$!"; then
    echo "The window manager did not start:" >&2
    cat "$work/wm.log" >&2
    exit 1
  fi
fi

export TAVISORN_WINDOW_MANAGER=${wm:-none}
export QT_QPA_PLATFORM=xcb
"$@"
