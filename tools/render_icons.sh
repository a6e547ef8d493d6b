#!/usr/bin/env bash
# Renders assets/icons/tavik.svg to the PNG sizes the program embeds (needs rsvg-convert, librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../assets/icons"
for size in 256 48 32; do
    rsvg-convert --width "$size" --height "$size" --format png tavik.svg --output "tavik-$size.png"
done
