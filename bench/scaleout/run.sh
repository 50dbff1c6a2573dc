#!/usr/bin/env bash
# Scale-out benchmarks: a plan run by GNU parallel over SSH on two loopback "machines", each
# pinned to one core, against one, for many short jobs and for one long job split with plan
# --split; and what planning 100,000 jobs costs.
# Usage: bench/scaleout/run.sh BUILD_FOLDER
set -euo pipefail
build=${1:?usage: run.sh BUILD_FOLDER}
here=$(cd "$(dirname "$0")" && pwd)
cmake --build "$build" --target clipforge-batch >/dev/null
"$here/plancost.sh" "$build/app/clipforge-batch"
"$here/hosts.sh" "$build/app/clipforge-batch"
"$here/split.sh" "$build/app/clipforge-batch"
