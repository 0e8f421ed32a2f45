#!/usr/bin/env bash
# Installs what is missing, builds Tesral into build/ and then either starts it
# ("run") or runs every test ("test"). Safe to run again: apt-get is skipped when
# every package is already installed.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"

# Everything the build and the tests use. libwmf-bin: wmf2svg, the independent reader of the
# metafile tests, which needs the fonts-urw-base35 fonts for any text; poppler-utils:
# pdftotext, which reads the printed pages back; python3: the independent recomputation of
# reports; clang-tidy and clang-tidy-14 (with run-clang-tidy): the checks the sanitizer
# command runs first; gemmi-dev: the International Tables scattering-factor coefficients;
# libtomlplusplus-dev: the model-file parser; libeigen3-dev: the dense linear algebra (basis
# inverses, determinants, least squares); libpng-dev, libtiff-dev: the readers of measured
# diffraction photographs; pybind11-dev, python3-dev, python3-numpy, python3-pytest: the Python module
# and its tests; python3-gemmi: reads the approximant cells' CIF back in a test.
packages=(qt6-base-dev qt6-svg-dev cmake ninja-build g++ libgtest-dev googletest
          libbenchmark-dev fonts-liberation2 libwmf-bin fonts-urw-base35 poppler-utils
          python3 clang-tidy clang-tidy-14 gemmi-dev libtomlplusplus-dev libeigen3-dev libpng-dev libtiff-dev
          pybind11-dev python3-dev python3-numpy python3-pytest python3-gemmi)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build() {
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-Release}
  cmake --build build
}

case "${1:-}" in
  run)
    install_missing
    build
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
      exec build/bin/tesral
    fi
    echo "No display found: running tesral-cli on the default inputs instead of the window." >&2
    exec build/bin/tesral-cli "${@:2}"
    ;;
  test)
    install_missing
    bash scripts/preflight.sh
    build
    cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
    ;;
  sanitize)
    install_missing
    bash scripts/preflight.sh
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESRAL_SANITIZE=ON -DTESRAL_BENCH=OFF \
      -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
    cmake --build build-asan
    # The checks of .clang-tidy over every source of ours (not Qt's generated files).
    run-clang-tidy -p build-asan -quiet -j "$(nproc)" "^$here/(engine|lattice|report|physics|plots|app|cli|tests|bench)/"
    cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
    ;;
  *)
    echo "usage: $0 run|test|sanitize" >&2
    exit 2
    ;;
esac
