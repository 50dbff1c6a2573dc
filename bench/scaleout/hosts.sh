#!/usr/bin/env bash
# A plan run by GNU parallel over SSH on two "machines" against one: an sshd of the benchmark's
# own on each of 127.0.0.2 and 127.0.0.3, each pinned to a core of its own with taskset, so every
# job it runs stays on that core. The speed-up of two machines over one, for the plan's lines
# (clipforge-batch job) and, as the anchor, for plan --raw's bare converter lines.
# Median of 3 runs each, interleaved. Usage: hosts.sh PATH_TO_CLIPFORGE_BATCH
set -euo pipefail
batch=${1:?usage: hosts.sh PATH_TO_CLIPFORGE_BATCH}
source "$(dirname "$0")/../queue/setup.sh"
clips=${CLIPS:-12}
make_program_folder "$app" "$batch" "-n -c:v libx264 -preset fast -c:a aac -b:a 64k" mp4
# Three-second clips: a job's SSH session costs the same however long it converts, and real jobs
# convert for minutes.
mkdir -p "$work/clips"
ffmpeg -v error -f lavfi -i testsrc=duration=3:size=640x360:rate=25 -f lavfi -i sine=duration=3 \
  -c:v mpeg4 -c:a aac -shortest "$work/clips/clip00.mp4"
for i in $(seq -w 1 $((clips - 1))); do cp "$work/clips/clip00.mp4" "$work/clips/clip$i.mp4"; done
"$app/clipforge-batch" make "$work/queue.kxl" --profile 0 "$work"/clips/*.mp4
"$app/clipforge-batch" plan "$work/queue.kxl" >"$work/lines.sh"
"$app/clipforge-batch" plan --raw "$work/queue.kxl" >"$work/raw.sh"

source "$(dirname "$0")/servers.sh"
lines1=() lines2=() raw1=() raw2=()
for _ in 1 2 3; do
  lines1+=("$(timed "$work/lines.sh" "$work/one")")
  lines2+=("$(timed "$work/lines.sh" "$work/two")")
  raw1+=("$(timed "$work/raw.sh" "$work/one")")
  raw2+=("$(timed "$work/raw.sh" "$work/two")")
done
lines1=$(printf '%s\n' "${lines1[@]}" | median)
lines2=$(printf '%s\n' "${lines2[@]}" | median)
raw1=$(printf '%s\n' "${raw1[@]}" | median)
raw2=$(printf '%s\n' "${raw2[@]}" | median)
printf 'plan on two machines (%s clips): one %.2f s, two %.2f s, speed-up %.2f (goal >= 1.8)\n' \
  "$clips" "$lines1" "$lines2" "$(ratio "$lines1" "$lines2")"
printf 'plan --raw on two machines: one %.2f s, two %.2f s, speed-up %.2f; plan against plan --raw on two: ratio %.3f\n' \
  "$raw1" "$raw2" "$(ratio "$raw1" "$raw2")" "$(ratio "$lines2" "$raw2")"
