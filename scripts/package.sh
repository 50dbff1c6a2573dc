#!/usr/bin/env bash
# Builds the Debian package of Norvane Clipforge into build/package/ and prints its path as the
# last line. Install it with:  sudo apt-get install ./build/package/clipforge_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
install_packages "${CLIPFORGE_PACKAGES[@]}"
configure_build build
cmake --build build -j "$(nproc)" --target clipforge clipforge-batch clipforge-supervisor clipforge-packets program_folder clipforge_help clipforge_manuals clipforge_changelog
rm -f build/package/*.deb
cpack --config build/CPackConfig.cmake -B build/package >build/package.log 2>&1 || {
  cat build/package.log >&2
  echo "The package could not be built." >&2
  exit 1
}
package=$(ls build/package/*.deb)
echo "$(pwd)/$package"
