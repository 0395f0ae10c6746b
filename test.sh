#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs every test, twice for the libraries
# without widgets: once as built, once under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup-deps

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
status=0

echo "== build"
scripts/build build -DQDX_WERROR=ON
echo "== browser test driver"
(cd tests/web/browser && npm ci --no-audit --no-fund --loglevel=error)
export QDX_REQUIRE_BROWSER=1
echo "== tests"
ctest --test-dir build --output-on-failure -j "$jobs" || status=1

echo "== build (sanitizers, libraries without widgets)"
scripts/build build-asan -DQDX_WERROR=ON -DQDX_CORE_ONLY=ON -DQDX_SANITIZE=ON -DQDX_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=Debug
echo "== tests (sanitizers)"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
  ctest --test-dir build-asan --output-on-failure -j "$jobs" || status=1

exit $status
