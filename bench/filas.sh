#!/usr/bin/env bash
# Figures for the row path, each a median of runs taken in turn with the program it is compared with:
#   nimbo-query --sql "SELECT * FROM T" to /dev/null   against  sqlite3 -csv of the same rows
#   nimbo-query ... --limit 100                        against  sqlite3 "SELECT COUNT(*) FROM (...)"
#   nimbo-query connect + SELECT 1 FROM DUAL           against  sqlite3 "SELECT 1" (embedded and plain file)
#   a dynaset keeping every row                        against  stepping them as text (bench_filas)
# T holds ROWS x 8 twelve-character texts. Wall time, CPU time (user + system) and peak memory are
# printed; on a busy machine the CPU ratios are the steadier ones.
# Usage: bench/filas.sh [BUILD_DIR] [ROWS] [RUNS]
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$raiz/build}" && pwd)
filas=${2:-1000000}
veces=${3:-5}

# shellcheck source=medir.sh
. "$raiz/bench/medir.sh"
instalarComparacion
for programa in "$build/nimbo-query" "$build/bench/bench_filas"; do
  [ -x "$programa" ] || { echo "missing $programa: build first (scripts/build.sh)" >&2; exit 1; }
done

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export XDG_DATA_HOME=$dir/data XDG_CONFIG_HOME=$dir/config
db=$dir/t.db
echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "making T: $filas rows x 8 texts of 12 characters"
sqlite3 "$db" "PRAGMA journal_mode = OFF; CREATE TABLE T (A TEXT, B TEXT, C TEXT, D TEXT, E TEXT, F TEXT, G TEXT, H TEXT);
  WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $filas)
  INSERT INTO T SELECT printf('a%011d', i), printf('b%011d', i * 7), printf('c%011d', i * 13), hex(randomblob(6)),
    printf('e%011d', i * 31), printf('f%011d', i * 37), printf('g%011d', i * 41), printf('h%011d', i * 43) FROM n;" >/dev/null
nq=("$build/nimbo-query" --db "$db")
embebida=$("$build/nimbo-query" --where)
"$build/nimbo-query" --sql "SELECT 1 FROM DUAL" >/dev/null # creates the embedded database

# The same rows either way: nimbo-query's tab-separated text is sqlite3's with a tab separator here.
if [ "$("${nq[@]}" --sql "SELECT * FROM T" | md5sum)" != "$(sqlite3 -header -separator $'\t' "$db" "SELECT * FROM T" | md5sum)" ]; then
  echo "nimbo-query and sqlite3 print different rows" >&2
  exit 1
fi

for ((i = 0; i < veces; i++)); do
  medir todas_n "${nq[@]}" --sql "SELECT * FROM T"
  medir todas_s sqlite3 -csv "$db" "SELECT * FROM T"
  medir limite_n "${nq[@]}" --sql "SELECT * FROM T" --limit 100
  medir limite_s sqlite3 "$db" "SELECT COUNT(*) FROM (SELECT * FROM T)"
  medir dual_n "$build/nimbo-query" --sql "SELECT 1 FROM DUAL"
  medir dual_s sqlite3 "$embebida" "SELECT 1"
  medir duallibre_n "${nq[@]}" --sql "SELECT 1 FROM DUAL"
  medir duallibre_s sqlite3 "$db" "SELECT 1"
done
echo "medians of $veces runs"
comparar '--sql "SELECT * FROM T"' "$dir/todas_n" "$dir/todas_s" 'sqlite3'
comparar '--limit 100 (sqlite3: COUNT(*))' "$dir/limite_n" "$dir/limite_s" 'sqlite3'
comparar 'connect 2:, SELECT 1 FROM DUAL' "$dir/dual_n" "$dir/dual_s" 'sqlite3'
comparar 'connect plain file, SELECT 1' "$dir/duallibre_n" "$dir/duallibre_s" 'sqlite3'
"$build/bench/bench_filas" --db "$db" --runs "$veces"
