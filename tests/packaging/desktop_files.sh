#!/usr/bin/env bash
# The studio's desktop entry and software-centre entry are valid, and name the program and the
# icon that are installed: desktop_files.sh PACKAGING_DIR STUDIO_BINARY_NAME
set -euo pipefail
dir=$1
binary=$2
desktop=$dir/org.sorvane.Studio.desktop
desktop-file-validate "$desktop"
appstreamcli validate --no-net "$dir/org.sorvane.Studio.metainfo.xml"
grep -qx "Exec=$binary %F" "$desktop" || { echo "the desktop entry does not start $binary"; exit 1; }
grep -qx "MimeType=application/pdf;" "$desktop" || { echo "the desktop entry does not open PDF files"; exit 1; }
icon=$(sed -n 's/^Icon=//p' "$desktop")
test -f "$dir/$icon.svg" || { echo "no icon $icon.svg"; exit 1; }
echo "desktop files: valid"
