#!/usr/bin/env bash
# Queue overhead: 30 one-second clips converted by clipforge-batch convert, against a shell loop
# running the same command lines (taken from --dry-run) with stdin from /dev/null; also with a
# fresh --joblog each run.
# Median of 5 runs each, interleaved. Usage: overhead.sh PATH_TO_CLIPFORGE_BATCH
set -euo pipefail
batch=${1:?usage: overhead.sh PATH_TO_CLIPFORGE_BATCH}
source "$(dirname "$0")/setup.sh"
make_program_folder "$app" "$batch" "-n -c copy" mkv
make_clips "$work/clips" 30
"$app/clipforge-batch" make "$work/queue.kxl" --profile 0 "$work"/clips/*.mp4
"$app/clipforge-batch" convert "$work/queue.kxl" --dry-run >"$work/lines"

queue_run() {
  rm -f "$app"/convert/* "$work/run.joblog"
  local start; start=$(now)
  "$app/clipforge-batch" convert "$work/queue.kxl" "$@" >/dev/null
  awk -v a="$(now)" -v b="$start" 'BEGIN { print a - b }'
}
shell_run() {
  rm -f "$app"/convert/*
  local start; start=$(now)
  while IFS= read -r line; do eval "$line" </dev/null >/dev/null 2>&1; done <"$work/lines"
  awk -v a="$(now)" -v b="$start" 'BEGIN { print a - b }'
}

queue_times=() shell_times=() joblog_times=()
for _ in 1 2 3 4 5; do
  queue_times+=("$(queue_run)")
  shell_times+=("$(shell_run)")
  joblog_times+=("$(queue_run --joblog "$work/run.joblog")")
done
queue=$(printf '%s\n' "${queue_times[@]}" | median)
shell=$(printf '%s\n' "${shell_times[@]}" | median)
joblog=$(printf '%s\n' "${joblog_times[@]}" | median)
printf 'queue overhead: clipforge-batch convert %.3f s, shell loop %.3f s for 30 clips, ratio %.3f (goal <= 1.02), %.1f ms per job\n' \
  "$queue" "$shell" "$(ratio "$queue" "$shell")" "$(awk -v a="$queue" -v b="$shell" 'BEGIN { print (a - b) * 1000 / 30 }')"
printf 'queue overhead with --joblog: %.3f s, shell loop %.3f s for 30 clips, ratio %.3f (goal <= 1.02), %.1f ms per job\n' \
  "$joblog" "$shell" "$(ratio "$joblog" "$shell")" "$(awk -v a="$joblog" -v b="$shell" 'BEGIN { print (a - b) * 1000 / 30 }')"
