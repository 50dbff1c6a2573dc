#!/usr/bin/env bash
# The folder watcher, fed 1,000 small files in ten bursts of 100 (each burst converted before the
# next comes), then left idle, then given single files:
#   memory    its resident size after the first burst (the anchor) and after the last, and its peak
#   idle CPU  its CPU time over an idle stretch that holds two rescans of the 1,000 recorded files
#   latency   from a file's last write (closed) to its job's start, against the settle time
# The converter is the tests' fake one, writing a word, so a job costs what the watcher and the
# queue spend on it. Usage: watch.sh PATH_TO_CLIPFORGE_BATCH PATH_TO_FAKE_CONVERTER
set -euo pipefail
batch=${1:?usage: watch.sh PATH_TO_CLIPFORGE_BATCH PATH_TO_FAKE_CONVERTER}
fake=${2:?usage: watch.sh PATH_TO_CLIPFORGE_BATCH PATH_TO_FAKE_CONVERTER}
source "$(dirname "$0")/../queue/setup.sh"
make_program_folder "$app" "$batch" "-q" mp4
ln -sf "$fake" "$app/bin/ffmpeg"
settle=1 rescan=5 idle=10
mkdir -p "$work/in" "$work/state"

# Each line of the watcher's output, with the moment it was written.
stamp() { while IFS= read -r line; do printf '%s %s\n' "$EPOCHREALTIME" "$line"; done; }
XDG_STATE_HOME=$work/state "$app/clipforge-batch" watch "$work/in" --profile 0 --json --check off --jobs 2 \
  --settle "$settle" --rescan "$rescan" > >(stamp >"$work/events") 2>"$work/errors" &
watcher=$!
trap 'kill "$watcher" 2>/dev/null; rm -rf "$work"' EXIT

# How often the watcher said event; 0 also before the line stamper has made its file.
events() { local n; n=$(grep -c "\"event\":\"$1\"" "$work/events" 2>/dev/null) || true; echo "${n:-0}"; }
# Waits (at most a minute) until the watcher has said event count times.
await() {
  local deadline=$((SECONDS + 60))
  until [ "$(events "$1")" -ge "$2" ]; do
    [ "$SECONDS" -lt "$deadline" ] || { echo "the watcher did not get to $2 $1 events" >&2; cat "$work/errors" >&2; exit 1; }
    sleep 0.05
  done
}
status_kb() { awk -v key="$1:" '$1 == key { print $2 }' "/proc/$watcher/status"; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$watcher/stat"; }

await watch-started 1
for burst in $(seq 1 10); do
  for i in $(seq 1 100); do printf 'clip %s %s' "$burst" "$i" >"$work/in/b${burst}_$i.mp4"; done
  await job-ended $((burst * 100))
  [ "$burst" -eq 1 ] && rss100=$(status_kb VmRSS)
done
rss1000=$(status_kb VmRSS)
peak=$(status_kb VmHWM)

before=$(cpu_ticks)
sleep "$idle"
idle_percent=$(awk -v t=$(($(cpu_ticks) - before)) -v hz="$(getconf CLK_TCK)" -v s="$idle" 'BEGIN { print t / hz / s * 100 }')

latencies=()
for i in 1 2 3 4 5; do
  printf 'single %s' "$i" >"$work/in/single$i.mp4"
  written=$EPOCHREALTIME
  await job-started $((1000 + i))
  started=$(grep "\"event\":\"job-started\"" "$work/events" | grep "single$i.mp4" | awk '{ print $1 }')
  latencies+=("$(awk -v a="$started" -v b="$written" 'BEGIN { print a - b }')")
done
latency=$(printf '%s\n' "${latencies[@]}" | median)
slowest=$(printf '%s\n' "${latencies[@]}" | sort -n | tail -1)

# Started again over the same folder: the record of the 1,005 files and their walk, without the
# job list of a run that converted them, which tells the two apart.
kill -TERM "$watcher"
wait "$watcher" || true
: >"$work/events"
XDG_STATE_HOME=$work/state "$app/clipforge-batch" watch "$work/in" --profile 0 --json --check off \
  --settle "$settle" --rescan "$rescan" > >(stamp >"$work/events") 2>"$work/errors" &
watcher=$!
await watch-started 1
sleep 1
restarted=$(status_kb VmRSS)
[ "$(events job-started)" -eq 0 ] || echo "the restarted watcher converted files again" >&2

printf 'watch memory: %d kB resident after 100 files, %d kB after 1,000, peak %d kB; ratio %.3f against the first 100 (goal: flat)\n' \
  "$rss100" "$rss1000" "$peak" "$(ratio "$rss1000" "$rss100")"
printf 'watch memory after a restart over those files (the record without the run'"'"'s job list): %d kB\n' "$restarted"
printf 'watch idle CPU: %.3f %% of one core over %d s with a rescan every %d s of 1,000 recorded files (goal < 1 %%)\n' \
  "$idle_percent" "$idle" "$rescan"
printf 'watch latency: last write to job start %.3f s median, %.3f s slowest of 5, settle %d s; ratio %.3f against the settle time (goal < settle + 1 s)\n' \
  "$latency" "$slowest" "$settle" "$(ratio "$latency" "$settle")"
