#!/usr/bin/env bash
# Runs each fuzz driver for SECONDS (default 30) on a seed corpus made from the test fixtures,
# in the sanitized clang build BUILD_DIR (default build-check, made by scripts/test.sh --ci or
# here). Exits non-zero when a driver finds a crash; the input that crashes it is kept in
# BUILD_DIR/fuzz-findings/, to become a regression fixture. Run it longer by hand:
#   scripts/fuzz.sh 3600
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
build=${2:-${CHECK_BUILD_DIR:-$root/build-check}}

if [ ! -x "$build/bin/fuzz_pdf" ]; then
  bash "$root/scripts/install-deps.sh"
  CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSORVANE_SANITIZE=ON -DSORVANE_FUZZ=ON -DSORVANE_BUILD_BENCH=OFF >/dev/null
  cmake --build "$build" -j "$(nproc)"
fi

seeds="$build/fuzz-seeds"
rm -rf "$seeds"
"$build/bin/make_fuzz_seeds" "$seeds" "$root/examples"
findings="$build/fuzz-findings"
mkdir -p "$findings"
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

failed=0
for driver in cabinet_stream pdf page_num_script pattern; do
  work=$(mktemp -d)
  cp "$seeds/$driver"/* "$work/"
  echo "fuzz: $driver for ${seconds}s"
  if ! "$build/bin/fuzz_$driver" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 \
      -artifact_prefix="$findings/$driver-" -print_final_stats=1 "$work" \
      >"$build/fuzz-$driver.log" 2>&1; then
    echo "fuzz: $driver FOUND A CRASH (see $build/fuzz-$driver.log and $findings/)"
    tail -40 "$build/fuzz-$driver.log"
    failed=1
  fi
  grep -E "stat::number_of_executed_units|cov: " "$build/fuzz-$driver.log" | tail -2 || true
  rm -rf "$work"
done
exit $failed
