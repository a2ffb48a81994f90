#!/usr/bin/env bash
# Builds the Debian package build-package/kvteditor_<version>_<arch>.deb:
# a release build installed under /usr, its library dependencies found by
# dpkg-shlibdeps. Install it with: apt-get install ./build-package/kvteditor_*.deb
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
scripts/install-deps.sh "${BUILD_PACKAGES[@]}" "${GUI_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"

build=build-package # the binary folder of the preset "package" (CMakePresets.json)
cmake --preset package
cmake --build "$build" -j "$(nproc)"
(cd "$build" && cpack -G DEB)
ls "$build"/kvteditor_*.deb
