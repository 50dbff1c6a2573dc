#!/usr/bin/env bash
# Every shipped profile over video files that no one here made: those shipped inside Debian
# packages, downloaded (never installed) and unpacked into a folder of this script's own. Each
# pair is converted with the output check on; the table says which finished, which the check
# refused (with its reason) and which failed otherwise. A manual measurement, not a test: it
# needs the network to Debian's archive.
# Usage: scripts/real-files-check.sh BUILD_FOLDER [MODE]    (MODE: streams, the default, or full)
set -euo pipefail
build=$(cd "${1:?usage: real-files-check.sh BUILD_FOLDER [MODE]}" && pwd)
mode=${2:-streams}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/debs" "$work/unpacked" "$work/sources" "$work/out"
(cd "$work/debs" && apt-get download opencv-doc openshot-qt gnome-user-docs xine-ui >/dev/null)
for deb in "$work"/debs/*.deb; do
  dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$work/unpacked" --wildcards '*.avi' '*.mp4' '*.webm' '*.mpg' 2>/dev/null || true
done
find "$work/unpacked" -type f -size +0 \( -name '*.avi' -o -name '*.mp4' -o -name '*.webm' -o -name '*.mpg' \) \
  -exec cp {} "$work/sources/" \;
batch=$build/app/clipforge-batch
profiles=$("$batch" profiles | awk -F'\t' '$1 < 1048576 { print $1 }')
finished=0 refused=0 failed=0
for source in "$work"/sources/*; do
  for profile in $profiles; do
    "$batch" make "$work/q.kxl" --profile "$profile" --folder "$work/out" "$source" >/dev/null
    line=$("$batch" convert "$work/q.kxl" --json --check "$mode" 2>/dev/null | grep '"event":"job-ended"' || true)
    rm -rf "$work/out"/*
    if [[ $line == *'"state":"finished"'* ]]; then
      finished=$((finished + 1))
    elif [[ $line == *'"result":"failed"'* ]]; then
      refused=$((refused + 1))
      echo "refused by the check: $(basename "$source") with profile $profile: $(sed -E 's/.*"check":(.*)}$/\1/' <<<"$line")"
    else
      failed=$((failed + 1))
      echo "failed: $(basename "$source") with profile $profile: $(sed -E 's/.*"reason":"([^"]*)".*/\1/' <<<"$line")"
    fi
  done
done
echo "$(ls "$work/sources" | wc -l) files, $((finished + refused + failed)) pairs: finished $finished, refused by the check $refused, failed otherwise $failed (--check $mode)"
