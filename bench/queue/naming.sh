#!/usr/bin/env bash
# Output naming: clipforge-batch convert --dry-run of 1,000 and 4,000 jobs that all want the same
# output name. Choosing the names must cost time linear in the number of jobs: the ratio of the
# two times should stay near 4 (goal: 4,000 jobs under 1 s, ratio under 5).
# Median of 5 runs each, interleaved. Usage: naming.sh PATH_TO_CLIPFORGE_BATCH
set -euo pipefail
batch=${1:?usage: naming.sh PATH_TO_CLIPFORGE_BATCH}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/../stats.sh"

# A program folder of its own, so the build's convert/ folder is never touched.
app=$work/app
mkdir -p "$app/bin" "$app/convert"
cp "$batch" "$app/clipforge-batch"
ln -s "$(command -v true)" "$app/bin/ffmpeg"
cat >"$app/command" <<'XML'
<commands><profile><format>Wave</format><params>-n</params><ext>wav</ext></profile></commands>
XML
touch "$work/clip.avi"

write_list() {  # COUNT FILE
  {
    printf '<?xml version="1.0" encoding="UTF-8"?>\r\n<list>\r\n'
    for ((i = 0; i < $1; i++)); do
      printf '  <item>\r\n    <filename>%s</filename>\r\n    <format>0</format>\r\n    <path/>\r\n  </item>\r\n' "$work/clip.avi"
    done
    printf '</list>\r\n'
  } >"$2"
}
write_list 1000 "$work/small.kxl"
write_list 4000 "$work/large.kxl"

now() { date +%s.%N; }
dry_run() {
  local start; start=$(now)
  "$app/clipforge-batch" convert "$1" --dry-run >/dev/null
  awk -v a="$(now)" -v b="$start" 'BEGIN { print a - b }'
}

small_times=() large_times=()
for _ in 1 2 3 4 5; do
  small_times+=("$(dry_run "$work/small.kxl")")
  large_times+=("$(dry_run "$work/large.kxl")")
done
small=$(printf '%s\n' "${small_times[@]}" | median)
large=$(printf '%s\n' "${large_times[@]}" | median)
printf 'output naming: --dry-run of 1,000 same-named jobs %.3f s, 4,000 %.3f s, ratio %.2f (goal: 4,000 under 1 s, ratio < 5)\n' \
  "$small" "$large" "$(awk -v a="$large" -v b="$small" 'BEGIN { print a / b }')"
