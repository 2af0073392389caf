#!/usr/bin/env bash
# Renders the studio's main window and every dialog to PNG pictures under docs/images/ (what
# docs/studio.md shows), with a real multi-chapter manual open: the Bash reference manual of the
# corpus (bench/corpus, fetched when missing) and its settings. Needs no display.
#   scripts/screenshots.sh [OUTDIR [PDF SETTINGS]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
out=${1:-$root/docs/images}
pdf=${2:-$root/bench/corpus/cache/pdf/bash.pdf}
settings=${3:-$root/bench/corpus/settings/bash.svb}

if [ ! -s "$pdf" ] && [ $# -lt 2 ]; then
  "$root/bench/corpus/fetch"
fi
[ -s "$pdf" ] || { echo "screenshots: $pdf is missing" >&2; exit 1; }
bash "$root/scripts/build.sh" studio_screenshots sorvane_api
# A profile of its own: the pictures do not depend on, or change, the user's remembered choices.
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
cd "$root"
XDG_CONFIG_HOME="$config" XDG_RUNTIME_DIR="$config" QT_QPA_PLATFORM=offscreen \
  "$build/bin/studio_screenshots" "$out" "$pdf" "$settings"
