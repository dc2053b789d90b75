#!/bin/sh
# Redraws every picture under resources/ (window icons, the start window's
# photograph and emblem).  The drawing itself lives in make-artwork.py; it
# needs python3 (standard library only) and ImageMagick 6's convert.
#   scripts/make-artwork.sh              write the pictures
#   scripts/make-artwork.sh --keep DIR   also keep the intermediate layers in DIR
set -eu
here=$(cd "$(dirname "$0")" && pwd)
: "${QH_CONVERT:=/usr/bin/convert}"
if ! "$QH_CONVERT" -version 2>/dev/null | grep -q ImageMagick; then
    echo "make-artwork: ImageMagick's convert not found at $QH_CONVERT (set QH_CONVERT)" >&2
    exit 1
fi
command -v python3 >/dev/null || { echo "make-artwork: python3 is needed" >&2; exit 1; }
export QH_CONVERT
exec python3 "$here/make-artwork.py" "$@"
