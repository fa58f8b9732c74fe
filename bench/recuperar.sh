#!/usr/bin/env bash
# Figures for the result window's retrieval, each a median of runs taken in turn with sqlite3 -csv
# writing the same rows to /dev/null, every run in its own process (wall time, CPU, peak memory):
#   hidden result window, visible result window, a limit of 100 rows
# then, in-process, the time to the first rows painted and how soon a cancel is acted on, also of a
# statement that works for long before its first row.
# T holds ROWS x 8 twelve-character texts. Usage: bench/recuperar.sh [BUILD_DIR] [ROWS] [RUNS]
# With ANTES=path/to/an/older/bench_recuperar, that binary is measured in the same runs, for a before
# and after.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$raiz/build}" && pwd)
filas=${2:-1000000}
veces=${3:-3}

# shellcheck source=medir.sh
. "$raiz/bench/medir.sh"
instalarComparacion
bench=$build/bench/bench_recuperar
[ -x "$bench" ] || { echo "missing $bench: build first (scripts/build.sh)" >&2; exit 1; }

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$dir/runtime
mkdir -m 700 "$dir/runtime"
db=$dir/t.db
echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "making T: $filas rows x 8 texts of 12 characters ($((filas * 96 / 1000000)) MB of text)"
"$bench" --make "$db" --rows "$filas"
"$bench" --make "$dir/t100.db" --rows 100 # what a 100-row result costs, for the limit of 100

for ((i = 0; i < veces; i++)); do
  for modo in hidden visible limit100; do
    medir "$modo" "$bench" --db "$db" --mode "$modo"
    [ -z "${ANTES:-}" ] || medir "antes_$modo" "$ANTES" --db "$db" --mode "$modo"
    medir "csv_$modo" sqlite3 -csv "$db" "SELECT * FROM T"
  done
  medir filas100 "$bench" --db "$dir/t100.db" --mode hidden
done
echo "medians of $veces runs, each against sqlite3 -csv run just after it"
for modo in hidden visible limit100; do
  comparar "$modo" "$dir/$modo" "$dir/csv_$modo" 'sqlite3 -csv'
  [ -z "${ANTES:-}" ] || comparar "$modo, before" "$dir/antes_$modo" "$dir/csv_$modo" 'sqlite3 -csv'
done
echo "a table of 100 rows, hidden: $(mediana "$dir/filas100" 1) s, peak $(pico "$dir/filas100") MiB"
for b in "$bench" ${ANTES:+"$ANTES"}; do
  [ "$b" = "$bench" ] || echo "before:"
  "$b" --db "$db" --mode primeras --runs "$veces" 2> >(grep -v propagateSizeHints >&2)
  "$b" --db "$db" --mode cancelar --runs "$veces" 2> >(grep -v propagateSizeHints >&2)
done
"$bench" --db "$db" --mode lenta --runs "$veces" 2> >(grep -v propagateSizeHints >&2)
