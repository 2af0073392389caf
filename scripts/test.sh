#!/usr/bin/env bash
# Builds Sorvane (installing what it needs first) and runs every test.
#   scripts/test.sh        the test suite
#   scripts/test.sh --ci   the same, then what CI runs besides: the suite again in a clang build
#                          under AddressSanitizer and UndefinedBehaviorSanitizer (any report
#                          fails it), each fuzz driver for 30 seconds, and the tests that run
#                          threads (page reading, the studio) in a clang build under
#                          ThreadSanitizer (any report fails it)
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

  # ThreadSanitizer: page readers and the studio's page renderer run MuPDF in threads of their
  # own. Only those tests' programs are built; a report ends the program with status 66.
  # scripts/tsan.supp says which reports from inside Qt (not instrumented) are not ours.
  tsan=${TSAN_BUILD_DIR:-$root/build-tsan}
  CXX=clang++ cmake -S "$root" -B "$tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSORVANE_TSAN=ON \
    -DSORVANE_WERROR=ON -DSORVANE_BUILD_BENCH=OFF >/dev/null
  cmake --build "$tsan" -j "$(nproc)" --target test_pdf test_studio
  tsan_options="halt_on_error=1 second_deadlock_stack=1 suppressions=$root/scripts/tsan.supp"
  (cd "$tsan/tests" && TSAN_OPTIONS=$tsan_options "$tsan/bin/test_pdf" --gtest_brief=1)
  (cd "$tsan/tests" && TSAN_OPTIONS=$tsan_options QT_QPA_PLATFORM=offscreen \
    "$tsan/bin/test_studio" --gtest_brief=1)
fi
