#!/usr/bin/env bash
# Sets up, builds and starts the editor on FILE, or on the shipped sample
# document when no FILE is given. Without a display, the document is printed
# as text instead.
set -euo pipefail

file=${1:-}
if [ -n "$file" ] && [ "${file#/}" = "$file" ]; then
  file="$PWD/$file"
fi
cd "$(dirname "$0")"
file=${file:-$PWD/samples/sample.kvt}

source scripts/packages.sh
scripts/install-deps.sh "${BUILD_PACKAGES[@]}" "${GUI_PACKAGES[@]}"

cmake --preset run >/dev/null # configures build/
cmake --build build -j "$(nproc)"

if [ -x build/kvteditor ]; then
  if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec build/kvteditor "$file"
  fi
  echo "No display is available (neither DISPLAY nor WAYLAND_DISPLAY is set);" \
       "showing the document as text instead." >&2
else
  echo "The editor window is not part of this build yet; showing the document as text." >&2
fi
exec build/kvttool dump "$file"
