#!/usr/bin/env bash
# Draws the application icon, packaging/culvex.png (256x256): a page of text lines with
# one column picked out. Needs ImageMagick. Run from the repository root.
set -euo pipefail
convert -size 256x256 xc:none \
    -fill '#1f5fa8' -draw 'roundrectangle 8,8 247,247 36,36' \
    -fill '#ffffff' -draw 'roundrectangle 44,40 212,216 10,10' \
    -fill '#b8c7da' \
    -draw 'rectangle 62,66 94,80'   -draw 'rectangle 162,66 194,80' \
    -draw 'rectangle 62,100 94,114' -draw 'rectangle 162,100 194,114' \
    -draw 'rectangle 62,134 94,148' -draw 'rectangle 162,134 194,148' \
    -draw 'rectangle 62,168 94,182' -draw 'rectangle 162,168 194,182' \
    -fill '#f2a531' -draw 'roundrectangle 104,56 152,192 8,8' \
    -fill '#ffffff' \
    -draw 'rectangle 112,66 144,80'  -draw 'rectangle 112,100 144,114' \
    -draw 'rectangle 112,134 144,148' -draw 'rectangle 112,168 144,182' \
    packaging/culvex.png
