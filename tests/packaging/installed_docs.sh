#!/usr/bin/env bash
# What `cmake --install` puts in place for readers: the guide under share/doc/sorvane, the
# manual pages (which render), and a --help that names where the guide is.
#   installed_docs.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
fail() { echo "installed_docs: $*" >&2; exit 1; }
for f in command-line.md settings-files.md writing-rules.md dialog-scripts.md scale.md studio.md \
    images/generate.png; do
  [ -s "$prefix/share/doc/sorvane/$f" ] || fail "share/doc/sorvane/$f is missing"
done
MANWIDTH=100 man -l "$prefix/share/man/man1/sorvane.1" 2>/dev/null | grep -q "SEE ALSO" ||
  fail "sorvane.1 does not render"
MANWIDTH=100 man -l "$prefix/share/man/man5/sorvane-settings.5" 2>/dev/null |
  grep -q "Level<N>.TextStyle.FontDesc.FontSize" || fail "sorvane-settings.5 does not render"
"$prefix/bin/sorvane" --help | grep -q "$prefix/share/doc/sorvane" ||
  fail "--help does not name the installed guide"
echo "installed docs: the guide, the manual page and --help agree"
