#!/usr/bin/env bash
# Builds the project in release mode in its own folder and prints the
# benchmark table: load, save, export and open times of synthetic documents
# from 10 thousand to 1 million nodes, their memory, the anchors (reading the
# file, RapidJSON on the same document as JSON) and single-edit latencies.
# Extra arguments go to the benchmark (--runs N, --docs 10k,1M,...).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
scripts/install-deps.sh "${BUILD_PACKAGES[@]}" "${GUI_PACKAGES[@]}" "${BENCH_PACKAGES[@]}"

build=build-bench # the binary folder of the preset "bench"
# Build messages go to standard error: standard output is the table alone.
cmake --preset bench >/dev/null
cmake --build "$build" -j "$(nproc)" --target kvt_bench >&2

export QT_QPA_PLATFORM=offscreen
echo "Machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) before the run"
"$build/bench/kvt_bench" --work "$build/bench-work" "$@"
echo "Load average after the run: $(cut -d' ' -f1-3 /proc/loadavg)"
