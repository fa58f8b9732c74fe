#!/usr/bin/env bash
# Installs the Debian packages Nimbo needs to build and run, when any is missing; with --pruebas also
# what the tests need (a PostgreSQL server to start a throw-away cluster). Used by run.sh and test.sh;
# safe to run again (it does nothing when all are there).
set -euo pipefail

paquetes=(
  g++ cmake ninja-build
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
  libsqlite3-dev libx11-dev
  sqlite3 poppler-utils
  fonts-dejavu-core xvfb xauth
  libpq-dev postgresql-server-dev-15
)
[ "${1:-}" = --pruebas ] && paquetes+=(postgresql-15)

faltan=()
for p in "${paquetes[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    faltan+=("$p")
  fi
done
[ ${#faltan[@]} -eq 0 ] && exit 0

echo "Installing: ${faltan[*]}"
como_root=()
[ "$(id -u)" -eq 0 ] || como_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${como_root[@]}" apt-get update -qq
"${como_root[@]}" apt-get install -y -qq --no-install-recommends "${faltan[@]}"
