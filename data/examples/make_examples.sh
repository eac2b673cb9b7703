#!/bin/bash
# Rebuilds the six example data sets in this folder with the program's own
# fits and data set writer.  Usage: make_examples.sh BUILD_DIR
# BUILD_DIR must hold a built libcalvero_fit.a.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
build_dir=$(cd "${1:?usage: make_examples.sh BUILD_DIR}" && pwd)
tool=$(mktemp -d)/make_examples
trap 'rm -rf "$(dirname "$tool")"' EXIT
g++ -std=c++20 -O1 -frounding-math -fno-fast-math -I"$source_dir/src" \
    "$here/make_examples.cpp" "$source_dir/src/app/datasetfile.cpp" \
    "$build_dir/libcalvero_fit.a" -o "$tool"
"$tool" "$here/"
