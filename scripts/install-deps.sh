#!/usr/bin/env bash
# Installs every Debian package that building, testing and benchmarking Sorvane needs.
# Does nothing when they are all present. Run as root (or with sudo available).
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake pkg-config clang-format
  # the sanitized build and the fuzz drivers (scripts/test.sh --ci, scripts/fuzz.sh)
  clang libclang-rt-14-dev
  # PDF engine (MuPDF ships static libraries and does not declare what they need)
  libmupdf-dev libharfbuzz-dev libjbig2dec0-dev libopenjp2-7-dev libgumbo-dev libmujs-dev
  libfreetype-dev libjpeg62-turbo-dev zlib1g-dev
  # plug-in and host libraries
  libpcre2-dev nlohmann-json3-dev qt6-base-dev
  # tests and benchmarks
  libqpdf-dev qpdf mupdf-tools poppler-utils libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth time
  # the manual page is checked with man -l
  man-db
  # the studio's desktop entry and software-centre entry are validated
  desktop-file-utils appstream
  # the example of batches shared out over machines (docs/scale.md) is run with GNU parallel
  parallel
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
