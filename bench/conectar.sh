#!/usr/bin/env bash
# What connecting costs as a database grows: process start to exit of
#   nimbo-query --db X.db --sql "SELECT 1 FROM DUAL"
# on a Nimbo database with no tables of its own, with 8,000 tables it has already numbered, and just
# after 2,000 new tables were added to those (the first connection numbers them). Beside it, the
# sqlite3 shell on the same files: "SELECT 1" (which reads no schema) and "SELECT count(*) FROM
# sqlite_schema" (which makes SQLite read the whole schema, as any statement naming a table does).
# Each figure is a median of runs taken in turn. A second nimbo-query (an older build, say) is
# measured in the same runs, on its own copies of the files, for a before/after ratio.
# Usage: bench/conectar.sh [BUILD_DIR] [RUNS] [OTHER_NIMBO_QUERY]
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$raiz/build}" && pwd)
veces=${2:-9}
otro=${3:-}

# shellcheck source=medir.sh
. "$raiz/bench/medir.sh"
instalarComparacion
[ -x "$build/nimbo-query" ] || { echo "missing $build/nimbo-query: build first (scripts/build.sh)" >&2; exit 1; }

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export XDG_DATA_HOME=$dir/data XDG_CONFIG_HOME=$dir/config
echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"

# tablas FILE FROM COUNT: adds tables T<FROM>... in one transaction.
tablas() {
  { echo "BEGIN;"; seq "$2" $(($2 + $3 - 1)) | sed 's/.*/CREATE TABLE T& (A INTEGER, B TEXT);/'; echo "COMMIT;"; } \
    | sqlite3 "$1" >/dev/null
}
# copiar FROM TO: a database file with its WAL.
copiar() {
  rm -f "$2" "$2-wal" "$2-shm"
  cp "$1" "$2"
  [ ! -f "$1-wal" ] || cp "$1-wal" "$2-wal"
}
# reloj NAME COMMAND...: one run's wall and CPU (user + system) times in milliseconds, appended to
# $dir/NAME. On a busy machine the CPU times are the steadier ones.
reloj() {
  local nombre=$1 t
  shift
  t=$( { TIMEFORMAT='%3R %3U %3S'; time "$@" >/dev/null 2>"$dir/stderr"; } 2>&1) \
    || { echo "failed: $*" >&2; cat "$dir/stderr" >&2; exit 1; }
  awk '{ printf "%.1f %.1f\n", $1 * 1000, ($2 + $3) * 1000 }' <<<"$t" >>"$dir/$nombre"
}
# ms NAME [FIELD]: the median of a column (1 wall, 2 CPU).
ms() { sort -g -k"${2:-1},${2:-1}" "$dir/$1" | awk -v c="${2:-1}" '{ v[NR] = $c } END { print v[int((NR + 1) / 2)] }'; }

# Each program gets its own files, numbered by itself.
programas=(nuevo)
declare -A binario=([nuevo]=$build/nimbo-query)
if [ -n "$otro" ]; then
  programas+=(otro)
  binario[otro]=$otro
fi
for p in "${programas[@]}"; do
  nq=${binario[$p]}
  "$nq" --install-server --db "$dir/$p-vacia.db" >/dev/null
  copiar "$dir/$p-vacia.db" "$dir/$p-llena.db"
  tablas "$dir/$p-llena.db" 0 8000
  "$nq" --db "$dir/$p-llena.db" --sql "SELECT 1 FROM DUAL" >/dev/null # numbers them
  copiar "$dir/$p-llena.db" "$dir/$p-mas.db"
  tablas "$dir/$p-mas.db" 8000 2000
done

for ((i = 0; i < veces; i++)); do
  for p in "${programas[@]}"; do
    nq=${binario[$p]}
    reloj "$p-vacia" "$nq" --db "$dir/$p-vacia.db" --sql "SELECT 1 FROM DUAL"
    reloj "$p-llena" "$nq" --db "$dir/$p-llena.db" --sql "SELECT 1 FROM DUAL"
    copiar "$dir/$p-mas.db" "$dir/$p-primera.db"
    reloj "$p-primera" "$nq" --db "$dir/$p-primera.db" --sql "SELECT 1 FROM DUAL"
  done
  for f in vacia llena; do
    reloj "s1-$f" sqlite3 "$dir/nuevo-$f.db" "SELECT 1"
    reloj "esquema-$f" sqlite3 "$dir/nuevo-$f.db" "SELECT count(*) FROM sqlite_schema"
  done
done

for campo in 1 2; do
  if [ "$campo" = 1 ]; then titulo="wall time"; else titulo="CPU time"; fi
  echo "medians of $veces runs, $titulo from process start to exit, in ms"
  printf '%-44s %9s %9s %9s\n' "" "empty" "8000" "difference"
  fila() { # TITLE EMPTY_FILE FULL_FILE
    local a b
    a=$(ms "$2" "$campo") b=$(ms "$3" "$campo")
    printf '%-44s %9.1f %9.1f %9.1f\n' "$1" "$a" "$b" "$(awk -v a="$a" -v b="$b" 'BEGIN { print b - a }')"
  }
  fila 'nimbo-query --sql "SELECT 1 FROM DUAL"' nuevo-vacia nuevo-llena
  [ -z "$otro" ] || fila '  the other nimbo-query' otro-vacia otro-llena
  fila 'sqlite3 "SELECT 1"' s1-vacia s1-llena
  fila 'sqlite3 "SELECT count(*) FROM sqlite_schema"' esquema-vacia esquema-llena
  echo "first connect after adding 2000 tables to the 8000: $(ms nuevo-primera "$campo") ms" \
    "$([ -z "$otro" ] || echo "(the other: $(ms otro-primera "$campo") ms)")"
done
