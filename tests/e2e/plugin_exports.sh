#!/usr/bin/env bash
# The plug-in module exports PlugInMain and nothing else, and does not link the host library
# or the PDF engine.
set -euo pipefail
module="$1"
exports=$(nm -D --defined-only "$module" | awk '{print $3}' | grep -v '^_init$\|^_fini$' || true)
if [ "$exports" != "PlugInMain" ]; then
  echo "sorvane.api exports:"; echo "$exports"; exit 1
fi
if ldd "$module" | grep -q 'sorvane-host\|mupdf'; then
  echo "sorvane.api depends on the host:"; ldd "$module"; exit 1
fi
echo "sorvane.api exports only PlugInMain"
