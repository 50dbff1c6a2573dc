# Shared by the queue benchmarks (sourced): a work folder, removed at exit, with a program
# folder of their own ($app), so the build's convert/ folder is never touched, and the
# one-second test clips.

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
app=$work/app

# make_program_folder FOLDER CLIPFORGE_BATCH PARAMS EXT: one profile with these arguments.
make_program_folder() {
  local app=$1 batch=$2 params=$3 ext=$4
  mkdir -p "$app/bin" "$app/convert"
  cp "$batch" "$app/clipforge-batch"
  # The helpers beside it, as in the build's program folder: each converter's supervisor and
  # the output check's packet reader.
  local helper
  for helper in clipforge-supervisor clipforge-packets; do
    [ -x "$(dirname "$batch")/$helper" ] && cp "$(dirname "$batch")/$helper" "$app/$helper"
  done
  ln -s "$(command -v ffmpeg)" "$app/bin/ffmpeg"
  cat >"$app/command" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<commands>
<profile><format>Benchmark profile</format><params>$params</params><ext>$ext</ext></profile>
</commands>
XML
}

# make_clips FOLDER COUNT: COUNT copies of a one-second 320x240 clip with sound.
make_clips() {
  local folder=$1 count=$2
  mkdir -p "$folder"
  ffmpeg -v error -f lavfi -i testsrc=duration=1:size=320x240:rate=25 -f lavfi -i sine=duration=1 \
    -c:v mpeg4 -c:a aac -shortest "$folder/clip00.mp4"
  for i in $(seq -w 1 $((count - 1))); do cp "$folder/clip00.mp4" "$folder/clip$i.mp4"; done
}

now() { date +%s.%N; }
# timed COMMAND...: seconds COMMAND takes, starting from an empty output folder.
timed() {
  rm -f "$app"/convert/*
  local start; start=$(now)
  "$@" >/dev/null 2>&1
  awk -v a="$(now)" -v b="$start" 'BEGIN { print a - b }'
}
source "$(dirname "${BASH_SOURCE[0]}")/../stats.sh"
