#!/usr/bin/env bash
# Renders packaging/icons/veltrin.svg into the icons that are kept beside it in the repository: the 256x256 PNG
# for Linux desktops and the multi-size .ico for the Windows executables. Run it after changing the SVG.
# Needs Debian's librsvg2-bin (rsvg-convert) and imagemagick (convert).
set -euo pipefail
cd "$(dirname "$0")/../packaging"
bash ../scripts/install-deps.sh librsvg2-bin imagemagick

frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT
rsvg-convert -w 256 -h 256 icons/veltrin.svg -o icons/veltrin-256.png
# Each size drawn by rsvg-convert at that size, rather than one picture scaled down by the icon writer.
pictures=()
for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" icons/veltrin.svg -o "$frames/$size.png"
    pictures+=("$frames/$size.png")
done
convert "${pictures[@]}" windows/veltrin.ico
