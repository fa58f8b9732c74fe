#!/usr/bin/env bash
# Installs what is missing, builds, and starts nimbo. Arguments go to nimbo (a query file to open).
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
"$raiz/scripts/setup.sh"
"$raiz/scripts/build.sh"
programa=${NIMBO_BUILD_DIR:-$raiz/build}/nimbo
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting nimbo on a virtual X server (xvfb-run)." >&2
  exec xvfb-run -a "$programa" "$@"
fi
exec "$programa" "$@"
