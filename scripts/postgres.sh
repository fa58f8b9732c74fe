#!/usr/bin/env bash
# A throw-away PostgreSQL server for the tests, on loopback only.
#   scripts/postgres.sh start [BUILD_DIR]   creates and starts it; prints the variables the tests read
#   scripts/postgres.sh modulo BUILD_DIR    copies a newly built NIEB module beside it
#   scripts/postgres.sh stop                stops it and removes its folder
# The cluster lives in $NIMBO_PG_DIR (default /tmp/nimbo-pg) and listens on 127.0.0.1:$NIMBO_PG_PORT
# (default 54329) and on a socket in its folder. TCP logins need a password (so a wrong one is refused);
# the role "nimbo" (password "nimbo") is a superuser, as installing the NIEB module's C functions needs.
# The module is loaded as 'nieb' from the cluster's own lib folder, so nothing goes into system folders.
set -euo pipefail

carpeta=${NIMBO_PG_DIR:-/tmp/nimbo-pg}
puerto=${NIMBO_PG_PORT:-54329}
datos=$carpeta/datos

# The newest installed server's programs (Debian keeps them out of PATH).
binarios=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -z "$binarios" ] || [ ! -x "$binarios/initdb" ]; then
  echo "postgres.sh: no PostgreSQL server is installed (package postgresql-15)" >&2
  exit 1
fi

# PostgreSQL refuses to run as root: root runs it as the postgres user the Debian package creates.
como=()
[ "$(id -u)" -eq 0 ] && como=(runuser -u postgres --)

copiar_modulo() {
  local modulo=$1/postgres/nieb.so
  if [ -f "$modulo" ]; then
    install -m 0755 "$modulo" "$carpeta/lib/nieb.so"
    [ "$(id -u)" -eq 0 ] && chown postgres "$carpeta/lib/nieb.so"
  fi
  return 0
}

parar() {
  if [ -f "$datos/postmaster.pid" ]; then
    "${como[@]}" "$binarios/pg_ctl" -D "$datos" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$carpeta"
}

case "${1:-}" in
start)
  parar
  mkdir -p "$carpeta/lib"
  [ "$(id -u)" -eq 0 ] && chown -R postgres "$carpeta"
  chmod 0755 "$carpeta"
  clave=$(mktemp)
  echo postgres > "$clave"
  chmod 0644 "$clave"
  "${como[@]}" "$binarios/initdb" -D "$datos" -U postgres --pwfile="$clave" -E UTF8 --locale=C.UTF-8 \
    --auth-local=trust --auth-host=scram-sha-256 >/dev/null
  rm -f "$clave"
  cat >> "$datos/postgresql.conf" <<EOF
listen_addresses = '127.0.0.1'
port = $puerto
unix_socket_directories = '$carpeta'
dynamic_library_path = '$carpeta/lib:\$libdir'
fsync = off
synchronous_commit = off
full_page_writes = off
max_connections = 200
EOF
  [ $# -ge 2 ] && copiar_modulo "$2"
  "${como[@]}" "$binarios/pg_ctl" -D "$datos" -l "$carpeta/servidor.log" -w -t 60 start >/dev/null
  "$binarios/psql" -X -q -h "$carpeta" -p "$puerto" -U postgres -d postgres -v ON_ERROR_STOP=1 \
    -c "CREATE ROLE nimbo LOGIN SUPERUSER PASSWORD 'nimbo'" -c "CREATE DATABASE nimbo OWNER nimbo" >/dev/null
  echo "export NIMBO_PG=127.0.0.1:$puerto/nimbo NIMBO_PG_USUARIO=nimbo NIMBO_PG_CLAVE=nimbo"
  ;;
modulo)
  [ $# -ge 2 ] || { echo "usage: $0 modulo BUILD_DIR" >&2; exit 2; }
  copiar_modulo "$2"
  ;;
stop)
  parar
  ;;
*)
  echo "usage: $0 start [BUILD_DIR] | modulo BUILD_DIR | stop" >&2
  exit 2
  ;;
esac
