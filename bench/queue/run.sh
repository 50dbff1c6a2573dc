#!/usr/bin/env bash
# Queue benchmarks: list-file import/export against pugixml, the first frame of the job view
# against a bare tree view (also with the kept queue), the kept queue's cost per change, the
# overhead of clipforge-batch convert (also with --joblog) against a plain shell loop running
# the same command lines, parallel conversions against GNU parallel, and the cost of choosing
# the names of many same-named jobs.
# Usage: bench/queue/run.sh BUILD_FOLDER
set -euo pipefail
build=${1:?usage: run.sh BUILD_FOLDER}
here=$(cd "$(dirname "$0")" && pwd)
cmake --build "$build" --target queue_listfile_bench queue_first_frame_bench queue_state_bench clipforge-batch >/dev/null
"$build/bench/queue/queue_listfile_bench"
"$build/bench/queue/queue_first_frame_bench"
"$build/bench/queue/queue_state_bench"
"$here/naming.sh" "$build/app/clipforge-batch"
"$here/overhead.sh" "$build/app/clipforge-batch"
"$here/jobs.sh" "$build/app/clipforge-batch"
