// The NIEB lexer and parser: tokens, the tree the translator relies on, errors reported in one pass,
// and survival of hostile nesting.
#include "Analizador.h"

#include <QStringList>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace nieb;

namespace {

// The tree keeps views into its source, so both live together and never move.
struct Analisis {
    explicit Analisis(const QString& consulta)
        : fuente(consulta.toStdString())
        , arbol(analizar(fuente))
    {
    }
    Analisis(const Analisis&) = delete;
    Analisis& operator=(const Analisis&) = delete;

    const std::string fuente;
    const Arbol arbol;

    QString texto(Tramo t) const { return QString::fromStdString(std::string(arbol.texto(t))); }
    QString texto(Indice token) const { return QString::fromStdString(std::string(arbol.texto(token))); }
    const Bloque& primerBloque() const { return arbol.bloques.front(); }
    QStringList errores() const
    {
        QStringList e;
        for (const ErrorSintaxis& x : arbol.errores)
            e << QString::fromStdString(x.texto());
        return e;
    }
};

QString nombreTipo(TipoToken t)
{
    static const char* const nombres[] = {"fin", "espacio", "com", "id", "qid", "cad", "num", "etq", "$[", "aprox", "=",
        "<>", "<", ">", "<=", ">=", "||", "+", "-", "*", "/", "(", ")", ",", ".", ";", "[", "]", "ILEGAL"};
    return QString::fromLatin1(nombres[static_cast<int>(t)]);
}

// Kinds with their texts where the kind alone does not say what was read.
QString describirTokens(const std::vector<Token>& tokens)
{
    QStringList partes;
    for (const Token& t : tokens) {
        if (t.tipo == TipoToken::Espacio || t.tipo == TipoToken::Fin)
            continue;
        const bool conTexto
            = (t.tipo <= TipoToken::Aproximado && t.tipo != TipoToken::InicioTrapecio) || t.tipo == TipoToken::Ilegal;
        partes << nombreTipo(t.tipo) + (conTexto ? u":"_s + QString::fromStdString(std::string(t.texto)) : QString());
    }
    return partes.join(u' ');
}

QString numero(double v)
{
    return QString::number(v, 'g', 10);
}

QString describirConstante(const Analisis& an, const ComparacionDifusa& d)
{
    if (d.contraAtributo())
        return u"Columna("_s + an.texto(an.arbol.expresiones[d.columna].tramo) + u')';
    const auto& k = d.constante;
    const auto& p = k.puntos;
    switch (k.clase) {
    case ConstanteDifusa::Clase::Numero: return u"Numero("_s + numero(p[0]) + u')';
    case ConstanteDifusa::Clase::Etiqueta:
        return u"Etiqueta("_s + QString::fromStdString(std::string(k.etiqueta)) + u')';
    case ConstanteDifusa::Clase::Intervalo: return u"Intervalo(%1,%2)"_s.arg(numero(p[0]), numero(p[1]));
    case ConstanteDifusa::Clase::Aproximado: return u"Aproximado("_s + numero(p[0]) + u')';
    case ConstanteDifusa::Clase::Trapecio:
        return u"Trapecio(%1,%2,%3,%4)"_s.arg(numero(p[0]), numero(p[1]), numero(p[2]), numero(p[3]));
    case ConstanteDifusa::Clase::Unknown: return u"Unknown"_s;
    case ConstanteDifusa::Clase::Undefined: return u"Undefined"_s;
    case ConstanteDifusa::Clase::Null: return u"Null"_s;
    }
    return {};
}

// AND/OR/NOT structure with parentheses looked through; each leaf as its source text, marked F when
// fuzzy, Es for IS tests, Existe for EXISTS, C for any other crisp condition.
QString describirCondicion(const Analisis& an, Indice i)
{
    const Expresion& e = an.arbol.expresiones[an.arbol.sinParentesis(i)];
    auto lista = [&](const QString& nombre, const std::vector<Indice>& operandos) {
        QStringList partes;
        for (const Indice o : operandos)
            partes << describirCondicion(an, o);
        return nombre + u'(' + partes.join(u',') + u')';
    };
    if (const auto* y = e.como<Y>())
        return lista(u"Y"_s, y->operandos);
    if (const auto* o = e.como<O>())
        return lista(u"O"_s, o->operandos);
    if (const auto* no = e.como<No>())
        return lista(u"No"_s, {no->operando});
    const QString marca = e.esDifusa() ? u"F"_s : e.como<Es>() ? u"Es"_s : e.como<Existe>() ? u"Existe"_s : u"C"_s;
    return marca + u'[' + an.texto(e.tramo) + u']';
}

QString describirOrigen(const Analisis& an, Indice i)
{
    const Origen& o = an.arbol.origenes[i];
    auto alias = [&] { return o.alias == ninguno ? QString() : u' ' + an.texto(o.alias); };
    switch (o.clase) {
    case Origen::Clase::Tabla:
        return u"T("_s + (o.esquema == ninguno ? QString() : an.texto(o.esquema) + u'.') + an.texto(o.nombre) + alias()
            + u')';
    case Origen::Clase::Subconsulta: return u"S("_s + alias().trimmed() + u')';
    case Origen::Clase::Parentesis: return u"P("_s + describirOrigen(an, o.interior) + u')';
    case Origen::Clase::Erroneo: return u"?"_s;
    case Origen::Clase::Reunion: break;
    }
    static const char* const tipos[] = {"INNER", "LEFT", "RIGHT", "FULL", "CROSS"};
    QStringList partes{describirOrigen(an, o.base)};
    for (const PasoReunion& p : o.pasos) {
        QString paso = QString::fromLatin1(tipos[static_cast<int>(p.tipo)]) + u' ' + describirOrigen(an, p.origen);
        if (p.condicion != ninguno)
            paso += u" ON "_s + an.texto(an.arbol.expresiones[p.condicion].tramo);
        if (!p.columnas.empty()) {
            QStringList columnas;
            for (const Indice c : p.columnas)
                columnas << an.texto(c);
            paso += u" USING "_s + columnas.join(u',');
        }
        partes << paso;
    }
    return u"R("_s + partes.join(u"; "_s) + u')';
}

// The name a block's first FROM item is known by: its alias, else its table.
QString nombreDeBloque(const Analisis& an, Indice b)
{
    const Origen& o = an.arbol.origenes[an.arbol.bloques[b].origenes.front()];
    return an.texto(o.alias != ninguno ? o.alias : o.nombre);
}

} // namespace

class TestAnalizador : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tokens_data();
    void tokens();
    void posiciones_data();
    void posiciones();
    void comparacionesDifusas_data();
    void comparacionesDifusas();
    void condiciones_data();
    void condiciones();
    void seleccion_data();
    void seleccion();
    void origenes_data();
    void origenes();
    void subconsultasConocenSuBloqueExterior();
    void conjuntosYOrden();
    void errores_data();
    void errores();
    void anidamiento_data();
    void anidamiento();
    void cadenasLargasSonPlanas();
};

void TestAnalizador::tokens_data()
{
    QTest::addColumn<QString>("fuente");
    QTest::addColumn<QString>("tokens");

    QTest::newRow("# and $ inside names") << u"OBJ# a$b x_1"_s << u"id:OBJ# id:a$b id:x_1"_s;
    QTest::newRow("letters beyond ASCII") << u"año Ñu"_s << u"id:año id:Ñu"_s;
    QTest::newRow("fuzzy pieces")
        << u"$Joven $[-5,0] #25 #-3 #1.5 #+2 [1,2]"_s
        << u"etq:$Joven $[ - num:5 , num:0 ] aprox:#25 aprox:#-3 aprox:#1.5 aprox:#+2 [ num:1 , num:2 ]"_s;
    QTest::newRow("numbers") << u"12 1.5 .5 5. 1e3 2.5E-3 7e 8e+"_s
                             << u"num:12 num:1.5 num:.5 num:5. num:1e3 num:2.5E-3 num:7 id:e num:8 id:e +"_s;
    QTest::newRow("three spellings of distinct") << u"a<>b!=c^=d¬=e"_s << u"id:a <> id:b <> id:c <> id:d <> id:e"_s;
    QTest::newRow("operators") << u"<=>=||+-*/();.< >"_s << u"<= >= || + - * / ( ) ; . < >"_s;
    QTest::newRow("string with doubled quote") << u"'it''s' 'x'"_s << u"cad:'it''s' cad:'x'"_s;
    QTest::newRow("quoted name") << u"\"Nombre completo\".x"_s << u"qid:\"Nombre completo\" . id:x"_s;
    QTest::newRow("comments are tokens") << u"a -- hasta el final\nb /* en\nmedio */ c"_s
                                         << u"id:a com:-- hasta el final id:b com:/* en\nmedio */ id:c"_s;
    QTest::newRow("minus minus is a comment") << u"1--2"_s << u"num:1 com:--2"_s;
    QTest::newRow("unterminated string runs to the end") << u"a 'b c\nd"_s << u"id:a ILEGAL:'b c\nd"_s;
    QTest::newRow("unterminated quoted name") << u"\"ab c"_s << u"ILEGAL:\"ab c"_s;
    QTest::newRow("unterminated comment") << u"a /* b"_s << u"id:a ILEGAL:/* b"_s;
    QTest::newRow("stray characters, one each")
        << u"a ? ¿ | ! #x $1"_s << u"id:a ILEGAL:? ILEGAL:¿ ILEGAL:| ILEGAL:! ILEGAL:# id:x ILEGAL:$ num:1"_s;
    QTest::newRow("no-break space is a blank") << u"a\u00A0b"_s << u"id:a id:b"_s;
}

void TestAnalizador::tokens()
{
    QFETCH(QString, fuente);
    QFETCH(QString, tokens);
    const std::string texto = fuente.toStdString();
    const std::vector<Token> lista = tokenizar(texto);
    QCOMPARE(describirTokens(lista), tokens);
    std::string junto;
    for (const Token& t : lista)
        junto += t.texto;
    QCOMPARE(junto, texto);
    QCOMPARE(lista.back().tipo, TipoToken::Fin);
}

void TestAnalizador::posiciones_data()
{
    QTest::addColumn<QByteArray>("fuente");
    QTest::addColumn<QString>("posiciones");

    QTest::newRow("columns count characters") << QByteArray("'ñandú' x") << u"1:1 1:9"_s;
    QTest::newRow("lines after a multi-line comment") << QByteArray("a /* 1\n22 */ b\n\tc") << u"1:1 1:3 2:7 3:2"_s;
    QTest::newRow("CR LF is one line end") << QByteArray("a\r\n b") << u"1:1 2:2"_s;
    QTest::newRow("broken UTF-8 counts per byte") << QByteArray("\xFF\xFE x") << u"1:1 1:2 1:4"_s;
}

void TestAnalizador::posiciones()
{
    QFETCH(QByteArray, fuente);
    QFETCH(QString, posiciones);
    QStringList obtenidas;
    for (const Token& t : tokenizar(fuente.toStdString())) {
        if (t.tipo != TipoToken::Espacio && t.tipo != TipoToken::Fin)
            obtenidas << u"%1:%2"_s.arg(t.linea).arg(t.columna);
    }
    QCOMPARE(obtenidas.join(u' '), posiciones);
}

void TestAnalizador::comparacionesDifusas_data()
{
    QTest::addColumn<QString>("condicion"); // the comparison's text as the tree keeps it
    QTest::addColumn<QString>("comparador");
    QTest::addColumn<QString>("constante");
    QTest::addColumn<QString>("umbral");

    QTest::newRow("crisp number") << u"edad FEQ 25"_s << u"FEQ"_s << u"Numero(25)"_s << u""_s;
    QTest::newRow("negative number") << u"t FLT -1.5"_s << u"FLT"_s << u"Numero(-1.5)"_s << u""_s;
    QTest::newRow("label, threshold") << u"p.edad fgeq $Joven THOLD 0.75"_s << u"FGEQ"_s << u"Etiqueta(Joven)"_s
                                      << u"0.75"_s;
    QTest::newRow("interval") << u"edad NFGT [20, 30]"_s << u"NFGT"_s << u"Intervalo(20,30)"_s << u""_s;
    QTest::newRow("negative interval") << u"x MGT [-1,1]"_s << u"MGT"_s << u"Intervalo(-1,1)"_s << u""_s;
    QTest::newRow("approximately, negative") << u"x NMLT #-3"_s << u"NMLT"_s << u"Aproximado(-3)"_s << u""_s;
    QTest::newRow("approximately, decimal") << u"x FLEQ #1.5 THOLD 1"_s << u"FLEQ"_s << u"Aproximado(1.5)"_s << u"1"_s;
    QTest::newRow("trapezoid with negatives")
        << u"x NFEQ $[-5, 0,5 ,10] THOLD .5"_s << u"NFEQ"_s << u"Trapecio(-5,0,5,10)"_s << u"0.5"_s;
    QTest::newRow("trapezoid with vertical edges")
        << u"x FEQ $[1,1,2,2]"_s << u"FEQ"_s << u"Trapecio(1,1,2,2)"_s << u""_s;
    QTest::newRow("UNKNOWN") << u"x FGT unknown"_s << u"FGT"_s << u"Unknown"_s << u""_s;
    QTest::newRow("UNDEFINED is read, the translator refuses it")
        << u"x NFLEQ UNDEFINED"_s << u"NFLEQ"_s << u"Undefined"_s << u""_s;
    QTest::newRow("NULL") << u"x NFLT NULL THOLD 0"_s << u"NFLT"_s << u"Null"_s << u"0"_s;
    QTest::newRow("another attribute") << u"a.x FEQ b.\"Y\" THOLD 0.2"_s << u"FEQ"_s << u"Columna(b.\"Y\")"_s
                                       << u"0.2"_s;
    QTest::newRow("every comparator is known") << u"x NMGT 1"_s << u"NMGT"_s << u"Numero(1)"_s << u""_s;
}

void TestAnalizador::comparacionesDifusas()
{
    QFETCH(QString, condicion);
    QFETCH(QString, comparador);
    QFETCH(QString, constante);
    QFETCH(QString, umbral);
    const Analisis an(u"SELECT a FROM t WHERE "_s + condicion);
    QCOMPARE(an.errores(), QStringList());
    const Expresion& donde = an.arbol.expresiones[an.primerBloque().donde];
    const auto* d = donde.como<ComparacionDifusa>();
    QVERIFY(d);
    const std::string_view nombre = nombreComparador(d->comparador);
    QCOMPARE(QString::fromLatin1(nombre.data(), qsizetype(nombre.size())), comparador);
    QCOMPARE(d->comparador.modo == Modo::Necesidad, comparador.startsWith(u'N'));
    QCOMPARE(describirConstante(an, *d), constante);
    QCOMPARE(d->conUmbral ? numero(d->umbral) : QString(), umbral);
    QCOMPARE(an.texto(donde.tramo), condicion);
    QCOMPARE(an.texto(an.arbol.expresiones[d->izquierda].tramo), condicion.section(u' ', 0, 0));
}

void TestAnalizador::condiciones_data()
{
    QTest::addColumn<QString>("condicion");
    QTest::addColumn<QString>("estructura");

    QTest::newRow("AND binds tighter than OR")
        << u"a = 1 OR b FEQ 2 AND c = 3"_s << u"O(C[a = 1],Y(F[b FEQ 2],C[c = 3]))"_s;
    QTest::newRow("parentheses and NOT") << u"(a FEQ 1 OR b = 'x''y') AND NOT c NFLT #3"_s
                                         << u"Y(O(F[a FEQ 1],C[b = 'x''y']),No(F[c NFLT #3]))"_s;
    QTest::newRow("NOT NOT") << u"NOT NOT a FEQ 1"_s << u"No(No(F[a FEQ 1]))"_s;
    QTest::newRow("redundant parentheses")
        << u"((a FEQ $Joven THOLD 0.8)) AND ((b = 1))"_s << u"Y(F[a FEQ $Joven THOLD 0.8],C[b = 1])"_s;
    QTest::newRow("spacing, comments and escapes kept") << u"nombre   LIKE  'J%' /* c */ ESCAPE '\\' AND x=1"_s
                                                        << u"Y(C[nombre   LIKE  'J%' /* c */ ESCAPE '\\'],C[x=1])"_s;
    QTest::newRow("AND of BETWEEN is not a conjunction")
        << u"x BETWEEN 1 AND 2 AND y NOT IN (1, 2)"_s << u"Y(C[x BETWEEN 1 AND 2],C[y NOT IN (1, 2)])"_s;
    QTest::newRow("fuzzy IS tests are crisp") << u"a IS NOT UNKNOWN OR b IS UNDEFINED OR c IS NULL"_s
                                              << u"O(Es[a IS NOT UNKNOWN],Es[b IS UNDEFINED],Es[c IS NULL])"_s;
    QTest::newRow("subqueries in conditions")
        << u"EXISTS (SELECT 1 FROM u WHERE u.a FEQ t.a) OR a > ANY (SELECT b FROM v)"_s
        << u"O(Existe[EXISTS (SELECT 1 FROM u WHERE u.a FEQ t.a)],C[a > ANY (SELECT b FROM v)])"_s;
    QTest::newRow("arithmetic inside a comparison")
        << u"(a + b) * 2 >= -c || 'x' AND d FEQ 1"_s << u"Y(C[(a + b) * 2 >= -c || 'x'],F[d FEQ 1])"_s;
    QTest::newRow("row comparison") << u"(a, b) IN (SELECT c, d FROM u)"_s << u"C[(a, b) IN (SELECT c, d FROM u)]"_s;
    QTest::newRow("CASE and CAST as values") << u"CASE WHEN a FEQ 1 THEN 1 ELSE 0 END = CAST(b AS NUMBER(5, 2))"_s
                                             << u"C[CASE WHEN a FEQ 1 THEN 1 ELSE 0 END = CAST(b AS NUMBER(5, 2))]"_s;
}

void TestAnalizador::condiciones()
{
    QFETCH(QString, condicion);
    QFETCH(QString, estructura);
    const Analisis an(u"SELECT a FROM t WHERE "_s + condicion + u" ORDER BY 1"_s);
    QCOMPARE(an.errores(), QStringList());
    QCOMPARE(describirCondicion(an, an.primerBloque().donde), estructura);
}

void TestAnalizador::seleccion_data()
{
    QTest::addColumn<QString>("lista");
    QTest::addColumn<QString>("elementos");

    QTest::newRow("stars") << u"*, t.*, s.t.*"_s << u"*|t.*:t|s.t.*:t"_s;
    QTest::newRow("aliases") << u"a, b AS c, d e, \"Nombre completo\" \"N\""_s
                             << u"a|b AS c>c|d e>e|\"Nombre completo\" \"N\">\"N\""_s;
    QTest::newRow("CDEG items")
        << u"CDEG(edad) grado, CDEG(*), CDEG(p.altura) AS \"CDEG(ALTURA)\""_s
        << u"CDEG(edad) grado>grado#edad|CDEG(*)#*|CDEG(p.altura) AS \"CDEG(ALTURA)\">\"CDEG(ALTURA)\"#p.altura"_s;
    QTest::newRow("functions and scalar subquery")
        << u"COUNT(*), COUNT(DISTINCT x), pkg.f(a, 'b'), (SELECT MAX(y) FROM u) m"_s
        << u"COUNT(*)|COUNT(DISTINCT x)|pkg.f(a, 'b')|(SELECT MAX(y) FROM u) m>m"_s;
}

void TestAnalizador::seleccion()
{
    QFETCH(QString, lista);
    QFETCH(QString, elementos);
    const Analisis an(u"SELECT "_s + lista + u" FROM t"_s);
    QCOMPARE(an.errores(), QStringList());
    QStringList obtenidos;
    for (const ElementoSeleccion& e : an.primerBloque().seleccion) {
        QString s = an.texto(e.tramo);
        if (e.clase == ElementoSeleccion::Clase::TodoDeTabla)
            s += u':' + an.texto(e.tabla);
        if (e.alias != ninguno)
            s += u'>' + an.texto(e.alias);
        if (e.expresion != ninguno) {
            if (const auto* c = an.arbol.expresiones[e.expresion].como<Cdeg>())
                s += u'#' + (c->columna == ninguno ? u"*"_s : an.texto(an.arbol.expresiones[c->columna].tramo));
        }
        obtenidos << s;
    }
    QCOMPARE(obtenidos.join(u'|'), elementos);
}

void TestAnalizador::origenes_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("origenes");

    QTest::newRow("tables, owner, alias, subquery")
        << u"personas p, nieb.\"Ciudades\" c, t AS x, (SELECT 1 FROM dual) s, (SELECT 2 FROM dual)"_s
        << u"T(personas p)|T(nieb.\"Ciudades\" c)|T(t x)|S(s)|S()"_s;
    QTest::newRow("join chain") << u"a LEFT OUTER JOIN b ON a.id = b.id JOIN c USING (k, l) CROSS JOIN d"_s
                                << u"R(T(a); LEFT T(b) ON a.id = b.id; INNER T(c) USING k,l; CROSS T(d))"_s;
    QTest::newRow("parenthesised join, joined subquery")
        << u"(a RIGHT JOIN b ON x = y) FULL JOIN (SELECT 1 FROM e) f ON 1 = 1, g"_s
        << u"R(P(R(T(a); RIGHT T(b) ON x = y)); FULL S(f) ON 1 = 1)|T(g)"_s;
    QTest::newRow("parenthesised set operation as subquery")
        << u"((SELECT 1 FROM a) UNION (SELECT 2 FROM b)) u"_s << u"S(u)"_s;
}

void TestAnalizador::origenes()
{
    QFETCH(QString, from);
    QFETCH(QString, origenes);
    const Analisis an(u"SELECT 1 FROM "_s + from + u" WHERE 1 = 1"_s);
    QCOMPARE(an.errores(), QStringList());
    QStringList obtenidos;
    for (const Indice o : an.primerBloque().origenes)
        obtenidos << describirOrigen(an, o);
    QCOMPARE(obtenidos.join(u'|'), origenes);
}

void TestAnalizador::subconsultasConocenSuBloqueExterior()
{
    const Analisis an(u"SELECT (SELECT MAX(b) FROM u) FROM t WHERE a IN (SELECT c FROM v WHERE EXISTS "
                      "(SELECT 1 FROM w WHERE w.x FEQ t.x)) AND a > ALL (SELECT d FROM y) AND a IN "
                      "(SELECT e FROM (SELECT e FROM z) q)"_s);
    QCOMPARE(an.errores(), QStringList());
    std::vector<Indice> bloques(an.arbol.bloques.size());
    for (Indice i = 0; i < bloques.size(); ++i)
        bloques[i] = i;
    std::sort(bloques.begin(), bloques.end(),
        [&](Indice x, Indice y) { return an.arbol.bloques[x].tramo.primero < an.arbol.bloques[y].tramo.primero; });
    QStringList obtenidos;
    for (const Indice b : bloques) {
        const Bloque& bloque = an.arbol.bloques[b];
        obtenidos << nombreDeBloque(an, b) + u"<-"_s
                + (bloque.exterior == ninguno ? QString() : nombreDeBloque(an, bloque.exterior));
        // Every block is reached through a query node of its own.
        QCOMPARE(an.arbol.consultas[bloque.consulta].bloque, b);
    }
    QCOMPARE(obtenidos.join(u' '), u"t<- u<-t v<-t w<-v y<-t q<-t z<-q"_s);
}

void TestAnalizador::conjuntosYOrden()
{
    const Analisis an(u"SELECT a FROM t UNION ALL SELECT b FROM u INTERSECT (SELECT c FROM v ORDER BY c) "
                      "MINUS SELECT d FROM w UNION SELECT e FROM x ORDER BY CDEG(*) DESC, 2 NULLS FIRST, 3 ASC;"_s);
    QCOMPARE(an.errores(), QStringList());
    const Consulta& raiz = an.arbol.consultas[an.arbol.raiz];
    QCOMPARE(raiz.clase, Consulta::Clase::Conjunto);
    const std::vector<OperadorConjunto> operadores{OperadorConjunto::UnionTodo, OperadorConjunto::Interseccion,
        OperadorConjunto::Diferencia, OperadorConjunto::Union};
    QVERIFY(raiz.operadores == operadores);
    QCOMPARE(raiz.operandos.size(), 5u);
    const Consulta& entreParentesis = an.arbol.consultas[raiz.operandos[2]];
    QCOMPARE(entreParentesis.clase, Consulta::Clase::Parentesis);
    QCOMPARE(an.arbol.consultas[entreParentesis.interior].orden.size(), 1u); // its own ORDER BY
    QCOMPARE(an.texto(raiz.tramo), QString::fromStdString(an.fuente).chopped(1));

    QStringList orden;
    for (const ElementoOrden& e : raiz.orden)
        orden << u"%1:%2:%3"_s.arg(an.texto(e.tramo)).arg(int(e.direccion)).arg(int(e.nulos));
    QCOMPARE(orden, QStringList({u"CDEG(*) DESC:2:0"_s, u"2 NULLS FIRST:0:1"_s, u"3 ASC:1:0"_s}));
    QVERIFY(an.arbol.expresiones[raiz.orden[0].expresion].como<Cdeg>());
}

void TestAnalizador::errores_data()
{
    QTest::addColumn<QString>("consulta");
    QTest::addColumn<QStringList>("errores"); // "line:column", one per error, in order
    QTest::addColumn<QString>("primero");     // the first error's full text

    QTest::newRow("missing FROM, on line 2") << u"SELECT a, b\n  WHERE x = 1"_s << QStringList{u"2:3"_s}
                                             << u"Línea 2, columna 3: se esperaba FROM y se ha encontrado 'WHERE'."_s;
    QTest::newRow("unterminated string, no echo") << u"SELECT a FROM t WHERE b = 'abc"_s << QStringList{u"1:27"_s}
                                                  << u"Línea 1, columna 27: cadena sin terminar."_s;
    QTest::newRow("stray character, no echo") << u"SELECT a FROM t WHERE a ? 3"_s << QStringList{u"1:25"_s}
                                              << u"Línea 1, columna 25: carácter no válido '?'."_s;
    QTest::newRow("one error per clause")
        << u"SELECT a FROM t WHERE x = = 1 GROUP BY a,, b HAVING COUNT(*) > ORDER BY 1"_s
        << QStringList{u"1:27"_s, u"1:42"_s, u"1:64"_s}
        << u"Línea 1, columna 27: se esperaba una expresión y se ha encontrado '='."_s;
    QTest::newRow("subquery error, then the outer query goes on")
        << u"SELECT a FROM (SELECT b FROM u WHERE c = = 1) v WHERE d FEQ $[1,2,3]"_s
        << QStringList{u"1:42"_s, u"1:61"_s}
        << u"Línea 1, columna 42: se esperaba una expresión y se ha encontrado '='."_s;
    QTest::newRow("fuzzy constants checked, all of them")
        << u"SELECT a FROM t WHERE x FEQ $[1,2,3] AND y FEQ $[4,3,2,1]\n AND z FEQ [5,1] AND w FEQ 3 THOLD 1.5"_s
        << QStringList{u"1:29"_s, u"1:52"_s, u"2:15"_s, u"2:36"_s}
        << u"Línea 1, columna 29: el trapecio debe tener cuatro puntos."_s;
    QTest::newRow("columns in characters") << u"SELECT año, 'ñandú' FROM t WHERE x FEQ $[]"_s << QStringList{u"1:40"_s}
                                           << u"Línea 1, columna 40: el trapecio debe tener cuatro puntos."_s;
    // A NUL byte would end the statement for the database there: never let one through, whatever holds it.
    QTest::newRow("NUL in a string") << u"SELECT a FROM t WHERE b = 'x\u0000y' AND c = 1"_s << QStringList{u"1:27"_s}
                                     << u"Línea 1, columna 27: carácter nulo (código 0) dentro de una cadena."_s;
    QTest::newRow("NUL in a quoted name")
        << u"SELECT \"a\u0000b\" FROM t"_s << QStringList{u"1:8"_s}
        << u"Línea 1, columna 8: carácter nulo (código 0) dentro de un identificador entre comillas."_s;
    QTest::newRow("NUL on its own") << u"SELECT a FROM t\u0000"_s << QStringList{u"1:16"_s}
                                    << u"Línea 1, columna 16: carácter de control no válido (código 0)."_s;
    QTest::newRow("negative threshold") << u"SELECT a FROM t WHERE x FEQ 1 THOLD -0.1"_s << QStringList{u"1:37"_s}
                                        << u"Línea 1, columna 37: el umbral de THOLD debe estar entre 0 y 1."_s;
    QTest::newRow("decimal comma in a threshold")
        << u"SELECT a FROM t WHERE x FEQ 1 THOLD 0,5"_s << QStringList{u"1:37"_s}
        << u"Línea 1, columna 37: los decimales se escriben con punto: 0.5."_s;
    QTest::newRow("THOLD after a crisp comparison")
        << u"SELECT a FROM t WHERE x = 1 THOLD 0.5"_s << QStringList{u"1:29"_s}
        << u"Línea 1, columna 29: THOLD solo puede ir tras una comparación difusa."_s;
    QTest::newRow("not a fuzzy operand")
        << u"SELECT a FROM t WHERE x FEQ 'joven'"_s << QStringList{u"1:29"_s}
        << u"Línea 1, columna 29: se esperaba una constante difusa o una columna y se ha encontrado ''joven''."_s;
    QTest::newRow("fuzzy constant out of place")
        << u"SELECT $Joven, #3 FROM t"_s << QStringList{u"1:8"_s}
        << u"Línea 1, columna 8: una constante difusa solo puede ir tras un comparador difuso."_s;
    QTest::newRow("UNKNOWN as a value")
        << u"SELECT a FROM t WHERE x = Unknown"_s << QStringList{u"1:27"_s}
        << u"Línea 1, columna 27: Unknown solo puede ir tras un comparador difuso o tras IS."_s;
    QTest::newRow("CDEG in WHERE and in a subquery's WHERE")
        << u"SELECT CDEG(*) FROM t WHERE CDEG(x) > 0 AND EXISTS (SELECT CDEG(*) FROM u WHERE CDEG(*) > 0)"_s
        << QStringList{u"1:29"_s, u"1:81"_s}
        << u"Línea 1, columna 29: CDEG solo puede ir en la lista de selección o en ORDER BY."_s;
    QTest::newRow("condition as a value, value as a condition")
        << u"SELECT (a = 1) FROM t WHERE a + 1 AND b FEQ 2"_s << QStringList{u"1:8"_s, u"1:29"_s}
        << u"Línea 1, columna 8: se esperaba un valor y se ha encontrado la condición '(a = 1)'."_s;
    QTest::newRow("NOT before IS") << u"SELECT a FROM t WHERE a NOT IS NULL"_s << QStringList{u"1:29"_s}
                                   << u"Línea 1, columna 29: se esperaba BETWEEN, IN o LIKE y se ha encontrado 'IS'."_s;
    QTest::newRow("IS what") << u"SELECT a FROM t WHERE a IS 3"_s << QStringList{u"1:28"_s}
                             << u"Línea 1, columna 28: se esperaba NULL, UNKNOWN o UNDEFINED y se ha encontrado '3'."_s;
    QTest::newRow("join without condition")
        << u"SELECT a FROM t JOIN u WHERE a = 1 ORDER BY a b"_s << QStringList{u"1:24"_s, u"1:47"_s}
        << u"Línea 1, columna 24: se esperaba ON o USING y se ha encontrado 'WHERE'."_s;
    QTest::newRow("junk after the FROM list") << u"SELECT a FROM t x y WHERE 1 = 1"_s << QStringList{u"1:19"_s}
                                              << u"Línea 1, columna 19: no se esperaba 'y' en este punto."_s;
    QTest::newRow("missing ')' at the end")
        << u"SELECT a FROM t WHERE b IN (SELECT c FROM u WHERE d = = 1"_s << QStringList{u"1:55"_s, u"1:58"_s}
        << u"Línea 1, columna 55: se esperaba una expresión y se ha encontrado '='."_s;
    QTest::newRow("unclosed group skips to its ')'")
        << u"SELECT f(a b, c) FROM t WHERE x = ="_s << QStringList{u"1:12"_s, u"1:35"_s}
        << u"Línea 1, columna 12: se esperaba ')' y se ha encontrado 'b'."_s;
    QTest::newRow("CASE without END") << u"SELECT CASE WHEN a = 1 THEN 2 FROM t"_s << QStringList{u"1:31"_s}
                                      << u"Línea 1, columna 31: se esperaba END y se ha encontrado 'FROM'."_s;
    QTest::newRow("second statement")
        << u"SELECT a FROM t; SELECT b FROM u"_s << QStringList{u"1:18"_s}
        << u"Línea 1, columna 18: se esperaba el final de la consulta y se ha encontrado 'SELECT'."_s;
    QTest::newRow("stray ')'") << u"SELECT a FROM t)"_s << QStringList{u"1:16"_s}
                               << u"Línea 1, columna 16: se esperaba el final de la consulta y se ha encontrado ')'."_s;
    QTest::newRow("empty") << u"  -- nada\n"_s << QStringList{u"2:1"_s}
                           << u"Línea 2, columna 1: se esperaba SELECT y se ha encontrado el final de la consulta."_s;
    QTest::newRow("lexical and syntax errors together")
        << u"SELECT a FROM t WHERE x FEQ $ AND\n/* abierto"_s << QStringList{u"1:29"_s, u"2:1"_s}
        << u"Línea 1, columna 29: se esperaba el nombre de una etiqueta o '[' tras '$'."_s;
    QTest::newRow("long token cut in the message")
        << u"SELECT a FROM t WHERE x = 1 'una cadena demasiado larga para el mensaje'"_s << QStringList{u"1:29"_s}
        << u"Línea 1, columna 29: no se esperaba ''una cadena demasiado larga para el mens…' en este punto."_s;
}

void TestAnalizador::errores()
{
    QFETCH(QString, consulta);
    QFETCH(QStringList, errores);
    QFETCH(QString, primero);
    const Analisis an(consulta);
    QStringList posiciones;
    for (const ErrorSintaxis& e : an.arbol.errores)
        posiciones << u"%1:%2"_s.arg(e.linea).arg(e.columna);
    QCOMPARE(posiciones, errores);
    QCOMPARE(an.errores().value(0), primero);
    QVERIFY(an.arbol.raiz < an.arbol.consultas.size());
}

void TestAnalizador::anidamiento_data()
{
    QTest::addColumn<QString>("consulta");
    QTest::addColumn<bool>("demasiado");

    auto repetir = [](const QString& s, int n) { return s.repeated(n); };
    const QString q = u"SELECT a FROM t WHERE "_s;
    QTest::newRow("150 parentheses") << q + repetir(u"("_s, 150) + u"a = 1"_s + repetir(u")"_s, 150) << false;
    QTest::newRow("5000 parentheses") << q + repetir(u"("_s, 5000) + u"a = 1"_s + repetir(u")"_s, 5000) << true;
    QTest::newRow("5000 parentheses, never closed") << q + repetir(u"(("_s, 2500) << true;
    QTest::newRow("5000 signs") << q + u"a = "_s + repetir(u"- "_s, 5000) + u"1"_s << true;
    QTest::newRow("5000 NOT") << q + repetir(u"NOT "_s, 5000) + u"a = 1"_s << true;
    QTest::newRow("300 nested subqueries")
        << q + repetir(u"EXISTS (SELECT 1 FROM t WHERE "_s, 300) + u"1 = 1"_s + repetir(u")"_s, 300) << true;
    QTest::newRow("5000 FROM parentheses") << u"SELECT a FROM "_s + repetir(u"("_s, 5000) + u"t"_s << true;
    QTest::newRow("5000 CASE") << u"SELECT "_s + repetir(u"CASE WHEN a = 1 THEN "_s, 5000) + u"1 FROM t"_s << true;
}

void TestAnalizador::anidamiento()
{
    QFETCH(QString, consulta);
    QFETCH(bool, demasiado);
    const Analisis an(consulta);
    if (!demasiado) {
        QCOMPARE(an.errores(), QStringList());
        return;
    }
    // One error about the depth, none echoing it from the unread rest.
    QCOMPARE(an.arbol.errores.size(), 1u);
    QVERIFY2(an.arbol.errores[0].descripcion.find("más de 200 niveles") != std::string::npos,
        an.arbol.errores[0].descripcion.c_str());
}

void TestAnalizador::cadenasLargasSonPlanas()
{
    // Long chains of one operator are one node, so walking the tree stays shallow.
    QString consulta = u"SELECT a FROM t WHERE a FEQ 0"_s;
    for (int i = 1; i < 20000; ++i)
        consulta += u" AND a FEQ %1"_s.arg(i);
    consulta += u" OR b = 1 + 2 - 3 || 'x' * 4 / 5 + 6"_s;
    const Analisis an(consulta);
    QCOMPARE(an.errores(), QStringList());
    const auto* o = an.arbol.expresiones[an.primerBloque().donde].como<O>();
    QVERIFY(o);
    QCOMPARE(an.arbol.expresiones[o->operandos[0]].como<Y>()->operandos.size(), 20000u);
    const auto* igual = an.arbol.expresiones[o->operandos[1]].como<Comparacion>();
    const auto* suma = an.arbol.expresiones[igual->derecha].como<Operacion>();
    QVERIFY(suma);
    QCOMPARE(suma->operandos.size(), 5u); // 1, 2, 3, 'x' * 4 / 5, 6
    QCOMPARE(an.arbol.expresiones[suma->operandos[3]].como<Operacion>()->operandos.size(), 3u);
}

QTEST_APPLESS_MAIN(TestAnalizador)
#include "tst_analizador.moc"
