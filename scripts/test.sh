#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test
# suite twice (no display needed: widget tests use the offscreen platform):
#   1. the plain build in build/ (or $BUILD_DIR);
#   2. a build with AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer
#      in build-asan/ (or $SANITIZE_BUILD_DIR), -O1, without the benchmarks and
#      the application. Any memory error, leak or undefined behaviour fails the
#      run. SANITIZE=0 skips this second pass.
# Leaks inside third-party libraries only are listed in scripts/lsan.supp.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$root/build}"
sanitize_dir="${SANITIZE_BUILD_DIR:-$root/build-asan}"
"$root/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen

echo "== plain build and tests"
"$root/scripts/build.sh" -DMIRAFEL_WERROR=ON -DMIRAFEL_BUILD_TESTS=ON
(cd "$BUILD_DIR" && ctest --output-on-failure -j2 --timeout 900)

if [ "${SANITIZE:-1}" = "0" ]; then
  exit 0
fi

echo "== sanitizer build and tests"
BUILD_DIR="$sanitize_dir" "$root/scripts/build.sh" -DMIRAFEL_WERROR=ON -DMIRAFEL_BUILD_TESTS=ON \
  -DMIRAFEL_SANITIZE=ON -DMIRAFEL_BUILD_BENCH=OFF -DMIRAFEL_BUILD_APP=OFF
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd "$sanitize_dir" && ctest --output-on-failure -j2 --timeout 900)
