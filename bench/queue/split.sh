#!/usr/bin/env bash
# One long file on every core: a 2-minute 1280x720 source converted with convert --jobs 2 --split
# against --jobs 1, with the shipped Theora profile (a single-threaded encoder: goal <= 0.60 on
# two cores) and the shipped H.264 profile (which uses every core by itself: goal <= 1.00, never
# slower), and the joined output's size against the whole conversion's (goal within 2%). Each
# side twice, the best of each; the load before each measurement is printed, as the machine may
# be shared.
# Usage: split.sh PATH_TO_CLIPFORGE_BATCH
set -euo pipefail
batch=${1:?usage: split.sh PATH_TO_CLIPFORGE_BATCH}
source "$(dirname "$0")/setup.sh"
catalogue=$(dirname "$batch")/command
ffmpeg -v error -f lavfi -i testsrc2=size=1280x720:rate=25 -f lavfi -i sine=frequency=440:sample_rate=48000 \
  -t 120 -c:v libx264 -preset veryfast -g 50 -bf 2 -c:a aac "$work/long.mp4"

best() { sort -n | head -1; }
size() { stat -c %s "$app"/convert/*; }

# measure NAME PROFILE_NUMBER: the shipped profile of that number, whole and split.
measure() {
  local name=$1 params ext whole=() split=() wholeSize splitSize
  params=$("$batch" profiles | awk -F'\t' -v n="$2" '$1 == n { print $4 }')
  ext=$("$batch" profiles | awk -F'\t' -v n="$2" '$1 == n { print $3 }')
  rm -rf "$app"
  make_program_folder "$app" "$batch" "$params" "$ext"
  "$app/clipforge-batch" make "$work/long.kxl" --profile 0 "$work/long.mp4"
  echo "$name: load before: $(cut -d' ' -f1-3 /proc/loadavg)"
  for _ in 1 2; do
    whole+=("$(timed "$app/clipforge-batch" convert "$work/long.kxl" --jobs 1)")
    wholeSize=$(size)
    split+=("$(timed "$app/clipforge-batch" convert "$work/long.kxl" --jobs 2 --split)")
    splitSize=$(size)
  done
  whole=$(printf '%s\n' "${whole[@]}" | best)
  split=$(printf '%s\n' "${split[@]}" | best)
  printf '%s: --jobs 1 %.1f s, --jobs 2 --split %.1f s, ratio %.3f (goal %s); size %d against %d bytes, ratio %.4f (goal within 2%%)\n' \
    "$name" "$whole" "$split" "$(ratio "$split" "$whole")" "$3" "$splitSize" "$wholeSize" "$(ratio "$splitSize" "$wholeSize")"
  echo "$name: load after: $(cut -d' ' -f1-3 /proc/loadavg)"
}

[ -f "$catalogue" ] || { echo "split: $catalogue is missing" >&2; exit 1; }
measure "Theora" 11 "<= 0.60"
measure "H.264" 0 "<= 1.00"
