#!/usr/bin/env bash
# The pictures of the documents, drawn and looked at: the showcase scenario (make demo) and the wide-line
# scenario are run with --svg, each one's two runs are drawn with lumaro-ghost plot, every SVG is rendered
# to PNG with rsvg-convert and each PNG must hold a drawing; so must the pictures in docs/images. With a
# folder as the last argument, the comparisons are also rendered there at full size (make pictures writes
# docs/images this way).
#   render_demo.sh LUMARO-HOST LUMARO-GHOST SCENARIOS-FOLDER CHECKER DOCS-IMAGES [OUTPUT-FOLDER]
# Exits 77 (skipped) when rsvg-convert or python3 is not installed.
set -euo pipefail
host=$1 ghost=$2 scenarios=$3 checker=$4 images=$5 output=${6:-}

command -v rsvg-convert >/dev/null || { echo "rsvg-convert is not installed (Debian package librsvg2-bin)"; exit 77; }
command -v python3 >/dev/null || { echo "python3 is not installed"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# draw SCENARIO PICTURE A B: the scenario with its picture, then its ghosts A and B compared.
draw() {
  "$host" --root "$work/$1" --svg "$work/$1-scenario.svg" "$scenarios/$1.scenario" >/dev/null
  "$ghost" plot "$work/$1/tessaro/data/Ghosts/$3" "$work/$1/tessaro/data/Ghosts/$4" -o "$work/$2.svg"
}
draw showcase demo-comparison My-PB.ghost My-PB-2.ghost
draw wide-line wide-line Clean.ghost Wide.ghost
for picture in showcase-scenario demo-comparison wide-line-scenario wide-line; do
  # Half size: the check reads every pixel, and half the width still shows every mark.
  rsvg-convert --zoom 0.5 "$work/$picture.svg" -o "$work/$picture.png"
  python3 "$checker" "$work/$picture.png"
done
for picture in "$images"/*.png; do python3 "$checker" "$picture"; done
if [ -n "$output" ]; then
  for picture in demo-comparison wide-line; do rsvg-convert "$work/$picture.svg" -o "$output/$picture.png"; done
fi
