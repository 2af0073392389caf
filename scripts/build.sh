#!/usr/bin/env bash
# Installs what the build needs, then configures and builds Sorvane in build/ (or $BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSORVANE_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)"
