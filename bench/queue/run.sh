#!/usr/bin/env bash
# Queue benchmarks: list-file import/export against pugixml, the first frame of the job view
# against a bare tree view (also with the kept queue), the kept queue's cost per change, the
# overhead of clipforge-batch convert (also with --joblog) against a plain shell loop running
# the same command lines, parallel conversions against GNU parallel, the cost of choosing
# the names of many same-named jobs, and the cost of committing an output (1 GB, and 1 MB as a
# job's cost per output) against writing it, the output check against no check, and one
# long file split over two workers against converting it whole.
# Usage: bench/queue/run.sh BUILD_FOLDER
set -euo pipefail
build=${1:?usage: run.sh BUILD_FOLDER}
here=$(cd "$(dirname "$0")" && pwd)
cmake --build "$build" --target queue_listfile_bench queue_first_frame_bench queue_state_bench queue_commit_bench clipforge-batch clipforge-supervisor clipforge-packets >/dev/null
"$build/bench/queue/queue_listfile_bench"
"$build/bench/queue/queue_first_frame_bench"
"$build/bench/queue/queue_state_bench"
"$build/bench/queue/queue_commit_bench" "$build"
"$here/naming.sh" "$build/app/clipforge-batch"
"$here/overhead.sh" "$build/app/clipforge-batch"
"$here/jobs.sh" "$build/app/clipforge-batch"
"$here/check.sh" "$build/app/clipforge-batch"
"$here/split.sh" "$build/app/clipforge-batch"
