#!/usr/bin/env bash
# Fuzzes the XML reader for the given number of seconds (default 60) with
# libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer.
# Usage: tests/fuzz/run.sh [SECONDS] [BUILD_FOLDER]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
seconds=${1:-60}
build=${2:-$root/build-fuzz}
mkdir -p "$build/corpus" "$build/artifacts"
clang=$(command -v clang++-14 || command -v clang++)
sources=("$root"/src/core/xml/*.cpp "$root/src/core/Errors.cpp" "$root/src/core/Paths.cpp")
"$clang" -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/src" "$here/XmlReaderFuzz.cpp" "${sources[@]}" -o "$build/xml_reader_fuzz"
cp -n "$here"/seeds/* "$build/corpus/" 2>/dev/null || true
exec "$build/xml_reader_fuzz" "$build/corpus" -dict="$here/xml.dict" -max_total_time="$seconds" \
  -timeout=10 -rss_limit_mb=2048 -max_len=65536 -artifact_prefix="$build/artifacts/" -print_final_stats=1
