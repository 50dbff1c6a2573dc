#!/usr/bin/env bash
# Installs what is missing, builds, and starts Norvane Clipforge.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
install_packages "${CLIPFORGE_PACKAGES[@]}"
configure_build build
cmake --build build
if [ -x build/app/clipforge ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display is available to show the window." >&2
    echo "Run it under a virtual display:  xvfb-run ./run.sh" >&2
    echo "or convert from a script with:   build/app/clipforge-batch --help" >&2
    exit 1
  fi
  exec build/app/clipforge "$@"
elif [ -x build/app/clipforge-batch ]; then
  exec build/app/clipforge-batch profiles
else
  echo "Built. The program folder is build/app/."
fi
