#!/usr/bin/env bash
# Builds and runs every benchmark (or those named), each printing its ratio against
# an anchor measured in the same run.  Usage: bench/run.sh [xml runner queue app ...]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
install_packages "${CLIPFORGE_PACKAGES[@]}"
configure_build build
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for d in bench/*/; do [ -x "$d/run.sh" ] && names+=("$(basename "$d")"); done
fi
for name in "${names[@]}"; do
  echo "== bench/$name"
  "bench/$name/run.sh" "$PWD/build"
done
