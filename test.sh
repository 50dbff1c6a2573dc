#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite.
# The tests without widgets run a second time under AddressSanitizer and
# UndefinedBehaviorSanitizer; the last line printed is ctest's own summary.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
install_packages "${CLIPFORGE_PACKAGES[@]}"
scripts/check-includes.sh
scripts/check-platform-code.sh

jobs=$(nproc)
configure_build build-asan -DCMAKE_BUILD_TYPE=Debug -DCLIPFORGE_SANITIZE=ON -DCLIPFORGE_HEADLESS_ONLY=ON
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-asan --output-on-failure -j "$jobs" >build-asan/ctest.log 2>&1 || {
  cat build-asan/ctest.log
  echo "The sanitizer run failed." >&2
  exit 1
}
grep "tests passed" build-asan/ctest.log | sed 's/^/sanitizer run: /'

# The fuzz target is only compiled here; fuzzing it stays a manual step (tests/fuzz/run.sh).
tests/fuzz/run.sh --build-only

configure_build build
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"
