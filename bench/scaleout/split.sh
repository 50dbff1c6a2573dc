#!/usr/bin/env bash
# One long file on two machines: a 2-minute 1280x720 source with the shipped Theora profile (a
# single-threaded encoder), plan --split's lines (the sound and four parts; the last line to find
# every piece joins) run by GNU parallel over SSH on two loopback "machines" each held to one
# core, against the plain plan's one line on one of them (goal <= 0.60). Median of RUNS runs
# each (2 unless given), interleaved; the load before and after is printed, as the machine may
# be shared.
# Usage: split.sh PATH_TO_CLIPFORGE_BATCH
set -euo pipefail
batch=${1:?usage: split.sh PATH_TO_CLIPFORGE_BATCH}
source "$(dirname "$0")/../queue/setup.sh"
catalogue=$(dirname "$batch")/command
[ -f "$catalogue" ] || { echo "split: $catalogue is missing" >&2; exit 1; }
params=$("$batch" profiles | awk -F'\t' '$1 == 11 { print $4 }')
make_program_folder "$app" "$batch" "$params" ogv
ffmpeg -v error -f lavfi -i testsrc2=size=1280x720:rate=25 -f lavfi -i sine=frequency=440:sample_rate=48000 \
  -t 120 -c:v libx264 -preset veryfast -g 50 -bf 2 -c:a aac "$work/long.mp4"
"$app/clipforge-batch" make "$work/long.kxl" --profile 0 "$work/long.mp4"
"$app/clipforge-batch" plan "$work/long.kxl" >"$work/whole.sh"
"$app/clipforge-batch" plan --split "$work/long.kxl" >"$work/split.sh"
source "$(dirname "$0")/servers.sh"

echo "split plan: load before: $(cut -d' ' -f1-3 /proc/loadavg)"
read -r one two < <(interleaved "${RUNS:-2}" 'timed "$work/whole.sh" "$work/one"' 'timed "$work/split.sh" "$work/two"')
printf 'split plan: the whole line on one machine %.1f s, %d split lines on two %.1f s, ratio %.3f (goal <= 0.60)\n' \
  "$one" "$(wc -l <"$work/split.sh")" "$two" "$(ratio "$two" "$one")"
echo "split plan: load after: $(cut -d' ' -f1-3 /proc/loadavg)"
