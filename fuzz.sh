#!/usr/bin/env bash
# Builds the fuzz targets with clang and the sanitizers, then runs each of them
# for SECONDS seconds (default 600) from its seed corpus.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
scripts/install-deps.sh "${BUILD_PACKAGES[@]}" "${GUI_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

build=build-fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DKVT_SANITIZE=ON -DKVT_BUILD_FUZZ=ON -DKVT_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
scripts/fuzz-run.sh "$build" "${1:-600}"
