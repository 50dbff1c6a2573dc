#!/usr/bin/env bash
# Fuzzes the XML reader for the given number of seconds (default 60) with libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer. The fuzz build is an ordinary CMake build of
# its own, so it compiles exactly what the program does.
# Usage: tests/fuzz/run.sh [SECONDS | --build-only] [BUILD_FOLDER]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
seconds=${1:-60}
build=${2:-$root/build-fuzz}
clang=$(command -v clang++-14 || command -v clang++)
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$clang" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCLIPFORGE_FUZZ=ON -DCLIPFORGE_HEADLESS_ONLY=ON -DCLIPFORGE_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target xml_reader_fuzz >"$build/fuzz-build.log" 2>&1 || {
  cat "$build/fuzz-build.log" >&2
  echo "The fuzz target does not build." >&2
  exit 1
}
[ "$seconds" = --build-only ] && exit 0
mkdir -p "$build/corpus" "$build/artifacts"
cp -n "$here"/seeds/* "$build/corpus/" 2>/dev/null || true
exec "$build/tests/fuzz/xml_reader_fuzz" "$build/corpus" -dict="$here/xml.dict" -max_total_time="$seconds" \
  -timeout=10 -rss_limit_mb=2048 -max_len=65536 -artifact_prefix="$build/artifacts/" -print_final_stats=1
