#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
"$raiz/scripts/setup.sh"
"$raiz/scripts/build.sh"
ctest --test-dir "${NIMBO_BUILD_DIR:-$raiz/build}" -j2 --output-on-failure
