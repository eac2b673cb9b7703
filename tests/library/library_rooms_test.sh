#!/usr/bin/env bash
# libcalvero stands on the engine, the file formats, the exports and the
# common helpers alone: no source under src/library, src/formats or
# src/exports includes the program's windows or commands, and neither the
# library's dynamic section nor its link line names FreeXL, libzip, pugixml
# or Qt.
set -u
build="$1"
source_dir="$2"
source "$(dirname "${BASH_SOURCE[0]}")/../script_support.sh"

check "no #include of app/, entry/, graph/, viewers/ or batch/ under library, formats and exports" \
  bash -c "! grep -rnE '#include \"(app|entry|graph|viewers|batch|spreadsheet)/' '$source_dir/src/library' '$source_dir/src/formats' '$source_dir/src/exports'"
forbidden='freexl|libzip|pugixml|Qt6|libQt'
needed="$(readelf -d "$build/libcalvero.so" | grep NEEDED)"
check "libcalvero needs no workbook or window library" bash -c "! grep -qiE '$forbidden' <<<\"\$1\"" _ "$needed"
link="$(grep -A6 '^build libcalvero\.so' "$build/build.ninja" 2>/dev/null | grep LINK_LIBRARIES)"
check "its link line is known (a Ninja build)" test -n "$link"
check "its link line names no workbook or window library" bash -c "! grep -qiE '$forbidden' <<<\"\$1\"" _ "$link"
finish
