#!/usr/bin/env bash
# Builds Corvella and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
scripts/build.sh release
exec build/release/app/corvella "$@"
