#!/usr/bin/env bash
# Builds the NIEB translator's fuzz targets with clang (libFuzzer, AddressSanitizer, UBSan) and runs
# each for a bounded time. Usage: scripts/fuzz.sh [seconds per target, default 30]
set -euo pipefail
cd "$(dirname "$0")/.."

segundos="${1:-30}"
paquetes=(clang-14 libclang-rt-14-dev cmake ninja-build libsqlite3-dev)
faltan=()
for p in "${paquetes[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || faltan+=("$p")
done
if [ ${#faltan[@]} -gt 0 ]; then
  como_root=()
  [ "$(id -u)" -eq 0 ] || como_root=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${como_root[@]}" apt-get update -qq
  "${como_root[@]}" apt-get install -y -qq --no-install-recommends "${faltan[@]}"
fi

carpeta="${NIMBO_FUZZ_DIR:-build-fuzz}"
CC=clang-14 CXX=clang++-14 cmake -S . -B "$carpeta" -G Ninja -DNIMBO_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$carpeta" --target fuzz_analizador fuzz_traductor fuzz_etiquetas

semillas="$carpeta/semillas"
mkdir -p "$semillas"
i=0
while IFS= read -r consulta; do
  [ -n "$consulta" ] && printf '%s' "$consulta" > "$semillas/$((i++)).vql"
done < nieb/fuzz/semillas.txt

# fuzz_etiquetas reads its input as choices (labels, numbers, options, conditions), not as a query:
# the query seeds mean nothing to it.
for objetivo in fuzz_analizador fuzz_traductor fuzz_etiquetas; do
  corpus="$carpeta/corpus-$objetivo"
  mkdir -p "$corpus"
  origenes=("$corpus")
  [ "$objetivo" = fuzz_etiquetas ] || origenes+=("$semillas")
  echo "== $objetivo, ${segundos} s"
  "$carpeta/nieb/fuzz/$objetivo" -max_total_time="$segundos" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "${origenes[@]}" 2>&1 | tail -n 12
done
