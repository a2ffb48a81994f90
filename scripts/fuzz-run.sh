#!/usr/bin/env bash
# Runs every fuzz target of a build folder for the given number of seconds,
# starting from its seed corpus in fuzz/corpus/<name>. New inputs go to a
# working folder inside the build folder, so the repository stays unchanged.
# Usage: scripts/fuzz-run.sh BUILD_DIR SECONDS
set -euo pipefail
build=$(cd "$1" && pwd)
seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)

status=0
found=0
for corpus in "$root"/fuzz/corpus/*/; do
  name=$(basename "$corpus")
  exe="$build/fuzz/fuzz_$name"
  if [ ! -x "$exe" ]; then
    echo "fuzz: no target $exe for corpus $name" >&2
    status=1
    continue
  fi
  found=$((found + 1))
  work="$build/fuzz-work/$name"
  mkdir -p "$work"
  echo "== fuzz_$name for ${seconds}s"
  # A single allocation of 128 MiB or a process of 1 GiB is a finding: the
  # inputs are a few kilobytes, and a load may take 64 times the file's size
  # and 96 MiB in all.
  if ! (cd "$work" && "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -malloc_limit_mb=128 \
        -print_final_stats=1 "$work" "$corpus" 2>"$build/fuzz-work/$name.log"); then
    echo "fuzz_$name FAILED; its log follows:" >&2
    tail -n 60 "$build/fuzz-work/$name.log" >&2
    status=1
  else
    grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|#[0-9]+ +DONE)' \
      "$build/fuzz-work/$name.log" || true
  fi
done
if [ "$found" -eq 0 ]; then
  echo "fuzz: no fuzz targets found" >&2
  status=1
fi
exit $status
