#!/usr/bin/env bash
# Fails when a library includes the header of one it may not use. Every library exports the same
# include root, so the compiler alone would accept a wrong-way include; this keeps the layering
# the README's Layout section states. Prints each wrong include and exits 1.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
  [src/core]="core"
  [src/engine]="core engine"
  [tools/batch]="core engine"
  [tools/supervisor]=""
  [tools/packets]=""
  [src/controls]="controls"
  [src/dialogs]="core controls dialogs"
  [src/app]="core engine controls dialogs app"
)
libraries="core engine controls dialogs app"

status=0
for folder in "${!allowed[@]}"; do
  while IFS=: read -r file line library; do
    if [[ " ${allowed[$folder]} " != *" $library "* ]]; then
      echo "$file:$line: $folder may not include $library/ headers" >&2
      status=1
    fi
  done < <(grep -rnoE --include='*.h' --include='*.cpp' "^[[:space:]]*#[[:space:]]*include[[:space:]]*[\"<]($(tr ' ' '|' <<<"$libraries"))/" "$folder" |
           sed -E 's/^([^:]+):([0-9]+):.*[\"<]([a-z]+)\/$/\1:\2:\3/')
done
exit "$status"
