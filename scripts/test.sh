#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds CALVERO1 with its tests and runs the
# whole suite. Window tests run on Qt's offscreen platform, so no display is
# needed. CALVERO_SANITIZE=1 builds and runs it under AddressSanitizer and
# UndefinedBehaviorSanitizer instead.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
calvero_install_packages
build_dir="$CALVERO_ROOT/build-test"
options=(-DCALVERO_BUILD_TESTS=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCALVERO_TEST_LIBFUZZER_BUILD=ON)
if [[ "${CALVERO_SANITIZE:-0}" == "1" ]]; then
  build_dir="$CALVERO_ROOT/build-sanitize"
  options+=(-DCALVERO_SANITIZE=ON -DCALVERO_BUILD_BENCHMARKS=OFF -DCALVERO_TEST_LIBFUZZER_BUILD=OFF)
  export ASAN_OPTIONS=detect_leaks=0
fi
calvero_build "$build_dir" "${options[@]}"
export QT_QPA_PLATFORM=offscreen
cd "$build_dir"
ctest --output-on-failure --timeout 300 -j "$(nproc)"
