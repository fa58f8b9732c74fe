#!/usr/bin/env bash
# Figures for the result window's retrieval, each a median of runs taken in turn with sqlite3 -csv
# writing the same rows to /dev/null, every run in its own process (wall time, CPU, peak memory):
#   hidden result window, visible result window, a limit of 100 rows
# then, in-process, the time to the first rows painted and how soon a cancel is acted on.
# T holds ROWS x 8 twelve-character texts. Usage: bench/recuperar.sh [BUILD_DIR] [ROWS] [RUNS]
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$raiz/build}" && pwd)
filas=${2:-1000000}
veces=${3:-3}

# The sqlite3 shell and GNU time serve only this comparison.
faltan=()
command -v sqlite3 >/dev/null 2>&1 || faltan+=(sqlite3)
[ -x /usr/bin/time ] || faltan+=(time)
if ((${#faltan[@]})); then
  if [ "$(id -u)" -eq 0 ]; then apt-get install -y "${faltan[@]}"; else sudo apt-get install -y "${faltan[@]}"; fi
fi
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

# medir NAME COMMAND...: one run; appends "wall cpu peak_kib" to $dir/NAME.
medir() {
  local nombre=$1
  shift
  /usr/bin/time -f "%e %U %S %M" -o "$dir/tiempo" "$@" >/dev/null 2>"$dir/stderr" || {
    echo "failed: $*" >&2
    cat "$dir/stderr" >&2
    exit 1
  }
  awk '{ printf "%s %.3f %s\n", $1, $2 + $3, $4 }' "$dir/tiempo" >>"$dir/$nombre"
}
mediana() { # FILE FIELD
  sort -g -k"$2,$2" "$1" | awk -v c="$2" '{ v[NR] = $c } END { print v[int((NR + 1) / 2)] }'
}
pico() { sort -g -k3,3 "$1" | tail -1 | awk '{ printf "%.1f", $3 / 1024 }'; }
comparar() { # TITLE NIMBO_FILE OTHER_FILE
  local wa wb ca cb
  wa=$(mediana "$2" 1) wb=$(mediana "$3" 1) ca=$(mediana "$2" 2) cb=$(mediana "$3" 2)
  printf '%-10s nimbo %7.3f s (cpu %6.3f s, peak %6s MiB)  sqlite3 -csv %7.3f s (cpu %6.3f s, peak %6s MiB)  ratio %5.2fx (cpu %5.2fx)\n' \
    "$1" "$wa" "$ca" "$(pico "$2")" "$wb" "$cb" "$(pico "$3")" \
    "$(awk -v a="$wa" -v b="$wb" 'BEGIN { print (b > 0 ? a / b : 0) }')" \
    "$(awk -v a="$ca" -v b="$cb" 'BEGIN { print (b > 0 ? a / b : 0) }')"
}

for ((i = 0; i < veces; i++)); do
  for modo in hidden visible limit100; do
    medir "$modo" "$bench" --db "$db" --mode "$modo"
    medir "csv_$modo" sqlite3 -csv "$db" "SELECT * FROM T"
  done
  medir filas100 "$bench" --db "$dir/t100.db" --mode hidden
done
echo "medians of $veces runs, each against sqlite3 -csv run just after it"
for modo in hidden visible limit100; do comparar "$modo" "$dir/$modo" "$dir/csv_$modo"; done
echo "a table of 100 rows, hidden: $(mediana "$dir/filas100" 1) s, peak $(pico "$dir/filas100") MiB"
"$bench" --db "$db" --mode primeras --runs "$veces" 2> >(grep -v propagateSizeHints >&2)
"$bench" --db "$db" --mode cancelar --runs "$veces" 2> >(grep -v propagateSizeHints >&2)
