#!/usr/bin/env bash
# Renders the studio's main window and every dialog, with the bundled example manual open, to
# PNG pictures under docs/images/ (what docs/studio.md shows). Needs no display.
#   scripts/screenshots.sh [OUTDIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
out=${1:-$root/docs/images}

bash "$root/scripts/build.sh" studio_screenshots sorvane_api
# A profile of its own: the pictures do not depend on, or change, the user's remembered choices.
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
cd "$root"
XDG_CONFIG_HOME="$config" XDG_RUNTIME_DIR="$config" QT_QPA_PLATFORM=offscreen \
  "$build/bin/studio_screenshots" "$out" examples/manual.pdf examples/manual.svb
