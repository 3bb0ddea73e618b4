#!/usr/bin/env bash
# Renders the program icon assets/icons/vorla.svg at the hicolor sizes the install ships
# (needs rsvg-convert, package librsvg2-bin). Run after changing the SVG; commit the PNGs.
set -euo pipefail
icons="$(cd "$(dirname "${BASH_SOURCE[0]}")/../assets/icons" && pwd)"
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" "$icons/vorla.svg" -o "$icons/vorla-$size.png"
done
