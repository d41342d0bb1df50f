#!/usr/bin/env bash
# Renders the application icon's PNG sizes from the SVG, for the desktops that want bitmaps and
# for the window icon bundled in the programs. Run it after changing the SVG and commit the PNGs:
#   packaging/icons/render-icons.sh
# The output depends only on the SVG and on rsvg-convert (Debian's librsvg2-bin): the same
# input gives the same bytes.
set -euo pipefail
cd "$(dirname "$0")"
command -v rsvg-convert >/dev/null || { echo "rsvg-convert manque : apt-get install librsvg2-bin" >&2; exit 1; }
mkdir -p png
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" --keep-aspect-ratio fr.quillane.Quillo.svg \
    --output "png/${size}x${size}.png"
done
