#!/usr/bin/env bash
# Configures and builds one preset: release or asan. Configuring every time
# is cheap and picks up subsystem folders added since the last build.
set -euo pipefail
preset=${1:-release}
cd "$(dirname "$0")/.."
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
