#!/usr/bin/env bash
# The demo's pictures, looked at: the showcase scenario is run with --svg, its two runs are drawn with
# lumaro-ghost plot, both SVGs are rendered to PNG with rsvg-convert, and each PNG must hold a drawing.
# Exits 77 (skipped) when rsvg-convert or python3 is not installed.
set -euo pipefail
host=$1 ghost=$2 scenario=$3 checker=$4

command -v rsvg-convert >/dev/null || { echo "rsvg-convert is not installed (Debian package librsvg2-bin)"; exit 77; }
command -v python3 >/dev/null || { echo "python3 is not installed"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$host" --root "$work/root" --svg "$work/scenario.svg" "$scenario" >/dev/null
ghosts="$work/root/tessaro/data/Ghosts"
"$ghost" plot "$ghosts/My-PB.ghost" "$ghosts/My-PB-2.ghost" -o "$work/comparison.svg"
for picture in scenario comparison; do
  # Half size: the check reads every pixel, and half the width still shows every mark.
  rsvg-convert --zoom 0.5 "$work/$picture.svg" -o "$work/$picture.png"
  python3 "$checker" "$work/$picture.png"
done
