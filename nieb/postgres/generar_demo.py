#!/usr/bin/env python3
"""Writes data/demo_postgres.sql: the demo database of data/demo.sql for PostgreSQL.

The rows are the ones data/demo.sql computes on SQLite, written out value by value (numbers in their
shortest exact form), so that both databases hold the same rows and give the same degrees. Run it
again whenever data/demo.sql changes:  nieb/postgres/generar_demo.py > data/demo_postgres.sql
"""
import pathlib
import sqlite3
import sys

raiz = pathlib.Path(__file__).resolve().parents[2]
TABLAS = ["DEPARTAMENTOS", "EMPLEADOS", "CANDIDATOS"]
TIPOS = {"INTEGER": "INTEGER", "TEXT": "TEXT", "REAL": "DOUBLE PRECISION"}

CABECERA = """-- Demo database for PostgreSQL: the tables, rows and catalogue rows of data/demo.sql (a small
-- employment agency), for a database where servidor.sql has installed the NIEB server. Run once, in
-- one transaction. The rows are those demo.sql computes, written out by nieb/postgres/generar_demo.py:
-- do not edit them here.
--
-- Fuzzy attributes (labels in LFOC, similarity in LOCT3):
--   EMPLEADOS.SUELDO, CANDIDATOS.SUELDO_DESEADO   type 1, euros a month, labels Bajo, Medio, Alto
--   EMPLEADOS.EDAD, CANDIDATOS.EDAD               type 2, years, labels Joven, Adulto, Mayor
--   EMPLEADOS.EXPERIENCIA, CANDIDATOS.EXPERIENCIA type 2, years, labels Poca, Media, Mucha
--   EMPLEADOS.CARACTER, CANDIDATOS.CARACTER       type 3, compatible with each other
"""


def literal(v):
    if v is None:
        return "NULL"
    if isinstance(v, str):
        return "'" + v.replace("'", "''") + "'"
    if isinstance(v, float):
        return repr(v) if v != int(v) or abs(v) >= 1e15 else repr(v).removesuffix(".0")
    return str(v)


def filas(db, sql):
    return db.execute(sql).fetchall()


def tabla_sql(db, tabla):
    columnas = filas(db, f"SELECT name, type, \"notnull\", pk FROM pragma_table_info('{tabla}') ORDER BY cid")
    partes = []
    for nombre, tipo, no_nulo, pk in columnas:
        d = f"  {nombre} {TIPOS[tipo.upper()]}"
        if pk:
            d += " PRIMARY KEY"
        elif no_nulo:
            d += " NOT NULL"
        if nombre.endswith("T") and f"{nombre[:-1]}1" in [c[0] for c in columnas]:
            d += f" CHECK ({nombre} BETWEEN 0 AND 7)"
        partes.append(d)
    if tabla != "DEPARTAMENTOS":
        partes.append("  FOREIGN KEY (ID_DEPARTAMENTO) REFERENCES DEPARTAMENTOS (ID_DEPARTAMENTO)")
    else:
        partes.append("  UNIQUE (NOMBRE)")
    return f"CREATE TABLE {tabla} (\n" + ",\n".join(partes) + "\n);\n"


def insertar(tabla, columnas, valores, por_sentencia=50):
    salida = []
    for i in range(0, len(valores), por_sentencia):
        grupo = valores[i:i + por_sentencia]
        salida.append(f"INSERT INTO {tabla} ({', '.join(columnas)}) VALUES\n"
                      + ",\n".join("  (" + ", ".join(v) + ")" for v in grupo) + ";\n")
    return "".join(salida)


def objeto(tabla):
    return f"(SELECT \"OBJ#\" FROM NIEB_OBJETOS WHERE upper(TABLE_NAME) = '{tabla}')"


def main():
    db = sqlite3.connect(":memory:")
    db.executescript((raiz / "nieb/sqlite/catalogo.sql").read_text(encoding="utf-8"))
    db.executescript((raiz / "data/demo.sql").read_text(encoding="utf-8"))
    nombre_de = dict(filas(db, 'SELECT "OBJ#", TABLE_NAME FROM NIEB_OBJETOS'))

    out = [CABECERA, "\n"]
    for t in TABLAS:
        out.append(tabla_sql(db, t) + "\n")
    out.append("-- The demo's tables get their numbers now, so that the catalogue rows can name them.\n")
    out.append("INSERT INTO NIEB_OBJETOS (TABLE_NAME)\n  SELECT t FROM (VALUES "
               + ", ".join(f"('{t.lower()}')" for t in TABLAS)
               + ") AS v (t)\n  WHERE NOT EXISTS (SELECT 1 FROM NIEB_OBJETOS o WHERE upper(o.TABLE_NAME) = upper(v.t));\n\n")

    def clave(obj):
        return objeto(nombre_de[obj])

    out.append(insertar("FCL", ['"OBJ#"', '"COL#"', "F_TYPE", "LEN", "MARGEN", "MUCHO", "COM"],
                        [[clave(f[0])] + [literal(x) for x in f[1:]]
                         for f in filas(db, 'SELECT "OBJ#", "COL#", F_TYPE, LEN, MARGEN, MUCHO, COM FROM FCL '
                                            'ORDER BY "OBJ#", "COL#"')]) + "\n")
    out.append(insertar("LFOC", ['"OBJ#"', '"COL#"', "FUZZY_ID", "LABEL", "ALFA", "BETA", "GAMMA", "DELTA"],
                        [[clave(f[0])] + [literal(x) for x in f[1:]]
                         for f in filas(db, 'SELECT "OBJ#", "COL#", FUZZY_ID, LABEL, ALFA, BETA, GAMMA, DELTA '
                                            'FROM LFOC ORDER BY "OBJ#", "COL#", FUZZY_ID')]) + "\n")
    out.append(insertar("LOCT3", ['"OBJ#"', '"COL#"', "LABEL_1", "LABEL_2", "DEGREE"],
                        [[clave(f[0])] + [literal(x) for x in f[1:]]
                         for f in filas(db, 'SELECT "OBJ#", "COL#", LABEL_1, LABEL_2, DEGREE FROM LOCT3 '
                                            'ORDER BY "OBJ#", "COL#", LABEL_1, LABEL_2')]) + "\n")
    out.append(insertar("NIEB_COMPATIBLES", ['"OBJ1#"', '"COL1#"', '"OBJ2#"', '"COL2#"'],
                        [[clave(f[0]), literal(f[1]), clave(f[2]), literal(f[3])]
                         for f in filas(db, 'SELECT "OBJ1#", "COL1#", "OBJ2#", "COL2#" FROM NIEB_COMPATIBLES')]) + "\n")

    out.append("-- Data.\n\n")
    for t in TABLAS:
        columnas = [c[0] for c in filas(db, f"SELECT name FROM pragma_table_info('{t}') ORDER BY cid")]
        valores = [[literal(x) for x in f] for f in filas(db, f"SELECT * FROM {t} ORDER BY 1")]
        out.append(insertar(t, columnas, valores) + "\n")
    out.append("-- The demo is for every user of the database, as the catalogue is.\n")
    out.append(f"GRANT SELECT ON {', '.join(TABLAS)} TO PUBLIC;\n")
    sys.stdout.write("".join(out).rstrip("\n") + "\n")


if __name__ == "__main__":
    main()
