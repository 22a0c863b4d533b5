#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test
# (no display needed: widget tests use the offscreen platform).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" -DMIRAFEL_WERROR=ON -DMIRAFEL_BUILD_TESTS=ON
export QT_QPA_PLATFORM=offscreen
cd "$BUILD_DIR"
ctest --output-on-failure -j2 --timeout 900
