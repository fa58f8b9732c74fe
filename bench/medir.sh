# Shared by the benchmark scripts (sourced): the sqlite3 shell and GNU time for the comparisons, and
# timing each run in its own process. Needs $dir, a scratch folder.

# The sqlite3 shell and GNU time serve only the comparisons.
instalarComparacion() {
  local faltan=()
  command -v sqlite3 >/dev/null 2>&1 || faltan+=(sqlite3)
  [ -x /usr/bin/time ] || faltan+=(time)
  if ((${#faltan[@]})); then
    if [ "$(id -u)" -eq 0 ]; then apt-get install -y "${faltan[@]}"; else sudo apt-get install -y "${faltan[@]}"; fi
  fi
}

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
comparar() { # TITLE NIMBO_FILE OTHER_FILE OTHER_NAME
  local wa wb ca cb
  wa=$(mediana "$2" 1) wb=$(mediana "$3" 1) ca=$(mediana "$2" 2) cb=$(mediana "$3" 2)
  printf '%-34s nimbo %7.3f s (cpu %6.3f s, peak %6s MiB)  %s %7.3f s (cpu %6.3f s, peak %6s MiB)  ratio %5.2fx (cpu %5.2fx)\n' \
    "$1" "$wa" "$ca" "$(pico "$2")" "$4" "$wb" "$cb" "$(pico "$3")" \
    "$(awk -v a="$wa" -v b="$wb" 'BEGIN { print (b > 0 ? a / b : 0) }')" \
    "$(awk -v a="$ca" -v b="$cb" 'BEGIN { print (b > 0 ? a / b : 0) }')"
}
