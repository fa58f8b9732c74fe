#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless, the PostgreSQL ones against a
# throw-away server on loopback that is stopped again at the end.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
build=${NIMBO_BUILD_DIR:-$raiz/build}
"$raiz/scripts/setup.sh" --pruebas
"$raiz/scripts/build.sh"
# As root (CI's throw-away machine) the NIEB module and the extension's files go into PostgreSQL's own
# folders too, so that the tests also install the server by CREATE EXTENSION nieb.
if [ "$(id -u)" -eq 0 ]; then
  cmake --install "$build" --component nieb_pg >/dev/null
fi
trap '"$raiz/scripts/postgres.sh" stop' EXIT
eval "$("$raiz/scripts/postgres.sh" start "$build")"
ctest --test-dir "$build" -j2 --output-on-failure
