#!/usr/bin/env bash
# Builds Sorvane (installing what it needs first) and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

bash "$root/scripts/build.sh"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
