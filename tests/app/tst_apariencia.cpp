// The editor's appearance commands: what each changes, whether it counts as an edit, and cancelling.
#include "BancoPrincipal.h"
#include "ColorValue.h"
#include "DocumentoConsulta.h"
#include "EditorConsulta.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString texto = u"SELECT NOMBRE\nFROM EMPLEADOS"_s;

// The appearance of one character of the editor.
struct Caracter {
    QString fuente;
    double tamano;
    bool negrita, cursiva, tachado, subrayado;
    quint32 color;
    bool operator==(const Caracter&) const = default;
};

Caracter caracter(EditorConsulta* e, int posicion)
{
    const int inicio = e->selStart(), longitud = e->selLength();
    e->setSelStart(posicion);
    e->setSelLength(1);
    const Caracter c{e->selFontName(), e->selFontSize(), e->selBold(), e->selItalic(), e->selStrikethru(),
        e->selUnderline(), e->selColor()};
    e->setSelStart(inicio);
    e->setSelLength(longitud);
    return c;
}

char* toString(const Caracter& c)
{
    return qstrdup(qPrintable(u"%1 %2 %3%4%5%6 %7"_s.arg(c.fuente)
                                  .arg(c.tamano)
                                  .arg(c.negrita)
                                  .arg(c.cursiva)
                                  .arg(c.tachado)
                                  .arg(c.subrayado)
                                  .arg(c.color, 8, 16)));
}

} // namespace

class TestApariencia : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void commands_data();
    void commands();
    void dialogsStartFromTheFirstCharacter();
};

void TestApariencia::commands_data()
{
    QTest::addColumn<QString>("entrada");
    QTest::addColumn<bool>("aceptado");
    QTest::addColumn<bool>("edicion"); // counts as an edit of the query
    QTest::addColumn<bool>("caretAlFinal");
    QTest::newRow("font") << u"mnuFonts"_s << true << true << true;
    QTest::newRow("text colour") << u"mnuForeColor"_s << true << false << true;
    QTest::newRow("background") << u"mnuBackColor"_s << true << false << false;
    QTest::newRow("defaults") << u"mnuValoresDefecto"_s << true << true << true;
    QTest::newRow("font cancelled") << u"mnuFonts"_s << false << false << false;
    QTest::newRow("text colour cancelled") << u"mnuForeColor"_s << false << false << false;
    QTest::newRow("background cancelled") << u"mnuBackColor"_s << false << false << false;
}

void TestApariencia::commands()
{
    QFETCH(QString, entrada);
    QFETCH(bool, aceptado);
    QFETCH(bool, edicion);
    QFETCH(bool, caretAlFinal);
    BancoPrincipal b;
    // Underlined text in red on yellow, so that what a command leaves alone can be seen.
    b.ajustar("FontUnderline=True\nForeColor=255\nBackColor=65535\nFontName=Arial\nFontSize=9\n");
    frmMain& v = b.arrancar();
    v.Consulta->reemplazarTexto(texto);
    v.documento().setEtiqueta(DocumentoConsulta::sinNombre);
    b.estado.SentenciaSQL = u"SELECT NOMBRE FROM EMPLEADOS"_s;
    v.Consulta->setSelStart(3);
    v.Consulta->setSelLength(5);
    const Caracter antes = caracter(v.Consulta, 0);

    EleccionFuente fuente;
    fuente.nombre = u"DejaVu Sans Mono"_s;
    fuente.tamano = 14;
    fuente.negrita = true;
    b.plataforma.dialogos.fuentes = {aceptado ? std::optional(fuente) : std::nullopt};
    b.plataforma.dialogos.colores = {aceptado ? std::optional(0x00008000u) : std::nullopt};
    b.menu(entrada);

    QCOMPARE(v.documento().modificado(), edicion);
    QCOMPARE(b.estado.SentenciaSQL.isEmpty(), edicion);
    QCOMPARE(v.Consulta->toPlainText(), texto);
    if (caretAlFinal) {
        QCOMPARE(v.Consulta->selStart(), texto.size());
        QCOMPARE(v.Consulta->selLength(), 0);
    } else {
        QCOMPARE(v.Consulta->selStart(), 3);
        QCOMPARE(v.Consulta->selLength(), 5);
    }

    Caracter esperado = antes;
    quint32 fondo = 0x0000FFFFu;
    if (aceptado && entrada == u"mnuFonts") {
        // Strikethrough, underline and colour are not chosen in the font dialog: they stay.
        esperado.fuente = fuente.nombre;
        esperado.tamano = 14;
        esperado.negrita = true;
    } else if (aceptado && entrada == u"mnuForeColor") {
        esperado.color = 0x00008000u;
    } else if (aceptado && entrada == u"mnuBackColor") {
        fondo = 0x00008000u;
    } else if (entrada == u"mnuValoresDefecto") {
        esperado = {u"Courier"_s, 10, false, false, false, false, ColorValue::textoVentana};
        fondo = ColorValue::fondoVentana;
    }
    // The whole text carries one appearance.
    QCOMPARE(caracter(v.Consulta, 0), esperado);
    QCOMPARE(caracter(v.Consulta, texto.size() - 1), esperado);
    QCOMPARE(v.Consulta->backColor(), fondo);
}

void TestApariencia::dialogsStartFromTheFirstCharacter()
{
    BancoPrincipal b;
    b.ajustar("FontName=Arial\nFontSize=11\nFontItalic=True\nFontStrikethru=True\nForeColor=16711680\n"
              "BackColor=12632256\n");
    frmMain& v = b.arrancar();
    // Text typed at the end in another size does not count: the first character stands for the text.
    v.Consulta->setSelStart(1);
    v.Consulta->setSelLength(3);
    v.Consulta->setSelFontSize(30);
    v.Consulta->setSelStart(5);
    b.menu(u"mnuFonts"_s);
    b.menu(u"mnuForeColor"_s);
    b.menu(u"mnuBackColor"_s);
    QCOMPARE(b.plataforma.dialogos.fuentesMostradas.size(), 1);
    const EleccionFuente f = b.plataforma.dialogos.fuentesMostradas.first();
    QCOMPARE(f.nombre, u"Arial"_s);
    QCOMPARE(f.tamano, 11.0);
    QVERIFY(f.cursiva && f.tachado && !f.negrita && !f.subrayado);
    QCOMPARE(f.color, 0x00FF0000u);
    QCOMPARE(b.plataforma.dialogos.coloresMostrados, (QList<quint32>{0x00FF0000u, 0x00C0C0C0u}));
}

QTEST_MAIN(TestApariencia)
#include "tst_apariencia.moc"
