#!/usr/bin/env bash
# Configures and builds Nimbo into build/ (or $NIMBO_BUILD_DIR).
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
dir=${NIMBO_BUILD_DIR:-$raiz/build}
# ccache, when installed, lets several build folders of one tree share their compiled objects.
lanzador=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR=$raiz CCACHE_NOHASHDIR=true
  lanzador=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$raiz" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="${NIMBO_BUILD_TYPE:-RelWithDebInfo}" "${lanzador[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
