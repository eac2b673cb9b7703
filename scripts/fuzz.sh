#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each for a
# bounded time: scripts/fuzz.sh [SECONDS [TARGET...]] (60 s by default, per
# target; every target unless some are named).
# Installs clang and its sanitizer and libFuzzer runtimes when missing.
# The committed seeds in fuzz/corpus/<target>/ (and, for the data set file
# reader, the example data sets) and the kept findings in fuzz/findings/
# start each run; what a run finds worth keeping goes to
# build-fuzz/corpus/<target>/, crashes to build-fuzz/findings/. (The test
# suite replays the seeds and kept findings once, built with gcc.)
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
calvero_install_packages clang libclang-rt-14-dev
root="$CALVERO_ROOT"
seconds="${1:-60}"
build_dir="$root/build-fuzz"
targets=(fuzz_dataset_file fuzz_point_import fuzz_spreadsheet_import fuzz_zipped_spreadsheet fuzz_decimal
  fuzz_capture_session fuzz_capture_picture fuzz_batch_summary fuzz_equation)
if (($# > 1)); then targets=("${@:2}"); fi

cmake -S "$root" -B "$build_dir" -G Ninja \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCALVERO_FUZZ=ON -DCALVERO_BUILD_TESTS=OFF -DCALVERO_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build_dir" --target "${targets[@]}" --parallel 2

# Leaks are reported: the readers are plain C++, no Qt here. FreeXL runs in
# a child process of the spreadsheet import, whose own reports on a
# malformed workbook are expected and do not stop the run.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

failed=()
for target in "${targets[@]}"; do
  work="$build_dir/corpus/$target"
  findings="$build_dir/findings/$target"
  mkdir -p "$work" "$findings"
  seeds=("$root/fuzz/corpus/$target")
  if [[ "$target" == fuzz_dataset_file ]]; then seeds+=("$root/data/examples"); fi
  if [[ "$target" == fuzz_spreadsheet_import ]]; then seeds+=("$root/tests/data/fuzz"); fi
  if [[ -d "$root/fuzz/findings/$target" ]]; then seeds+=("$root/fuzz/findings/$target"); fi
  echo "== $target: $seconds s"
  if ! "$build_dir/$target" "$work" "${seeds[@]}" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=1024 \
      -print_final_stats=1 -artifact_prefix="$findings/" 2>"$build_dir/$target.log"; then
    failed+=("$target")
    tail -n 40 "$build_dir/$target.log"
  else
    # The parent's figures come last (the .xls import's child processes print their own).
    grep -E "^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb)" "$build_dir/$target.log" | tail -n 3 || true
  fi
done

if ((${#failed[@]})); then
  echo "Findings in: ${failed[*]} (inputs in $build_dir/findings/)"
  exit 1
fi
echo "No findings."
