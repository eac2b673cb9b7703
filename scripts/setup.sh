#!/usr/bin/env bash
# Installs what CALVERO1 needs on Debian 12 (only the packages missing) and
# builds it. Sourced by run.sh and test.sh.
set -euo pipefail

CALVERO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CALVERO_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
  qt6-svg-dev qt6-image-formats-plugins qt6-translations-l10n
  libfreexl-dev libzip-dev libpugixml-dev libpoppler-qt6-dev nlohmann-json3-dev libexpat1-dev
  libeigen3-dev libboost-math-dev coinor-libclp-dev libceres-dev
  liblcms2-dev libtesseract-dev tesseract-ocr-eng pybind11-dev python3-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  # The test suite also builds the fuzz targets with clang and libFuzzer.
  clang libclang-rt-14-dev
  xvfb xauth
  fonts-liberation2 fonts-dejavu
  python3 python3-xlrd python3-xlwt python3-numpy python3-openpyxl python3-mpmath python3-scipy python3-cvxopt python3-statsmodels python3-mypy python3-pil unrtf
  # The exported spreadsheet formulas are evaluated by LibreOffice: either
  # variant will do, the one without windows is installed when neither is.
  "libreoffice-calc-nogui|libreoffice-calc"
)

calvero_install_packages() {
  local missing=()
  local package choice found
  for package in "${CALVERO_PACKAGES[@]}" "$@"; do
    # "a|b": either package; the first when neither is installed.
    found=""
    for choice in ${package//|/ }; do
      if dpkg-query -W -f='${Status}' "$choice" 2>/dev/null | grep -q "install ok installed"; then found=1; fi
    done
    if [[ -z "$found" ]]; then missing+=("${package%%|*}"); fi
  done
  if ((${#missing[@]})); then
    local sudo=""
    if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
}

# calvero_build BUILD_DIR [extra cmake options...]
# CALVERO_TARGETS, when set, limits the build to those targets.
calvero_build() {
  local build_dir="$1"
  shift
  cmake -S "$CALVERO_ROOT" -B "$build_dir" -G Ninja "$@" >/dev/null
  local targets=()
  if [[ -n "${CALVERO_TARGETS:-}" ]]; then targets=(--target ${CALVERO_TARGETS}); fi
  cmake --build "$build_dir" --parallel "$(nproc)" "${targets[@]}"
}
