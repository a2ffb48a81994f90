#!/usr/bin/env bash
# Builds the fuzz targets with clang and the sanitizers, then runs each of them
# for SECONDS seconds (default 600) from its seed corpus.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
scripts/install-deps.sh "${BUILD_PACKAGES[@]}" "${GUI_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

build=build-fuzz # the binary folder of the preset "fuzz"
cmake --preset fuzz >/dev/null
cmake --build "$build" -j "$(nproc)"
scripts/fuzz-run.sh "$build" "${1:-600}"
