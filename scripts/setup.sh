#!/usr/bin/env bash
# Installs the Debian packages the project needs, once; silent when all are there.
# Sourced by run.sh and test.sh.
set -euo pipefail

# What each group is for: the build (pkg-config: Qt's CMake files find some of their own
# dependencies with it; gzip: the manual pages); the tests (the GoogleTest CMake files also name
# gmock's libraries; xvfb, xauth for xvfb-run, x11-utils for xwininfo and imagemagick for import:
# the smoke test; desktop-file-utils and appstream: the install test; parallel: running a plan;
# openssh-server: the sshd a scale-out test starts for itself on a loopback port;
# the fonts the window asks for; dbus-daemon for dbus-run-session: the notification test); the
# launch feedback of a start that hands its files over (libxcb1-dev); reading packets for the output check (libavformat-dev); the benchmarks' anchors (pugixml, libxml2); the fuzzer (clang); the package (dpkg-dev
# for dpkg-shlibdeps, file for CPack); a decimal-comma locale to build in a test (locales).
CLIPFORGE_PACKAGES=(
  cmake ninja-build g++ pkg-config gzip
  qt6-base-dev libpng-dev libjpeg-dev zlib1g-dev libxcb1-dev libavformat-dev libavcodec-dev libavutil-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  ffmpeg parallel openssh-server xvfb xauth x11-utils imagemagick desktop-file-utils appstream
  fonts-liberation2 fonts-dejavu-core dbus-daemon
  libpugixml-dev libxml2-dev clang-14 libclang-rt-14-dev
  dpkg-dev file locales
)

missing_packages() {
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      printf '%s\n' "$p"
    fi
  done
}

install_packages() {
  local missing
  mapfile -t missing < <(missing_packages "$@")
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
      sudo=(sudo -n)
    else
      echo "These Debian packages are missing: ${missing[*]}" >&2
      echo "Run this script as root, or install them with:" >&2
      echo "  sudo apt-get install ${missing[*]}" >&2
      exit 1
    fi
  fi
  export DEBIAN_FRONTEND=noninteractive
  # The tests start an sshd of their own; the system's SSH service must not start, now or at
  # boot, just because the tests needed the program. Debian's service honours this file.
  if printf '%s\n' "${missing[@]}" | grep -qx openssh-server; then
    "${sudo[@]}" mkdir -p /etc/ssh
    "${sudo[@]}" touch /etc/ssh/sshd_not_to_be_run
  fi
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

configure_build() {
  local dir=$1
  shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  fi
}
