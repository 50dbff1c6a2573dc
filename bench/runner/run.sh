#!/usr/bin/env bash
# Process runner figures, each against an anchor measured in the same run:
# spawn cost (with and without 1 GiB of resident memory), idle cost, exit
# latency and line throughput; then the peak memory of clipforge-batch while its
# converter writes 1 GB without line ends and 1 GB in 100-byte lines.
# Usage: bench/runner/run.sh BUILD_FOLDER
set -euo pipefail
build=${1:?build folder}
cmake --build "$build" --target runner_bench batch_memory_bench fake_converter >/dev/null
"$build/bench/runner/runner_bench"
"$build/bench/runner/batch_memory_bench"
