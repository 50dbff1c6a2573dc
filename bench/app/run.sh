#!/usr/bin/env bash
# Desktop program: start-up to the main window shown (the 1000 ms splash included) and idle
# resident memory with an empty list and with 10,000 jobs, and the first paint of the window
# holding 10,000 jobs, each against a bare Qt window measured the same way in the same run; then
# two jobs converted at once from the window against one at a time (atonce.sh). Usage: bench/app/run.sh BUILD_FOLDER
set -euo pipefail
build=$(cd "${1:?usage: run.sh BUILD_FOLDER}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
cmake --build "$build" --target app_bench >/dev/null
bench="$build/bench/app/app_bench"
# The program looks for its catalogue beside itself.
cp "$build/app/command" "$build/bench/app/command"

display() {
  if [ -n "${DISPLAY:-}" ]; then "$@"; else xvfb-run -a -s '-screen 0 1280x800x24' "$@"; fi
}
measure() { display sh "$here/measure.sh" "$bench" "$@"; }

ours=$(measure startup launch 5)
# The same with 100 profiles of the user's own to read.
added=$(mktemp -d)
trap 'rm -rf "$added"' EXIT
mkdir -p "$added/clipforge"
{
  echo '<commands>'
  for i in $(seq 1 100); do
    echo "<profile><id>$((1048576 + i))</id><format>Added $i</format><params>-n -map 0 -c copy</params><ext>mkv</ext></profile>"
  done
  echo '</commands>'
} > "$added/clipforge/profiles"
withAdded=$(XDG_CONFIG_HOME="$added" measure startup launch 5)
anchor=$(measure anchor-startup launch 5)
empty=$(measure memory 0 3)
full=$(measure memory 10000 3)
bare=$(measure anchor-memory 0 3)
painted=$(measure first-paint 10000 5)
barePainted=$(measure anchor-first-paint 10000 5)

ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
echo "start-up to main window shown: ${ours} ms (goal < 1150), bare window after 1000 ms: ${anchor} ms, ratio $(ratio "$ours" "$anchor")"
echo "start-up with 100 added profiles: ${withAdded} ms (goal < 1150), ratio to the bare window $(ratio "$withAdded" "$anchor")"
echo "idle memory, empty list: ${empty} MB, ratio to a bare tree view window ${bare} MB: $(ratio "$empty" "$bare")"
echo "idle memory, 10,000 jobs: ${full} MB (goal < 80), ratio to a bare tree view window: $(ratio "$full" "$bare")"
echo "first paint, 10,000 jobs: ${painted} ms, a bare tree view of as many rows ${barePainted} ms, ratio $(ratio "$painted" "$barePainted")"
"$here/atonce.sh" "$build"
