-- Demo database of the embedded "2:" connection: a small employment agency with its departments,
-- its employees and the candidates waiting for a job. Run once, after the catalogue script and in the
-- same transaction, on a fresh database. Every row is computed from its row number, so the data is
-- the same on every machine.
--
-- Fuzzy attributes (labels in LFOC, similarity in LOCT3):
--   EMPLEADOS.SUELDO, CANDIDATOS.SUELDO_DESEADO   type 1, euros a month, labels Bajo, Medio, Alto
--   EMPLEADOS.EDAD, CANDIDATOS.EDAD               type 2, years, labels Joven, Adulto, Mayor
--   EMPLEADOS.EXPERIENCIA, CANDIDATOS.EXPERIENCIA type 2, years, labels Poca, Media, Mucha
--   EMPLEADOS.CARACTER, CANDIDATOS.CARACTER       type 3, compatible with each other
-- The outermost labels end in large finite values (150 years, 100 years, 100000 euros).

CREATE TABLE DEPARTAMENTOS (
  ID_DEPARTAMENTO INTEGER PRIMARY KEY,
  NOMBRE TEXT NOT NULL UNIQUE,
  CIUDAD TEXT NOT NULL
);

-- A type-2 attribute X is stored as XT (kind of value) and X1..X4 (its numbers): 0 UNKNOWN,
-- 1 UNDEFINED, 2 NULL, 3 crisp X1, 4 label X1 = FUZZY_ID, 5 interval [X1,X2], 6 approximately X1,
-- 7 trapezoid X1..X4. A NULL kind counts as NULL.
CREATE TABLE EMPLEADOS (
  ID_EMPLEADO INTEGER PRIMARY KEY,
  NOMBRE TEXT NOT NULL,
  APELLIDOS TEXT NOT NULL,
  ID_DEPARTAMENTO INTEGER NOT NULL REFERENCES DEPARTAMENTOS (ID_DEPARTAMENTO),
  PUESTO TEXT NOT NULL,
  FECHA_ALTA TEXT NOT NULL,
  SUELDO INTEGER,
  EDADT INTEGER CHECK (EDADT BETWEEN 0 AND 7),
  EDAD1 REAL,
  EDAD2 REAL,
  EDAD3 REAL,
  EDAD4 REAL,
  EXPERIENCIAT INTEGER CHECK (EXPERIENCIAT BETWEEN 0 AND 7),
  EXPERIENCIA1 REAL,
  EXPERIENCIA2 REAL,
  EXPERIENCIA3 REAL,
  EXPERIENCIA4 REAL,
  CARACTER TEXT
);

CREATE TABLE CANDIDATOS (
  ID_CANDIDATO INTEGER PRIMARY KEY,
  NOMBRE TEXT NOT NULL,
  APELLIDOS TEXT NOT NULL,
  ID_DEPARTAMENTO INTEGER NOT NULL REFERENCES DEPARTAMENTOS (ID_DEPARTAMENTO),
  TITULACION TEXT NOT NULL,
  FECHA_SOLICITUD TEXT NOT NULL,
  SUELDO_DESEADO INTEGER,
  EDADT INTEGER CHECK (EDADT BETWEEN 0 AND 7),
  EDAD1 REAL,
  EDAD2 REAL,
  EDAD3 REAL,
  EDAD4 REAL,
  EXPERIENCIAT INTEGER CHECK (EXPERIENCIAT BETWEEN 0 AND 7),
  EXPERIENCIA1 REAL,
  EXPERIENCIA2 REAL,
  EXPERIENCIA3 REAL,
  EXPERIENCIA4 REAL,
  CARACTER TEXT
);

INSERT INTO NIEB_OBJETOS (TABLE_NAME)
  SELECT name FROM sqlite_schema
  WHERE type IN ('table', 'view') AND name NOT LIKE 'sqlite_%' AND name NOT IN (SELECT TABLE_NAME FROM NIEB_OBJETOS)
  ORDER BY name;

-- Helpers for this script only, dropped at the end. Columns sharing a DOMINIO share its labels.
CREATE TEMP TABLE DEMO_ATRIBUTOS (
  TABLA TEXT NOT NULL,
  COLUMNA TEXT NOT NULL,
  DOMINIO TEXT NOT NULL,
  F_TYPE INTEGER NOT NULL,
  LEN INTEGER,
  MARGEN REAL,
  MUCHO REAL,
  COM TEXT,
  PRIMARY KEY (TABLA, COLUMNA)
);

INSERT INTO DEMO_ATRIBUTOS VALUES
  ('EMPLEADOS', 'SUELDO', 'SUELDO', 1, NULL, 100, 500, 'Sueldo bruto mensual en euros'),
  ('EMPLEADOS', 'EDADT', 'EDAD', 2, NULL, 2, 10, 'Edad en años'),
  ('EMPLEADOS', 'EXPERIENCIAT', 'EXPERIENCIA', 2, NULL, 1, 5, 'Años de experiencia laboral'),
  ('EMPLEADOS', 'CARACTER', 'CARACTER', 3, 20, NULL, NULL, 'Carácter observado por sus compañeros'),
  ('CANDIDATOS', 'SUELDO_DESEADO', 'SUELDO', 1, NULL, 100, 500, 'Sueldo bruto mensual que pide, en euros'),
  ('CANDIDATOS', 'EDADT', 'EDAD', 2, NULL, 2, 10, 'Edad en años, según la entrevista'),
  ('CANDIDATOS', 'EXPERIENCIAT', 'EXPERIENCIA', 2, NULL, 1, 5, 'Años de experiencia laboral declarados'),
  ('CANDIDATOS', 'CARACTER', 'CARACTER', 3, 20, NULL, NULL, 'Carácter observado en la entrevista');

-- A misspelt table or column gives a NULL number here, which the NOT NULL of FCL rejects.
CREATE TEMP VIEW DEMO_POSICIONES AS
  SELECT a.*,
         (SELECT o."OBJ#" FROM NIEB_OBJETOS o WHERE o.TABLE_NAME = a.TABLA) AS OBJ,
         (SELECT c.cid + 1 FROM pragma_table_info(a.TABLA) c WHERE c.name = a.COLUMNA) AS COL
  FROM DEMO_ATRIBUTOS a;

INSERT INTO FCL ("OBJ#", "COL#", F_TYPE, LEN, MARGEN, MUCHO, COM)
  SELECT OBJ, COL, F_TYPE, LEN, MARGEN, MUCHO, COM FROM DEMO_POSICIONES ORDER BY OBJ, COL;

CREATE TEMP TABLE DEMO_ETIQUETAS (
  DOMINIO TEXT NOT NULL,
  FUZZY_ID INTEGER NOT NULL,
  LABEL TEXT NOT NULL,
  ALFA REAL NOT NULL,
  BETA REAL NOT NULL,
  GAMMA REAL NOT NULL,
  DELTA REAL NOT NULL
);

INSERT INTO DEMO_ETIQUETAS VALUES
  ('SUELDO', 1, 'Bajo', 0, 0, 1300, 1700),
  ('SUELDO', 2, 'Medio', 1300, 1700, 2300, 2800),
  ('SUELDO', 3, 'Alto', 2300, 2800, 100000, 100000),
  ('EDAD', 1, 'Joven', 0, 0, 25, 35),
  ('EDAD', 2, 'Adulto', 25, 35, 45, 55),
  ('EDAD', 3, 'Mayor', 45, 55, 150, 150),
  ('EXPERIENCIA', 1, 'Poca', 0, 0, 2, 5),
  ('EXPERIENCIA', 2, 'Media', 2, 5, 10, 15),
  ('EXPERIENCIA', 3, 'Mucha', 10, 15, 100, 100);

INSERT INTO LFOC ("OBJ#", "COL#", FUZZY_ID, LABEL, ALFA, BETA, GAMMA, DELTA)
  SELECT p.OBJ, p.COL, e.FUZZY_ID, e.LABEL, e.ALFA, e.BETA, e.GAMMA, e.DELTA
  FROM DEMO_POSICIONES p JOIN DEMO_ETIQUETAS e USING (DOMINIO)
  ORDER BY p.OBJ, p.COL, e.FUZZY_ID;

-- Character labels in the order the data generator picks them, and how alike two of them are.
CREATE TEMP TABLE DEMO_CARACTERES (I INTEGER PRIMARY KEY, LABEL TEXT NOT NULL);
INSERT INTO DEMO_CARACTERES VALUES (0, 'Alegre'), (1, 'Serio'), (2, 'Reservado'), (3, 'Extrovertido'), (4, 'Tranquilo');

CREATE TEMP TABLE DEMO_SEMEJANZA (LABEL_1 TEXT NOT NULL, LABEL_2 TEXT NOT NULL, DEGREE REAL NOT NULL);
INSERT INTO DEMO_SEMEJANZA VALUES
  ('Alegre', 'Extrovertido', 0.8),
  ('Alegre', 'Tranquilo', 0.4),
  ('Alegre', 'Reservado', 0.2),
  ('Alegre', 'Serio', 0.1),
  ('Serio', 'Tranquilo', 0.7),
  ('Serio', 'Reservado', 0.6),
  ('Serio', 'Extrovertido', 0.1),
  ('Reservado', 'Tranquilo', 0.6),
  ('Reservado', 'Extrovertido', 0.1),
  ('Extrovertido', 'Tranquilo', 0.3);

INSERT INTO LOCT3 ("OBJ#", "COL#", LABEL_1, LABEL_2, DEGREE)
  SELECT p.OBJ, p.COL, s.LABEL_1, s.LABEL_2, s.DEGREE
  FROM DEMO_POSICIONES p,
       (SELECT LABEL AS LABEL_1, LABEL AS LABEL_2, 1.0 AS DEGREE FROM DEMO_CARACTERES
        UNION ALL
        SELECT LABEL_1, LABEL_2, DEGREE FROM DEMO_SEMEJANZA) s
  WHERE p.DOMINIO = 'CARACTER';

INSERT INTO NIEB_COMPATIBLES ("OBJ1#", "COL1#", "OBJ2#", "COL2#")
  SELECT e.OBJ, e.COL, c.OBJ, c.COL
  FROM DEMO_POSICIONES e, DEMO_POSICIONES c
  WHERE e.TABLA = 'EMPLEADOS' AND e.COLUMNA = 'CARACTER' AND c.TABLA = 'CANDIDATOS' AND c.COLUMNA = 'CARACTER';

-- Data.

INSERT INTO DEPARTAMENTOS (ID_DEPARTAMENTO, NOMBRE, CIUDAD) VALUES
  (1, 'Administración', 'Madrid'),
  (2, 'Ventas', 'Barcelona'),
  (3, 'Informática', 'Madrid'),
  (4, 'Recursos Humanos', 'Valencia'),
  (5, 'Logística', 'Zaragoza'),
  (6, 'Atención al Cliente', 'Sevilla');

-- Three jobs per department, from junior (1) to head (3), with their starting salary.
CREATE TEMP TABLE DEMO_PUESTOS (
  ID_DEPARTAMENTO INTEGER NOT NULL,
  NIVEL INTEGER NOT NULL,
  PUESTO TEXT NOT NULL,
  BASE INTEGER NOT NULL,
  PRIMARY KEY (ID_DEPARTAMENTO, NIVEL)
);
INSERT INTO DEMO_PUESTOS VALUES
  (1, 1, 'Auxiliar administrativo', 1300), (1, 2, 'Contable', 1850), (1, 3, 'Jefe de administración', 2900),
  (2, 1, 'Teleoperador', 1250), (2, 2, 'Comercial', 1650), (2, 3, 'Jefe de ventas', 2800),
  (3, 1, 'Técnico de soporte', 1500), (3, 2, 'Programador', 2000), (3, 3, 'Jefe de proyecto', 3100),
  (4, 1, 'Administrativo de personal', 1400), (4, 2, 'Técnico de selección', 1750), (4, 3, 'Director de RR. HH.', 3200),
  (5, 1, 'Mozo de almacén', 1250), (5, 2, 'Conductor', 1500), (5, 3, 'Jefe de almacén', 2300),
  (6, 1, 'Agente', 1200), (6, 2, 'Coordinador', 1700), (6, 3, 'Supervisor', 2200);

-- 48 first names and 49 surnames: person p gets name p mod 48 and first surname p mod 49 (both
-- shuffled), so no two of the 300 people share name and first surname. The second surname is one
-- of the other 48.
CREATE TEMP TABLE DEMO_NOMBRES (I INTEGER PRIMARY KEY, NOMBRE TEXT NOT NULL);
INSERT INTO DEMO_NOMBRES (NOMBRE) VALUES
  ('María'), ('Antonio'), ('Carmen'), ('José'), ('Ana'), ('Manuel'), ('Laura'), ('Francisco'), ('Isabel'),
  ('David'), ('Lucía'), ('Juan'), ('Marta'), ('Javier'), ('Cristina'), ('Daniel'), ('Elena'), ('Carlos'),
  ('Pilar'), ('Jesús'), ('Sara'), ('Alejandro'), ('Paula'), ('Miguel'), ('Raquel'), ('Rafael'), ('Rosa'),
  ('Pablo'), ('Beatriz'), ('Pedro'), ('Silvia'), ('Sergio'), ('Nuria'), ('Fernando'), ('Irene'), ('Jorge'),
  ('Patricia'), ('Luis'), ('Alicia'), ('Alberto'), ('Teresa'), ('Álvaro'), ('Eva'), ('Adrián'), ('Andrea'),
  ('Diego'), ('Julia'), ('Raúl');

CREATE TEMP TABLE DEMO_APELLIDOS (I INTEGER PRIMARY KEY, APELLIDO TEXT NOT NULL);
INSERT INTO DEMO_APELLIDOS (APELLIDO) VALUES
  ('García'), ('Rodríguez'), ('González'), ('Fernández'), ('López'), ('Martínez'), ('Sánchez'), ('Pérez'),
  ('Gómez'), ('Martín'), ('Jiménez'), ('Ruiz'), ('Hernández'), ('Díaz'), ('Moreno'), ('Muñoz'), ('Álvarez'),
  ('Romero'), ('Alonso'), ('Gutiérrez'), ('Navarro'), ('Torres'), ('Domínguez'), ('Vázquez'), ('Ramos'),
  ('Gil'), ('Ramírez'), ('Serrano'), ('Blanco'), ('Molina'), ('Morales'), ('Suárez'), ('Ortega'), ('Delgado'),
  ('Castro'), ('Ortiz'), ('Rubio'), ('Marín'), ('Sanz'), ('Núñez'), ('Iglesias'), ('Medina'), ('Garrido'),
  ('Cortés'), ('Castillo'), ('Santos'), ('Lozano'), ('Guerrero'), ('Cano');

CREATE TEMP VIEW DEMO_PERSONAS AS
  WITH RECURSIVE p(P) AS (SELECT 1 UNION ALL SELECT P + 1 FROM p WHERE P < 300),
    i(P, NOMBRE, APELLIDO1, APELLIDO2) AS (
      SELECT P, 1 + (P * 7919) % 48, 1 + (P * 31 + 7) % 49, 1 + (P * 17 + 5) % 48 FROM p)
  SELECT P,
         (SELECT NOMBRE FROM DEMO_NOMBRES n WHERE n.I = i.NOMBRE) AS NOMBRE,
         (SELECT APELLIDO FROM DEMO_APELLIDOS a WHERE a.I = i.APELLIDO1) || ' '
           || (SELECT APELLIDO FROM DEMO_APELLIDOS a WHERE a.I = i.APELLIDO2 + (i.APELLIDO2 >= i.APELLIDO1))
           AS APELLIDOS
  FROM i;

-- The true age and experience of every person (V), and K in 0..99, which picks how imprecisely the
-- value is stored. Ages spread 18..67 (candidates 18..58), peaking in the middle. Experience is a
-- share of the years since 18.
CREATE TEMP TABLE DEMO_VERDAD (
  TABLA TEXT NOT NULL,
  N INTEGER NOT NULL,
  DOMINIO TEXT NOT NULL,
  V INTEGER NOT NULL,
  K INTEGER NOT NULL,
  PRIMARY KEY (TABLA, N, DOMINIO)
);

WITH RECURSIVE n(N) AS (SELECT 1 UNION ALL SELECT N + 1 FROM n WHERE N < 200),
  e(N, EDAD) AS (SELECT N, 18 + (N * 7919) % 97 * 25 / 96 + (N * 6007) % 89 * 24 / 88 FROM n)
INSERT INTO DEMO_VERDAD
  SELECT 'EMPLEADOS', N, 'EDAD', EDAD, (N * 37 + 11) % 100 FROM e
  UNION ALL
  SELECT 'EMPLEADOS', N, 'EXPERIENCIA', (EDAD - 18) * (40 + (N * 43) % 61) / 100, (N * 53 + 29) % 100 FROM e;

WITH RECURSIVE n(N) AS (SELECT 1 UNION ALL SELECT N + 1 FROM n WHERE N < 100),
  c(N, EDAD) AS (SELECT N, 18 + (N * 7907) % 97 * 20 / 96 + (N * 6011) % 89 * 20 / 88 FROM n)
INSERT INTO DEMO_VERDAD
  SELECT 'CANDIDATOS', N, 'EDAD', EDAD, (N * 41 + 7) % 100 FROM c
  UNION ALL
  SELECT 'CANDIDATOS', N, 'EXPERIENCIA', (EDAD - 18) * ((N * 43) % 81) / 100, (N * 59 + 13) % 100 FROM c;

-- How a domain writes its imprecise values: an interval is the band of BANDA years holding the
-- value, an approximate value is rounded to REDONDEO, a trapezoid is V -2A, -A, +A, +2A (A = ANCHO).
-- Everything stays within LO..HI.
CREATE TEMP TABLE DEMO_FORMA (
  DOMINIO TEXT PRIMARY KEY,
  LO REAL NOT NULL,
  HI REAL NOT NULL,
  BANDA INTEGER NOT NULL,
  REDONDEO INTEGER NOT NULL,
  ANCHO REAL NOT NULL
);
INSERT INTO DEMO_FORMA VALUES ('EDAD', 18, 67, 5, 5, 2), ('EXPERIENCIA', 0, 50, 3, 1, 0.5);

-- Per 100 values: 55 crisp, 10 labels, 8 intervals, 8 approximate, 8 trapezoids, 3 UNKNOWN,
-- 3 UNDEFINED, 2 NULL written as kind 2 and 3 as an SQL NULL kind. A label value is the label
-- that fits the true value best.
CREATE TEMP VIEW DEMO_TIPO2 AS
  WITH k AS (
    SELECT v.TABLA, v.N, v.DOMINIO, v.V, f.LO, f.HI, f.BANDA, f.REDONDEO, f.ANCHO,
           (SELECT p.OBJ FROM DEMO_POSICIONES p WHERE p.TABLA = v.TABLA AND p.DOMINIO = v.DOMINIO) AS OBJ,
           (SELECT p.COL FROM DEMO_POSICIONES p WHERE p.TABLA = v.TABLA AND p.DOMINIO = v.DOMINIO) AS COL,
           CASE WHEN v.K < 55 THEN 3 WHEN v.K < 65 THEN 4 WHEN v.K < 73 THEN 5 WHEN v.K < 81 THEN 6
                WHEN v.K < 89 THEN 7 WHEN v.K < 92 THEN 0 WHEN v.K < 95 THEN 1 WHEN v.K < 97 THEN 2 END AS T
    FROM DEMO_VERDAD v JOIN DEMO_FORMA f USING (DOMINIO))
  SELECT TABLA, N, DOMINIO, V, T,
         CASE T
           WHEN 3 THEN V
           WHEN 4 THEN (SELECT FUZZY_ID
                        FROM (SELECT l.FUZZY_ID,
                                     CASE WHEN V BETWEEN l.BETA AND l.GAMMA THEN 1.0
                                          WHEN V > l.ALFA AND V < l.BETA THEN (V - l.ALFA) / (l.BETA - l.ALFA)
                                          WHEN V > l.GAMMA AND V < l.DELTA THEN (l.DELTA - V) / (l.DELTA - l.GAMMA)
                                          ELSE 0.0 END AS GRADO
                              FROM LFOC l WHERE l."OBJ#" = k.OBJ AND l."COL#" = k.COL)
                        ORDER BY GRADO DESC, FUZZY_ID
                        LIMIT 1)
           WHEN 5 THEN max(LO, V / BANDA * BANDA)
           WHEN 6 THEN (V + REDONDEO / 2) / REDONDEO * REDONDEO
           WHEN 7 THEN max(LO, V - 2 * ANCHO)
         END AS X1,
         CASE T WHEN 5 THEN min(HI, V / BANDA * BANDA + BANDA) WHEN 7 THEN max(LO, V - ANCHO) END AS X2,
         CASE T WHEN 7 THEN min(HI, V + ANCHO) END AS X3,
         CASE T WHEN 7 THEN min(HI, V + 2 * ANCHO) END AS X4
  FROM k;

-- Character of person N. Per 100 people: 88 with a label, 4 UNKNOWN, 3 UNDEFINED, 5 NULL.
CREATE TEMP VIEW DEMO_CARACTER AS
  WITH RECURSIVE n(N) AS (SELECT 1 UNION ALL SELECT N + 1 FROM n WHERE N < 300)
  SELECT N,
         CASE WHEN (N * 29 + 3) % 100 < 88
                THEN (SELECT LABEL FROM DEMO_CARACTERES WHERE I = (N * 7919) / 7 % 5)
              WHEN (N * 29 + 3) % 100 < 92 THEN 'UNKNOWN'
              WHEN (N * 29 + 3) % 100 < 95 THEN 'UNDEFINED' END AS CARACTER
  FROM n;

-- Employees: department sizes 30, 50, 40, 20, 30, 30. A head job needs 12 years of experience and
-- a middle one 3. Salary = starting salary + 35 euros per year of experience + a personal share.
-- The hiring date falls within the years of experience (plus three months) before 2024-06-30.
WITH RECURSIVE n(N) AS (SELECT 1 UNION ALL SELECT N + 1 FROM n WHERE N < 200),
  e AS (
    SELECT n.N, x.V AS EXP, (n.N * 7919) / 17 % 10 AS Q,
           CASE WHEN (n.N * 3571) % 20 < 3 THEN 1 WHEN (n.N * 3571) % 20 < 8 THEN 2
                WHEN (n.N * 3571) % 20 < 12 THEN 3 WHEN (n.N * 3571) % 20 < 14 THEN 4
                WHEN (n.N * 3571) % 20 < 17 THEN 5 ELSE 6 END AS DEP
    FROM n JOIN DEMO_VERDAD x ON x.TABLA = 'EMPLEADOS' AND x.N = n.N AND x.DOMINIO = 'EXPERIENCIA'),
  j AS (
    SELECT e.*, CASE WHEN EXP >= 12 AND Q >= 8 THEN 3 WHEN EXP >= 3 AND Q >= 4 THEN 2 ELSE 1 END AS NIVEL FROM e)
INSERT INTO EMPLEADOS
  SELECT j.N, p.NOMBRE, p.APELLIDOS, j.DEP, u.PUESTO,
         date('2024-06-30', '-' || ((j.N * 7919) % (j.EXP * 365 + 90)) || ' days'),
         (u.BASE + j.EXP * 35 + (j.N * 7919) % 13 * 20 + 5) / 10 * 10,
         a.T, a.X1, a.X2, a.X3, a.X4, x.T, x.X1, x.X2, x.X3, x.X4, c.CARACTER
  FROM j
  JOIN DEMO_PERSONAS p ON p.P = j.N
  JOIN DEMO_PUESTOS u ON u.ID_DEPARTAMENTO = j.DEP AND u.NIVEL = j.NIVEL
  JOIN DEMO_TIPO2 a ON a.TABLA = 'EMPLEADOS' AND a.N = j.N AND a.DOMINIO = 'EDAD'
  JOIN DEMO_TIPO2 x ON x.TABLA = 'EMPLEADOS' AND x.N = j.N AND x.DOMINIO = 'EXPERIENCIA'
  JOIN DEMO_CARACTER c ON c.N = j.N
  ORDER BY j.N;

-- Candidates are people 201..300. Applications from January to June 2024. One in twenty did not
-- say what salary they want.
WITH RECURSIVE n(N) AS (SELECT 1 UNION ALL SELECT N + 1 FROM n WHERE N < 100)
INSERT INTO CANDIDATOS
  SELECT n.N, p.NOMBRE, p.APELLIDOS, 1 + (n.N * 5) % 6,
         CASE (n.N * 7919) / 13 % 6
           WHEN 0 THEN 'ESO' WHEN 1 THEN 'Bachillerato' WHEN 2 THEN 'FP Grado Medio'
           WHEN 3 THEN 'FP Grado Superior' WHEN 4 THEN 'Grado universitario' ELSE 'Máster' END,
         date('2024-01-08', '+' || ((n.N * 7919) % 170) || ' days'),
         CASE WHEN n.N % 20 <> 0 THEN (1200 + x.V * 45 + (n.N * 7919) % 11 * 50 + 25) / 50 * 50 END,
         a.T, a.X1, a.X2, a.X3, a.X4, x.T, x.X1, x.X2, x.X3, x.X4, c.CARACTER
  FROM n
  JOIN DEMO_PERSONAS p ON p.P = 200 + n.N
  JOIN DEMO_TIPO2 a ON a.TABLA = 'CANDIDATOS' AND a.N = n.N AND a.DOMINIO = 'EDAD'
  JOIN DEMO_TIPO2 x ON x.TABLA = 'CANDIDATOS' AND x.N = n.N AND x.DOMINIO = 'EXPERIENCIA'
  JOIN DEMO_CARACTER c ON c.N = 200 + n.N
  ORDER BY n.N;

DROP VIEW DEMO_CARACTER;
DROP VIEW DEMO_TIPO2;
DROP VIEW DEMO_PERSONAS;
DROP VIEW DEMO_POSICIONES;
DROP TABLE DEMO_FORMA;
DROP TABLE DEMO_VERDAD;
DROP TABLE DEMO_APELLIDOS;
DROP TABLE DEMO_NOMBRES;
DROP TABLE DEMO_PUESTOS;
DROP TABLE DEMO_SEMEJANZA;
DROP TABLE DEMO_CARACTERES;
DROP TABLE DEMO_ETIQUETAS;
DROP TABLE DEMO_ATRIBUTOS;
