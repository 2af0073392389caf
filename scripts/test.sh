#!/usr/bin/env bash
# Builds Sorvane (installing what it needs first) and runs every test.
#   scripts/test.sh        the test suite
#   scripts/test.sh --ci   the same, then what CI runs besides: the suite again in a clang build
#                          under AddressSanitizer and UndefinedBehaviorSanitizer (any report
#                          fails it), and each fuzz driver for 30 seconds
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

bash "$root/scripts/build.sh"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"

if [ "${1:-}" = "--ci" ]; then
  check=${CHECK_BUILD_DIR:-$root/build-check}
  CXX=clang++ cmake -S "$root" -B "$check" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSORVANE_SANITIZE=ON -DSORVANE_FUZZ=ON -DSORVANE_BUILD_BENCH=OFF >/dev/null
  cmake --build "$check" -j "$(nproc)"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$check" --output-on-failure -j "$(nproc)"
  bash "$root/scripts/fuzz.sh" 30 "$check"
fi
