#!/usr/bin/env bash
# Fuzzy conditions against their crisp equivalents on a table of a million rows in PostgreSQL, with
# the NIEB server installed: the plan of each fuzzy query (it must be parallel: the fuzzy functions
# are IMMUTABLE and PARALLEL SAFE) and the median time of each query over RUNS runs, fuzzy and crisp
# in turn, with their ratio. Loopback only; not run by CI.
#   scripts/postgres.sh start BUILD_DIR      (prints the NIMBO_PG variables; export them)
#   bench/postgres_difuso.sh [ROWS] [RUNS]   (default 1000000 and 5)
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
filas=${1:-1000000}
vueltas=${2:-5}
: "${NIMBO_PG:?export the variables scripts/postgres.sh start prints}"
anfitrion=${NIMBO_PG%%:*}
resto=${NIMBO_PG#*:}
puerto=${resto%%/*}
admin=${resto#*/}
base=nimbo_bench_$$
export PGPASSWORD=${NIMBO_PG_CLAVE:-}
psqlEn() { psql -X -q -v ON_ERROR_STOP=1 -h "$anfitrion" -p "$puerto" -U "${NIMBO_PG_USUARIO:-nimbo}" -d "$1" "${@:2}"; }

psqlEn "$admin" -c "CREATE DATABASE $base"
trap 'psqlEn "$admin" -c "DROP DATABASE IF EXISTS $base WITH (FORCE)" >/dev/null' EXIT
sed "s/MODULE_PATHNAME/nieb/g" "$raiz/nieb/postgres/servidor.sql" | psqlEn "$base" -1 -f - >/dev/null

# PERSONAS: a precise salary (type 1) and an age of every type-2 kind (type 2): 70% crisp, 10%
# intervals, 10% trapezoids, 5% labels, 5% UNKNOWN.
psqlEn "$base" -1 <<EOF
CREATE TABLE PERSONAS (ID INTEGER PRIMARY KEY, SUELDO INTEGER, EDADT INTEGER, EDAD1 DOUBLE PRECISION,
  EDAD2 DOUBLE PRECISION, EDAD3 DOUBLE PRECISION, EDAD4 DOUBLE PRECISION);
INSERT INTO PERSONAS
  SELECT i, 1000 + (i * 7919) % 3000, k,
         CASE WHEN k = 4 THEN 1 + i % 3 WHEN k = 0 THEN NULL ELSE v END,
         CASE WHEN k = 5 THEN v + 5 WHEN k = 7 THEN v + 2 END,
         CASE WHEN k = 7 THEN v + 4 END,
         CASE WHEN k = 7 THEN v + 6 END
  FROM (SELECT i, 18 + (i * 6007) % 50 AS v,
               CASE WHEN i % 100 < 70 THEN 3 WHEN i % 100 < 80 THEN 5 WHEN i % 100 < 90 THEN 7
                    WHEN i % 100 < 95 THEN 4 ELSE 0 END AS k
        FROM generate_series(1::bigint, $filas) AS g (i)) s;
EOF
psqlEn "$base" -c "VACUUM ANALYZE PERSONAS"
psqlEn "$base" -1 >/dev/null <<'EOF'
SELECT NIEB_PKG.NIEB_OBJ('', 'PERSONAS');
INSERT INTO FCL ("OBJ#", "COL#", F_TYPE, MARGEN, MUCHO)
  SELECT "OBJ#", c, t, m, 10 FROM NIEB_OBJETOS, (VALUES (2, 1, 100), (3, 2, 2)) AS v (c, t, m)
  WHERE TABLE_NAME = 'personas';
INSERT INTO LFOC ("OBJ#", "COL#", FUZZY_ID, LABEL, ALFA, BETA, GAMMA, DELTA)
  SELECT "OBJ#", c, i, l, a, b, g, d FROM NIEB_OBJETOS, (VALUES
    (2, 1, 'Bajo', 0, 0, 1300, 1700), (2, 2, 'Medio', 1300, 1700, 2300, 2800), (2, 3, 'Alto', 2300, 2800, 100000, 100000),
    (3, 1, 'Joven', 0, 0, 25, 35), (3, 2, 'Adulto', 25, 35, 45, 55), (3, 3, 'Mayor', 45, 55, 150, 150))
    AS v (c, i, l, a, b, g, d)
  WHERE TABLE_NAME = 'personas';
EOF

# NAME|NIEB query|crisp equivalent. Each query is counted and its degrees summed, so that every
# degree of the result is worked out.
consultas=(
  "tipo 2, FEQ \$Adulto|SELECT ID, CDEG(*) FROM PERSONAS WHERE EDAD FEQ \$Adulto THOLD 0.5|SELECT ID, 1 FROM PERSONAS WHERE EDAD1 BETWEEN 30 AND 50"
  "tipo 2, NFGEQ #40|SELECT ID, CDEG(*) FROM PERSONAS WHERE EDAD NFGEQ #40|SELECT ID, 1 FROM PERSONAS WHERE EDAD1 > 38"
  "tipo 1, FEQ \$Medio|SELECT ID, CDEG(*) FROM PERSONAS WHERE SUELDO FEQ \$Medio THOLD 0.5|SELECT ID, 1 FROM PERSONAS WHERE SUELDO BETWEEN 1500 AND 2550"
)

carpeta=$(mktemp -d)
trap 'rm -rf "$carpeta"; psqlEn "$admin" -c "DROP DATABASE IF EXISTS $base WITH (FORCE)" >/dev/null' EXIT
# One session translates, shows the plan and times both queries in turn, as psql's \timing gives them.
{
  for c in "${consultas[@]}"; do
    IFS='|' read -r nombre nieb nitida <<<"$c"
    cat <<EOF
SELECT NIEB_PKG.NIEB2SQL(\$nieb\$$nieb\$nieb\$) AS errores \gset
SELECT string_agg(ATRIBUTO, ' ' ORDER BY INDICE) AS sql FROM NIEB_QUERY WHERE SESSIONID = USERENV('SESSIONID') \gset
\echo '### plan $nombre'
EXPLAIN (COSTS OFF) SELECT count(*), sum("CDEG(*)") FROM (:sql) s;
\timing on
EOF
    for ((i = 0; i < vueltas; i++)); do
      echo "\\echo '### difusa $nombre'"
      echo "SELECT count(*), sum(\"CDEG(*)\") FROM (:sql) s;"
      echo "\\echo '### nitida $nombre'"
      echo "SELECT count(*), sum(x) FROM ($nitida) s (id, x);"
    done
    echo "\\timing off"
  done
} >"$carpeta/guion.sql"
psqlEn "$base" -f "$carpeta/guion.sql" >"$carpeta/salida.txt"

awk '
  /^### plan / { plan = 1; sub(/^### plan /, ""); print "Plan of the fuzzy query, " $0 ":"; next }
  /^### / { plan = 0; clase = $2; sub(/^### [a-z]+ /, ""); nombre = $0; next }
  plan && /Gather|Parallel|Seq Scan|Index/ { print "   " $0 }
  /^Time: / { gsub(/,/, ".", $2); t[nombre, clase, ++n[nombre, clase]] = $2; nombres[nombre] = 1 }
  function mediana(nom, cl,   k, m, v, i, j, x) {
    m = n[nom, cl]; for (k = 1; k <= m; k++) v[k] = t[nom, cl, k]
    for (i = 2; i <= m; i++) { x = v[i]; for (j = i - 1; j >= 1 && v[j] > x; j--) v[j + 1] = v[j]; v[j + 1] = x }
    return v[int((m + 1) / 2)]
  }
  END {
    for (nom in nombres) {
      d = mediana(nom, "difusa"); c = mediana(nom, "nitida")
      printf "%-22s fuzzy %8.1f ms   crisp %8.1f ms   ratio %5.2fx   (median of %d)\n", nom, d, c, d / c, n[nom, "difusa"]
    }
  }' "$carpeta/salida.txt"
