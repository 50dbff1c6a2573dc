#!/usr/bin/env bash
# Parallel conversions: 30 one-second clips converted by clipforge-batch convert --jobs 2, against
# GNU parallel -j2 running the bare converter's commands (from clipforge-batch plan --raw); and --jobs 2 against
# --jobs 1, the speed-up this machine gives. Median of 5 runs each, interleaved.
# Usage: jobs.sh PATH_TO_CLIPFORGE_BATCH
set -euo pipefail
batch=${1:?usage: jobs.sh PATH_TO_CLIPFORGE_BATCH}
command -v parallel >/dev/null || { echo "jobs: GNU parallel (Debian package parallel) is missing" >&2; exit 1; }
source "$(dirname "$0")/setup.sh"
make_program_folder "$app" "$batch" "-n -c:v mpeg4 -q:v 5 -c:a aac -b:a 64k" mp4
make_clips "$work/clips" 30
"$app/clipforge-batch" make "$work/queue.kxl" --profile 0 "$work"/clips/*.mp4
"$app/clipforge-batch" plan --raw "$work/queue.kxl" >"$work/plan.sh"

with_parallel() { parallel -j2 <"$work/plan.sh"; }

jobs2=() parallel2=() jobs1=()
for _ in 1 2 3 4 5; do
  jobs2+=("$(timed "$app/clipforge-batch" convert "$work/queue.kxl" --jobs 2)")
  parallel2+=("$(timed with_parallel)")
  jobs1+=("$(timed "$app/clipforge-batch" convert "$work/queue.kxl" --jobs 1)")
done
jobs2=$(printf '%s\n' "${jobs2[@]}" | median)
parallel2=$(printf '%s\n' "${parallel2[@]}" | median)
jobs1=$(printf '%s\n' "${jobs1[@]}" | median)
printf 'parallel conversions: convert --jobs 2 %.3f s, parallel -j2 %.3f s for 30 clips, ratio %.3f (goal <= 1.02)\n' \
  "$jobs2" "$parallel2" "$(ratio "$jobs2" "$parallel2")"
printf 'speed-up on this machine (%s cores): --jobs 1 %.3f s, --jobs 2 %.3f s, ratio %.2f\n' \
  "$(nproc)" "$jobs1" "$jobs2" "$(ratio "$jobs1" "$jobs2")"
