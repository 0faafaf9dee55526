#!/usr/bin/env bash
# Runs every benchmark (the executables named bench_*) built under BUILD/bench,
# one after another; the programs they start are not run on their own.
# Usage: bench/run.sh BUILD
set -u
build="${1:?usage: bench/run.sh BUILD}"
if [ ! -d "$build/bench" ]; then
  echo "bench/run.sh: no benchmarks in $build/bench (build first)" >&2
  exit 1
fi
status=0
found=0
while IFS= read -r -d '' exe; do
  found=1
  echo "== ${exe#"$build"/}"
  "$exe" || { echo "bench/run.sh: $exe failed" >&2; status=1; }
  echo
done < <(find "$build/bench" -type f -perm -u+x \
           -name 'bench_*' -not -path '*/CMakeFiles/*' -not -path '*_autogen/*' \
           -not -name '*.so*' -not -name '*.sh' -print0 | sort -z)
if [ "$found" = 0 ]; then
  echo "bench/run.sh: no benchmark executables under $build/bench" >&2
  exit 1
fi
exit "$status"
