#!/usr/bin/env bash
# Takes docs/window-windows.png, the Windows window as it opens, under Wine on a virtual X display, in a Wine
# prefix of its own that has Wine's own fonts (Debian's fonts-wine) where Windows keeps its fonts.
#
#   scripts/window-screenshot.sh [VELTRIN.EXE]      (default: build-windows/bin/veltrin.exe)
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build-windows/bin/veltrin.exe}")
bash scripts/install-deps.sh wine wine64 fonts-wine x11-apps netpbm xvfb xauth
work=$(mktemp -d)
trap 'WINEPREFIX=$work/prefix wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
export WINEPREFIX=$work/prefix WINEDEBUG=-all
wine wineboot --init >/dev/null 2>&1 && wineserver -w
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
cp examples/Spectrum128_ROM0.asm "$work/"
# The window opens in the top left corner of a virtual desktop, whose plain background is then cut away.
xvfb-run -a -s "-screen 0 640x480x24" bash -c "
    cd '$work' && wine explorer /desktop=screenshot,400x300 '$program' &
    sleep 20
    xwd -root -silent | xwdtopnm 2>/dev/null | pnmcut -left 0 -top 0 -width 400 -height 300 |
        pnmcrop -right -bottom -bg-corner=bottomright | pnmtopng >docs/window-windows.png"
echo "docs/window-windows.png: $(file -b docs/window-windows.png)"
