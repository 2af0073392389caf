#!/usr/bin/env bash
# Builds Sorvane (installing what it needs first), generates the bookmarks of the bundled
# example manual and prints the resulting outline.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

# Only the program and its plug-in: the tests and benchmarks are not needed for a first run.
bash "$root/scripts/build.sh" sorvane sorvane_api
"$build/bin/sorvane" --version
"$build/bin/sorvane" generate "$root/examples/manual.pdf" -s "$root/examples/manual.svb" \
  -o "$build/example-manual.pdf"
"$build/bin/sorvane" list "$build/example-manual.pdf"
