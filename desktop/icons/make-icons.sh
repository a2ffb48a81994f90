#!/usr/bin/env bash
# Renders the PNG sizes of the icon from kvteditor.svg (rsvg-convert, Debian
# package librsvg2-bin). Run after changing the SVG; the PNGs are kept in the
# repository so that a build needs no image tools.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" kvteditor.svg --output "kvteditor-$size.png"
done
