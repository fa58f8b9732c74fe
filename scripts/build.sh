#!/usr/bin/env bash
# Configures and builds Nimbo into build/ (or $NIMBO_BUILD_DIR).
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
dir=${NIMBO_BUILD_DIR:-$raiz/build}
cmake -S "$raiz" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="${NIMBO_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
