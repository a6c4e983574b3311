#!/usr/bin/env bash
# Builds the Debian package of both programs (Release, without the tests) into
# build/Package/pos-configuration-suite_<version>_<architecture>.deb.
# Install it with: sudo apt install ./build/Package/pos-configuration-suite_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build/Package -G Ninja -DCMAKE_BUILD_TYPE=Release -DSUITE_SANITIZE=OFF \
    -DSUITE_TESTS=OFF
cmake --build build/Package
(cd build/Package && cpack -G DEB)
ls build/Package/*.deb
