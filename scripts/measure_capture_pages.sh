#!/usr/bin/env bash
# How well digitora reads chart pages nobody tuned it to: pages drawn from
# seeds, each in a style family (the seed modulo the number of families:
# matplotlib's stock style sheets, two y axes, tick formats, log axes,
# black-and-white families labelled at their curves, frameless charts with
# inward ticks, A4 catalogue pages, stacked panels, gnuplot, LibreOffice
# Calc) with every other style drawn at random, a third of them "scanned".
# Each page is read as a user would (every curve with --auto-axes --colour,
# then --all-curves) and judged against the truth written beside it: axes
# right, curves within the targets with exit 0, results silently wrong.
#
#   bash scripts/measure_capture_pages.sh [BUILD_DIR] [FIRST_SEED] [COUNT]
#
# Seeds 0-199 by default. Seeds below 1000 are for development; seeds
# 1000-1199 are the held-out pages, drawn and read once at the end and
# reported whatever they give: never draw, look at or tune to them before.
# The pages stay in ${CALVERO_PAGES:-/tmp/calvero-pages} (drawn once, read
# again on the next run; remove the folder after changing the generator).
# Two pages are read at a time, holding /tmp/calvero-build.lock batch by
# batch. Installs gnuplot (gnuplot-nox), ImageMagick, matplotlib, PIL,
# SciPy, LibreOffice Calc with its Python bridge and pdftoppm when missing;
# BUILD_DIR defaults to build/. Not part of the test suite.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/setup.sh"
calvero_install_packages gnuplot-nox imagemagick python3-matplotlib python3-pil python3-scipy \
  libreoffice-calc-nogui python3-uno poppler-utils
build="${1:-$root/build}"
first="${2:-0}"
count="${3:-200}"
pages="${CALVERO_PAGES:-/tmp/calvero-pages}"
/usr/bin/python3 -u "$root/scripts/score_capture_pages.py" "$build/digitora" "$pages" "$first" "$count" \
  --jobs 2 --lock /tmp/calvero-build.lock
