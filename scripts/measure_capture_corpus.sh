#!/usr/bin/env bash
# How well digitora reads whole chart pages by itself: pages drawn here by
# gnuplot, matplotlib and LibreOffice Calc (an XY chart saved as PDF) (colour catalogue pages with five curves, grey
# dashed iso-lines and a legend; black-and-white pump families with a
# "D=..." label beside each curve; log-log charts; labels with decimal
# commas), each as drawn, as a 150 dpi scan and as a 300 dpi scan (blurred,
# grey grainy paper, a JPEG file): 72 pages. For every page:
#   - `--auto-axes`: are the axes found and read right (each reference within
#     0.5 % of the axis span of where the drawing put that value), or does the
#     command say it could not (exit 3)?
#   - every curve read by its colour (colour pages, no start point) or from a
#     point on it (black pages), with --auto-axes: median error (share of the
#     y span), share of the x range covered, exit status; a curve is silently
#     wrong when it exits 0 with a median error over 1 %;
#   - `--all-curves` on the pump families: each curve with its D parameter
#     (the points of the curve drawn with that label), or exit 3?
#
#   bash scripts/measure_capture_corpus.sh [BUILD_DIR]
#
# Installs gnuplot (gnuplot-nox), ImageMagick, matplotlib, LibreOffice Calc
# with its Python bridge and pdftoppm when missing; BUILD_DIR defaults to
# build/. Not part of the test suite. The LibreOffice pages are rendered from
# their PDF at 100, 150 and 300 dpi; their plot area is where Calc says.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/setup.sh"
calvero_install_packages gnuplot-nox imagemagick python3-matplotlib libreoffice-calc-nogui python3-uno poppler-utils
build="${1:-$root/build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 -u "$root/scripts/capture_corpus.py" "$build/digitora" "$work"
