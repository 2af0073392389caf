#!/usr/bin/env bash
# Builds the Debian package, installs it with apt-get, runs the installed sorvane on the bundled
# example (version, generation, its manual page), and removes the package again.
# Run as root (or with sudo available). Leaves the package in build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

bash "$root/scripts/build.sh"
(cd "$build" && rm -f sorvane_*.deb && cpack -G DEB >/dev/null)
deb=$(ls "$build"/sorvane_*.deb)
echo "check-package: $(basename "$deb")"
dpkg-deb --field "$deb" Depends

export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get install -y -qq "$deb" >/dev/null
trap '$SUDO apt-get purge -y -qq sorvane >/dev/null' EXIT

work=$(mktemp -d)
/usr/bin/sorvane --version
/usr/bin/sorvane generate "$root/examples/manual.pdf" -s "$root/examples/manual.svb" \
  -o "$work/manual.pdf"
/usr/bin/sorvane list "$work/manual.pdf" >/dev/null
MANWIDTH=80 man sorvane | grep -q "EXIT STATUS"
MANWIDTH=80 man 5 sorvane-settings | grep -q "InsertType"
test -f /usr/share/bash-completion/completions/sorvane
# The guide, where --help says it is.
test -f /usr/share/doc/sorvane/command-line.md
/usr/bin/sorvane --help | grep -q /usr/share/doc/sorvane
# The studio appears in the application menu and under "Open with" for PDF files.
desktop-file-validate /usr/share/applications/org.sorvane.Studio.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.sorvane.Studio.metainfo.xml
test -f /usr/share/icons/hicolor/scalable/apps/org.sorvane.Studio.svg
rm -rf "$work"
echo "check-package: the installed package works"
