#!/usr/bin/env bash
# The output check's cost: 30 one-second clips converted with --check streams and --check full
# against --check off, one 20 s 1280x720 H.264 conversion likewise, and the reading of a 1 GB
# source's packets (what a check adds to a long job) against reading its bytes with cat. Median
# of 5 runs each, interleaved.
# Usage: check.sh PATH_TO_CLIPFORGE_BATCH
set -euo pipefail
batch=${1:?usage: check.sh PATH_TO_CLIPFORGE_BATCH}
source "$(dirname "$0")/setup.sh"
make_program_folder "$app" "$batch" "-n -c:v mpeg4 -q:v 5 -c:a aac -b:a 64k" mp4
make_clips "$work/clips" 30
"$app/clipforge-batch" make "$work/queue.kxl" --profile 0 "$work"/clips/*.mp4
ffmpeg -v error -f lavfi -i testsrc2=duration=20:size=1280x720:rate=25 -f lavfi -i sine=duration=20 \
  -c:v libx264 -preset veryfast -c:a aac -shortest "$work/long.mp4"
"$app/clipforge-batch" make "$work/long.kxl" --profile 0 "$work/long.mp4"

queue_on=() queue_full=() queue_off=() long_on=() long_full=() long_off=()
for _ in 1 2 3 4 5; do
  queue_on+=("$(timed "$app/clipforge-batch" convert "$work/queue.kxl" --check streams)")
  queue_full+=("$(timed "$app/clipforge-batch" convert "$work/queue.kxl" --check full)")
  queue_off+=("$(timed "$app/clipforge-batch" convert "$work/queue.kxl" --check off)")
  long_on+=("$(timed "$app/clipforge-batch" convert "$work/long.kxl" --check streams)")
  long_full+=("$(timed "$app/clipforge-batch" convert "$work/long.kxl" --check full)")
  long_off+=("$(timed "$app/clipforge-batch" convert "$work/long.kxl" --check off)")
done
median_of() { printf '%s\n' "$@" | median; }
queue_on=$(median_of "${queue_on[@]}") queue_full=$(median_of "${queue_full[@]}") queue_off=$(median_of "${queue_off[@]}")
long_on=$(median_of "${long_on[@]}") long_full=$(median_of "${long_full[@]}") long_off=$(median_of "${long_off[@]}")
printf 'output check, 30 clips: --check streams %.3f s, --check off %.3f s, ratio %.3f (goal <= 1.02)\n' \
  "$queue_on" "$queue_off" "$(ratio "$queue_on" "$queue_off")"
printf 'output check, 30 clips: --check full %.3f s, ratio to off %.3f\n' "$queue_full" "$(ratio "$queue_full" "$queue_off")"
printf 'output check, one 20 s 1280x720 H.264 job: streams %.3f s, off %.3f s, ratio %.3f (goal <= 1.01)\n' \
  "$long_on" "$long_off" "$(ratio "$long_on" "$long_off")"
printf 'output check, one 20 s 1280x720 H.264 job: full %.3f s, ratio to off %.3f\n' "$long_full" "$(ratio "$long_full" "$long_off")"

# A 1 GB source: 50 copies of the 20 s clip joined without converting.
for i in $(seq 1 50); do echo "file '$work/long.mp4'"; done >"$work/parts.txt"
ffmpeg -v error -f concat -safe 0 -i "$work/parts.txt" -c copy "$work/big.mp4"
while [ "$(stat -c %s "$work/big.mp4")" -lt 1000000000 ]; do
  ffmpeg -v error -f concat -safe 0 -i <(printf "file '%s'\nfile '%s'\n" "$work/big.mp4" "$work/big.mp4") -c copy "$work/bigger.mp4"
  mv "$work/bigger.mp4" "$work/big.mp4"
done
read_packets() { printf '%s\0' "$work/big.mp4" | "$app/clipforge-packets" >/dev/null; }
read_bytes() { cat "$work/big.mp4" >/dev/null; }
read -r packets bytes < <(interleaved 5 "timed read_packets" "timed read_bytes")
printf 'a %d MB source: its packets read in %.3f s, its bytes read by cat in %.3f s (cached), ratio %.2f\n' \
  "$(($(stat -c %s "$work/big.mp4") / 1000000))" "$packets" "$bytes" "$(ratio "$packets" "$bytes")"
