#!/usr/bin/env bash
# The cost of plan for a list of 100,000 jobs, against plan --raw (the bare converter's lines)
# on the same list: what writing each job's whole line for clipforge-batch job adds.
# Median of 5 runs each, interleaved. Usage: plancost.sh PATH_TO_CLIPFORGE_BATCH
set -euo pipefail
batch=${1:?usage: plancost.sh PATH_TO_CLIPFORGE_BATCH}
source "$(dirname "$0")/../queue/setup.sh"
make_program_folder "$app" "$batch" "-n -map 0:v:0? -map 0:a:0? -c:v libx264 -crf 23 -c:a aac -b:a 160k" mp4
mkdir -p "$work/out"
awk -v folder="$work" 'BEGIN {
  printf "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<list>\r\n"
  for (i = 0; i < 100000; i++)
    printf "  <item>\r\n    <filename>%s/videos/clip %06d.avi</filename>\r\n    <format>0</format>\r\n    <path>%s/out/</path>\r\n  </item>\r\n", folder, i, folder
  printf "</list>\r\n"
}' >"$work/queue.kxl"

timed() {
  local start; start=$(now)
  "$app/clipforge-batch" plan "$@" "$work/queue.kxl" >"$work/plan.sh"
  awk -v a="$(now)" -v b="$start" 'BEGIN { print a - b }'
}
read -r lines raw < <(interleaved 5 timed "timed --raw")
printf 'plan of 100,000 jobs: %.3f s (%.1f us a job, %s bytes a line), plan --raw %.3f s, ratio %.2f\n' \
  "$lines" "$(awk -v t="$lines" 'BEGIN { print t * 10 }')" \
  "$(timed >/dev/null; head -1 "$work/plan.sh" | wc -c)" "$raw" "$(ratio "$lines" "$raw")"
