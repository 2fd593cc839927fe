#!/usr/bin/env bash
# Checks that includes go only downward, builds Corvella and runs every test
# with ctest.
#   ./test.sh          release build (GCC)
#   ./test.sh --asan   AddressSanitizer + UndefinedBehaviorSanitizer build (clang)
set -euo pipefail
cd "$(dirname "$0")"
preset=release
[[ "${1:-}" == "--asan" ]] && preset=asan

scripts/setup.sh
scripts/check_includes.sh
scripts/build.sh "$preset"
ctest --preset "$preset" -j "$(nproc)" --timeout 300
