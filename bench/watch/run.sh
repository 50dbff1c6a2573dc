#!/usr/bin/env bash
# Watch benchmark: clipforge-batch watch over 1,000 files arriving in bursts, with the tests'
# fake converter, so that the watcher is measured and not conversions (see watch.sh).
# Usage: bench/watch/run.sh BUILD_FOLDER
set -euo pipefail
build=${1:?usage: run.sh BUILD_FOLDER}
here=$(cd "$(dirname "$0")" && pwd)
cmake --build "$build" --target clipforge-batch clipforge-supervisor clipforge-packets fake_converter >/dev/null
"$here/watch.sh" "$build/app/clipforge-batch" "$build/tests/support/fake_converter"
