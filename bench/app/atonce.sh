#!/usr/bin/env bash
# Several conversions at once from the window: two 3-second jobs, each converted by the fake
# converter at its source's own pace (so a job lasts about as long as its clip), with
# jobsAtOnce=2 against jobsAtOnce=1, timed from Convert to the run's end box. Median of 3
# runs each, interleaved. Usage: atonce.sh BUILD_FOLDER
set -euo pipefail
build=$(cd "${1:?usage: atonce.sh BUILD_FOLDER}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
cmake --build "$build" --target app_bench fake_converter clipforge-packets clipforge-supervisor >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A program folder of the benchmark's own: the bench as the program, the build's helpers beside
# it, and the fake converter as bin/ffmpeg.
app=$work/app
mkdir -p "$app/bin" "$app/convert" "$work/config" "$work/state" "$work/out"
cp "$build/bench/app/app_bench" "$build/app/clipforge-packets" "$build/app/clipforge-supervisor" "$app/"
cp "$build/tests/support/fake_converter" "$app/bin/ffmpeg"
echo paced >"$app/bin/ffmpeg.mode"
cat >"$app/command" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<commands>
<profile><format>Benchmark profile</format><params>-n -c:v mpeg4 -q:v 5 -c:a aac -b:a 64k</params><ext>mp4</ext></profile>
</commands>
XML
ffmpeg -v error -f lavfi -i testsrc=duration=3:size=320x240:rate=25 -f lavfi -i sine=duration=3 \
  -c:v mpeg4 -c:a aac -shortest "$work/one.mp4"
cp "$work/one.mp4" "$work/two.mp4"

display() {
  if [ -n "${DISPLAY:-}" ]; then "$@"; else xvfb-run -a -s '-screen 0 1280x800x24' "$@"; fi
}
timed() {
  rm -rf "$work/out" "$work/config/clipforge" "$work/state/clipforge"
  mkdir -p "$work/out"
  XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" \
    display "$app/app_bench" run "$1" "$work/out/" "$work/one.mp4" "$work/two.mp4" 2>/dev/null | awk '{print $2}'
}
source "$here/../stats.sh"
read -r two one < <(interleaved 3 "timed 2" "timed 1")
printf 'two 3-second jobs from the window: jobsAtOnce=2 %.3f s (goal < 4.5), jobsAtOnce=1 %.3f s, ratio %.2f\n' \
  "$two" "$one" "$(ratio "$two" "$one")"
