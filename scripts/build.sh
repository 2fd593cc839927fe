#!/usr/bin/env bash
# Configures (once) and builds one preset: release or asan.
set -euo pipefail
preset=${1:-release}
cd "$(dirname "$0")/.."
if [[ ! -f build/$preset/build.ninja ]]; then
  cmake --preset "$preset" >/dev/null
fi
cmake --build --preset "$preset" -j "$(nproc)"
