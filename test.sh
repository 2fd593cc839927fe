#!/usr/bin/env bash
# Checks that includes go only downward, builds Corvella and runs every test
# with ctest.
#   ./test.sh          release build (GCC)
#   ./test.sh --asan   AddressSanitizer + UndefinedBehaviorSanitizer build (clang)
#   ./test.sh --tsan   ThreadSanitizer build (clang) of the subsystems below
#                      the user interface and their tests
set -euo pipefail
cd "$(dirname "$0")"
preset=release
[[ "${1:-}" == "--asan" ]] && preset=asan
[[ "${1:-}" == "--tsan" ]] && preset=tsan

scripts/setup.sh
scripts/check_includes.sh
scripts/build.sh "$preset"
ctest --preset "$preset" -j "$(nproc)" --timeout 300
