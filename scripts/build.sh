#!/usr/bin/env bash
# Installs what the build needs, then configures and builds Sorvane in build/ (or $BUILD_DIR):
# everything, or only the targets named as arguments (scripts/build.sh sorvane sorvane_api).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSORVANE_WERROR=ON >/dev/null
if [ $# -gt 0 ]; then
  targets=()
  for t in "$@"; do targets+=(--target "$t"); done
  cmake --build "$build" -j "$(nproc)" "${targets[@]}"
else
  cmake --build "$build" -j "$(nproc)"
fi
