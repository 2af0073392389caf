#!/usr/bin/env bash
# Builds Sorvane (installing what it needs first) and runs it on the bundled example.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

bash "$root/scripts/build.sh"
"$build/bin/sorvane" --version
"$build/bin/sorvane" --help
