#!/usr/bin/env bash
# Rows from PostgreSQL: ROWS x 8 twelve-character texts in a table T of a database of its own on the
# server NIMBO_PG names (scripts/postgres.sh start prints the variables), each figure a median of runs
# taken in turn with the program it is compared with:
#   a dynaset keeping every row (bench_dynaset)         against  psql -A -t -c "SELECT * FROM T" > /dev/null
#   a dynaset under a limit of 100 (counts, keeps 100)  against  the same psql
#   nimbo-query --sql streaming the rows to /dev/null   against  the same psql
# Wall time, CPU time (user + system) and peak memory are printed. Not run by CI.
# Usage: bench/postgres_filas.sh [BUILD_DIR] [ROWS] [RUNS]
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$raiz/build}" && pwd)
filas=${2:-1000000}
veces=${3:-5}
: "${NIMBO_PG:?set NIMBO_PG, NIMBO_PG_USUARIO and NIMBO_PG_CLAVE (scripts/postgres.sh start prints them)}"

# shellcheck source=medir.sh
. "$raiz/bench/medir.sh"
instalarComparacion
for programa in "$build/nimbo-query" "$build/bench/bench_dynaset"; do
  [ -x "$programa" ] || { echo "missing $programa: build first (scripts/build.sh)" >&2; exit 1; }
done

dir=$(mktemp -d)
servidor=${NIMBO_PG%/*}
base=nimbo_bench_$$
export PGPASSWORD=$NIMBO_PG_CLAVE
conPsql=(psql -X -q -v ON_ERROR_STOP=1 -h "${servidor%:*}" -p "${servidor##*:}" -U "$NIMBO_PG_USUARIO")
trap '"${conPsql[@]}" -d "${NIMBO_PG##*/}" -c "DROP DATABASE IF EXISTS $base WITH (FORCE)" >/dev/null; rm -rf "$dir"' EXIT
echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "making T in $servidor/$base: $filas rows x 8 texts of 12 characters"
"${conPsql[@]}" -d "${NIMBO_PG##*/}" -c "CREATE DATABASE $base" >/dev/null
"${conPsql[@]}" -d "$base" >/dev/null <<SQL
CREATE TABLE T (A TEXT, B TEXT, C TEXT, D TEXT, E TEXT, F TEXT, G TEXT, H TEXT);
INSERT INTO T SELECT 'a' || lpad(i::text, 11, '0'), 'b' || lpad((i * 7)::text, 11, '0'),
  'c' || lpad((i * 13)::text, 11, '0'), upper(substr(md5(i::text), 1, 12)), 'e' || lpad((i * 31)::text, 11, '0'),
  'f' || lpad((i * 37)::text, 11, '0'), 'g' || lpad((i * 41)::text, 11, '0'), 'h' || lpad((i * 43)::text, 11, '0')
FROM generate_series(1, $filas) i;
VACUUM ANALYZE T;
SQL

login=(--db "$servidor/$base" --user "$NIMBO_PG_USUARIO" --password "$NIMBO_PG_CLAVE")
# The same rows either way.
if [ "$("$build/nimbo-query" "${login[@]}" --sql "SELECT * FROM T" | tail -n +2 | md5sum)" \
  != "$("${conPsql[@]}" -d "$base" -A -t -F $'\t' -c "SELECT * FROM T" | md5sum)" ]; then
  echo "nimbo-query and psql print different rows" >&2
  exit 1
fi
for ((i = 0; i < veces; i++)); do
  medir psql "${conPsql[@]}" -d "$base" -A -t -c "SELECT * FROM T"
  medir dynaset "$build/bench/bench_dynaset" "${login[@]}" --sql "SELECT * FROM T"
  medir limite "$build/bench/bench_dynaset" "${login[@]}" --sql "SELECT * FROM T" --keep 100
  medir flujo "$build/nimbo-query" "${login[@]}" --sql "SELECT * FROM T"
done
echo "medians of $veces runs"
comparar 'dynaset, every row kept' "$dir/dynaset" "$dir/psql" 'psql'
comparar 'dynaset, 100 rows kept' "$dir/limite" "$dir/psql" 'psql'
comparar 'nimbo-query --sql (streamed)' "$dir/flujo" "$dir/psql" 'psql'
