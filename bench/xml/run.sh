#!/usr/bin/env bash
# Reading and writing a 100,000-item list file: our XML reader and writer
# against pugixml and libxml2, measured in the same run.
# Usage: bench/xml/run.sh BUILD_FOLDER
set -euo pipefail
build=${1:?usage: run.sh BUILD_FOLDER}
cmake --build "$build" --target xml_bench >/dev/null
"$build/bench/xml/xml_bench"
