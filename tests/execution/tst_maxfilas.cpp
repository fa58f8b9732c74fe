// The row-limit dialog and the reading of a typed limit.
#include "FakePlatform.h"
#include "MaxFilas.h"
#include "Module1.h"
#include "NumeroFilas.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(NumeroFilas::Rechazo)

class TestMaxFilas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void leer_data();
    void leer();
    void aperturaSeleccionaElAjuste_data();
    void aperturaSeleccionaElAjuste();
    void okGuardaLaOpcionElegida_data();
    void okGuardaLaOpcionElegida();
    void numeroRechazadoDejaElDialogoYElAjuste_data();
    void numeroRechazadoDejaElDialogoYElAjuste();
    void entrarEnElCuadroEligeOtroNumero();
    void cancelarYEscapeNoCambianNada();
};

namespace {

struct Banco {
    // A stored limit of 0 stands for every row.
    explicit Banco(int limite = 0)
    {
        estado.TodasLasFilas = limite == 0;
        estado.LimiteFilas = limite;
    }
    FakePlatform plataforma;
    Platform servicios = plataforma.servicios();
    Module1 estado;
};

constexpr qint32 sinRechazo = -1;

} // namespace

void TestMaxFilas::leer_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("idioma");
    QTest::addColumn<int>("limite");
    QTest::addColumn<NumeroFilas::Rechazo>("rechazo");
    const auto valido = [](const char* nombre, const QString& texto, const QString& idioma, int limite) {
        QTest::newRow(nombre) << texto << idioma << limite << NumeroFilas::Rechazo::NoEsNumero;
    };
    const auto malo = [](const char* nombre, const QString& texto, const QString& idioma, NumeroFilas::Rechazo r) {
        QTest::newRow(nombre) << texto << idioma << int(sinRechazo) << r;
    };
    using R = NumeroFilas::Rechazo;
    valido("whole", u"75"_s, u"C"_s, 75);
    valido("blanks and plus sign", u"  +75 "_s, u"C"_s, 75);
    valido("leading zeros", u"0075"_s, u"C"_s, 75);
    valido("half goes down to even", u"2.5"_s, u"C"_s, 2);
    valido("half goes up to even", u"3.5"_s, u"C"_s, 4);
    valido("just above a half goes up", u"2.5000001"_s, u"C"_s, 3);
    valido("below a half goes down", u"2.49999"_s, u"C"_s, 2);
    valido("trailing zeros of a half", u"2.500"_s, u"C"_s, 2);
    valido("comma in a comma locale", u"3,5"_s, u"es_ES"_s, 4);
    valido("bare fraction", u".6"_s, u"C"_s, 1);
    valido("largest", u"2147483647"_s, u"C"_s, 2147483647);
    valido("largest with a half below it", u"2147483646.5"_s, u"C"_s, 2147483646);
    malo("letters", u"abc"_s, u"C"_s, R::NoEsNumero);
    malo("empty", u""_s, u"C"_s, R::NoEsNumero);
    malo("only a sign", u"-"_s, u"C"_s, R::NoEsNumero);
    malo("only the separator", u"."_s, u"C"_s, R::NoEsNumero);
    malo("digits then letters", u"12a"_s, u"C"_s, R::NoEsNumero);
    malo("point in a comma locale", u"0.4"_s, u"es_ES"_s, R::NoEsNumero);
    malo("exponent", u"1e3"_s, u"C"_s, R::NoEsNumero);
    malo("zero", u"0"_s, u"C"_s, R::NoPositivo);
    malo("negative", u"-3"_s, u"C"_s, R::NoPositivo);
    malo("negative zero", u"-0.0"_s, u"C"_s, R::NoPositivo);
    // A limit that rounds to no rows would copy nothing: refused like zero.
    malo("rounds to zero", u"0,4"_s, u"es_ES"_s, R::NoPositivo);
    malo("one half rounds to zero", u"0.5"_s, u"C"_s, R::NoPositivo);
    malo("eleven digits", u"12345678901"_s, u"C"_s, R::DemasiadoGrande);
    malo("one past the largest", u"2147483648"_s, u"C"_s, R::DemasiadoGrande);
    malo("rounds past the largest", u"2147483647.5"_s, u"C"_s, R::DemasiadoGrande);
    malo("hundreds of digits", QString(400, u'9'), u"C"_s, R::DemasiadoGrande);
}

void TestMaxFilas::leer()
{
    QFETCH(QString, texto);
    QFETCH(QString, idioma);
    QFETCH(int, limite);
    QFETCH(NumeroFilas::Rechazo, rechazo);
    const auto leido = NumeroFilas::leer(texto, QLocale(idioma));
    if (limite == sinRechazo) {
        QVERIFY(std::holds_alternative<NumeroFilas::Rechazo>(leido));
        QCOMPARE(std::get<NumeroFilas::Rechazo>(leido), rechazo);
    } else {
        QVERIFY(std::holds_alternative<qint32>(leido));
        QCOMPARE(std::get<qint32>(leido), limite);
    }
}

void TestMaxFilas::aperturaSeleccionaElAjuste_data()
{
    // The other choices show again in the reopened dialog after Ok.
    QTest::addColumn<int>("limite");
    QTest::addColumn<QString>("opcion");
    QTest::newRow("every row") << 0 << u"Option1"_s;
    QTest::newRow("250") << 250 << u"Option4"_s;
}

void TestMaxFilas::aperturaSeleccionaElAjuste()
{
    QFETCH(int, limite);
    QFETCH(QString, opcion);
    Banco b(limite);
    MaxFilas dialogo(b.estado, b.servicios);
    dialogo.show();
    QVERIFY(dialogo.findChild<QRadioButton*>(opcion)->isChecked());
    QCOMPARE(dialogo.MaxNumFilas->text(), u"50"_s);
    // Opening the dialog over a fixed choice must not select the text box's option by focusing it.
    QVERIFY(QTest::qWaitForWindowActive(&dialogo));
    QVERIFY(dialogo.findChild<QRadioButton*>(opcion)->isChecked());
}

void TestMaxFilas::okGuardaLaOpcionElegida_data()
{
    QTest::addColumn<QString>("opcion");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("todas");
    QTest::addColumn<int>("limite");
    QTest::newRow("every row keeps the old limit") << u"Option1"_s << u"50"_s << true << 7;
    QTest::newRow("25") << u"Option2"_s << u"50"_s << false << 25;
    QTest::newRow("100") << u"Option3"_s << u"50"_s << false << 100;
    QTest::newRow("250") << u"Option4"_s << u"50"_s << false << 250;
    QTest::newRow("500") << u"Option5"_s << u"50"_s << false << 500;
    QTest::newRow("typed") << u"Option6"_s << u"75"_s << false << 75;
    QTest::newRow("typed, rounded") << u"Option6"_s << u"74.5"_s << false << 74;
}

void TestMaxFilas::okGuardaLaOpcionElegida()
{
    QFETCH(QString, opcion);
    QFETCH(QString, texto);
    QFETCH(bool, todas);
    QFETCH(int, limite);
    Banco b(7);
    {
        MaxFilas dialogo(b.estado, b.servicios);
        dialogo.show();
        dialogo.findChild<QRadioButton*>(opcion)->setChecked(true);
        dialogo.MaxNumFilas->setText(texto);
        QTest::mouseClick(dialogo.Ok, Qt::LeftButton);
        QCOMPARE(dialogo.result(), int(QDialog::Accepted));
        QVERIFY(!dialogo.isVisible());
    }
    QCOMPARE(b.estado.TodasLasFilas, todas);
    QCOMPARE(b.estado.LimiteFilas, limite);
    QVERIFY(b.plataforma.mensajes.mostrados.isEmpty());

    // Reopened, the dialog shows the choice just made.
    MaxFilas otra(b.estado, b.servicios);
    QVERIFY(otra.findChild<QRadioButton*>(opcion)->isChecked());
    QCOMPARE(otra.MaxNumFilas->text(), texto == u"74.5"_s ? u"74"_s : texto);
}

void TestMaxFilas::numeroRechazadoDejaElDialogoYElAjuste_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("mensaje");
    QTest::newRow("not a number") << u"abc"_s << u"No ha tecleado un número"_s;
    QTest::newRow("zero") << u"0"_s << u"El número máximo de tuplas a recuperar debe ser estrictamente MAYOR QUE 0."_s;
    QTest::newRow("too large") << u"12345678901"_s
                               << u"El número que ha tecleado no es válido. Probablemente sea demasiado grande y/o "
                                  "contenga demasiados dígitos."_s;
}

void TestMaxFilas::numeroRechazadoDejaElDialogoYElAjuste()
{
    QFETCH(QString, texto);
    QFETCH(QString, mensaje);
    Banco b(250);
    MaxFilas dialogo(b.estado, b.servicios);
    dialogo.show();
    dialogo.Option6->setChecked(true);
    dialogo.MaxNumFilas->setText(texto);
    QTest::mouseClick(dialogo.Ok, Qt::LeftButton);

    QCOMPARE(b.plataforma.mensajes.mostrados.size(), 1);
    QCOMPARE(b.plataforma.mensajes.mostrados.first(),
        Mensaje::aviso(u"Error"_s, mensaje, Mensaje::Icono::Critico));
    QVERIFY(dialogo.isVisible());
    QCOMPARE(dialogo.MaxNumFilas->text(), texto);
    QVERIFY(!b.estado.TodasLasFilas);
    QCOMPARE(b.estado.LimiteFilas, 250);
}

void TestMaxFilas::entrarEnElCuadroEligeOtroNumero()
{
    Banco b(100);
    MaxFilas dialogo(b.estado, b.servicios);
    dialogo.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialogo));
    QVERIFY(dialogo.Option3->isChecked());
    QTest::mouseClick(dialogo.MaxNumFilas, Qt::LeftButton);
    QVERIFY(dialogo.Option6->isChecked());
    QVERIFY(!dialogo.Option3->isChecked());
}

void TestMaxFilas::cancelarYEscapeNoCambianNada()
{
    for (const bool conEscape : {false, true}) {
        Banco b;
        MaxFilas dialogo(b.estado, b.servicios);
        dialogo.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialogo));
        dialogo.Option4->setChecked(true);
        if (conEscape)
            QTest::keyClick(&dialogo, Qt::Key_Escape);
        else
            QTest::mouseClick(dialogo.Cancelar, Qt::LeftButton);
        QCOMPARE(dialogo.result(), int(QDialog::Rejected));
        QVERIFY(!dialogo.isVisible());
        QVERIFY(b.estado.TodasLasFilas);
        QCOMPARE(b.estado.LimiteFilas, 0);
    }
    // Enter is Ok.
    Banco b;
    MaxFilas dialogo(b.estado, b.servicios);
    dialogo.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialogo));
    dialogo.Option2->setChecked(true);
    QTest::keyClick(&dialogo, Qt::Key_Return);
    QCOMPARE(dialogo.result(), int(QDialog::Accepted));
    QCOMPARE(b.estado.LimiteFilas, 25);
}

QTEST_MAIN(TestMaxFilas)
#include "tst_maxfilas.moc"
