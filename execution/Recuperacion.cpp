#include "Recuperacion.h"

#include "AlmacenFilas.h"
#include "Clock.h"
#include "ErrorOra.h"
#include "OraDatabase.h"
#include "OraSession.h"

#include <QElapsedTimer>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int anchoNumeroFila = 550;  // twips
constexpr int anchoMinimoCampo = 1000; // twips
constexpr int alineacionNumeroFila = 2; // left, bottom
constexpr int alineacionCampo = 1;      // left, centre

// Tells when the interval has passed since it last said so; with no interval, every time.
class Ritmo {
public:
    explicit Ritmo(int ms)
        : m_ms(ms)
    {
        m_desde.start();
    }
    bool toca()
    {
        if (m_ms > 0 && m_desde.elapsed() < m_ms)
            return false;
        m_desde.restart();
        return true;
    }

private:
    int m_ms;
    QElapsedTimer m_desde;
};

// The cancel function stays with the database only while the statement runs.
class Vigilancia {
public:
    Vigilancia(db::OraDatabase& base, std::function<bool()> cancelar)
        : m_base(base)
    {
        m_base.setCancelador(std::move(cancelar));
    }
    ~Vigilancia() { m_base.setCancelador({}); }
    Vigilancia(const Vigilancia&) = delete;
    Vigilancia& operator=(const Vigilancia&) = delete;

private:
    db::OraDatabase& m_base;
};

// A text cell that begins with "," or "." and a digit: the leading-zero rule's case.
bool faltaCero(std::string_view t)
{
    return t.size() >= 2 && (t[0] == ',' || t[0] == '.') && t[1] >= '0' && t[1] <= '9';
}

QString fraccion(qint64 parte, qint64 todo)
{
    return QString::number(parte) + u'/' + QString::number(todo);
}

} // namespace

Recuperacion::Recuperacion(Module1& estado, const Clock& reloj, VistaRecuperacion& vista)
    : m_estado(estado)
    , m_reloj(reloj)
    , m_vista(vista)
{
}

QString Recuperacion::ponerCero(const QString& texto)
{
    if (texto.size() >= 2 && (texto[0] == u',' || texto[0] == u'.') && texto[1] >= u'0' && texto[1] <= u'9')
        return u'0' + texto;
    return texto;
}

void Recuperacion::copiarFila(
    const filas::AlmacenFilas& origen, qint64 fila, qint64 numero, filas::AlmacenFilas& destino, bool ponerCeroAuto)
{
    destino.empezarFila();
    destino.anadirEntero(numero);
    for (int j = 0; j < origen.columnas(); ++j) {
        switch (origen.tipo(fila, j)) {
        case filas::TipoCelda::Nulo:
            destino.anadirTexto("NULL");
            break;
        // Numbers keep their type, so that no text is made for them here; their text form never starts
        // with a separator, so the leading-zero rule has nothing to do for them.
        case filas::TipoCelda::Entero:
            destino.anadirEntero(origen.entero(fila, j));
            break;
        case filas::TipoCelda::Real:
            destino.anadirReal(origen.real(fila, j));
            break;
        case filas::TipoCelda::Blob:
            destino.anadirTexto(
                u"X'"_s + QString::fromLatin1(QByteArrayView(origen.bytes(fila, j)).toByteArray().toHex().toUpper()) + u"'"_s);
            break;
        case filas::TipoCelda::Texto: {
            const std::string_view t = origen.bytes(fila, j);
            if (!QByteArrayView(t).isValidUtf8()) {
                // What the grid shows of it: the bytes that are not UTF-8 replaced.
                const QString texto = origen.texto(fila, j);
                destino.anadirTexto(ponerCeroAuto ? ponerCero(texto) : texto);
            } else if (ponerCeroAuto && faltaCero(t)) {
                destino.anadirTexto("0" + std::string(t));
            } else {
                destino.anadirTexto(t);
            }
            break;
        }
        }
    }
    destino.terminarFila();
}

Resultado Recuperacion::RecuperarTabla(db::OraDatabase& base, db::OraSession* sesion)
{
    m_vista.deshabilitarOpcionesTabla();
    m_vista.puntero(PunteroPantalla::Reloj);
    m_vista.mostrarPeonza();
    m_vista.procesarEventos();
    m_vista.peonzaEncima(true);
    if (m_estado.OperacionCancelada)
        return salidaCancelada({});

    const double inicio = m_reloj.segundosMonotonos();
    Ritmo ritmo(m_intervalo);
    qint64 n = -1; // rows to copy, once known
    qint64 copiadas = 0;
    // Shows the rows copied so far and where the copy is.
    const auto mostrarAvance = [&] {
        m_vista.publicar();
        m_vista.ponerNumFilas(u"fila %1 de %2"_s.arg(copiadas).arg(n));
        m_vista.ponerProgreso(copiadas, n + 1);
    };
    try {
        if (sesion)
            sesion->LastServerErrReset();
        base.LastServerErrReset();
        // One ";" at the very end is dropped; one followed by blanks is the user's to keep.
        if (m_estado.SentenciaSQL.endsWith(u';'))
            m_estado.SentenciaSQL.chop(1);

        // The database keeps only the rows that will be copied, and counts the rest. While the
        // statement runs, window events keep running and a cancel stops it.
        const qint64 retener = m_estado.TodasLasFilas ? -1 : std::max<qint64>(m_estado.LimiteFilas, 0);
        std::unique_ptr<db::OraDynaset> dynaset;
        try {
            Vigilancia vigilancia(base, [&] {
                if (ritmo.toca())
                    m_vista.procesarEventos();
                return m_estado.OperacionCancelada;
            });
            dynaset = base.DbCreateDynaset(m_estado.SentenciaSQL, {}, retener);
        } catch (const db::ErrorOra& error) {
            if (error.codigo() == db::OraCancelada && m_estado.OperacionCancelada)
                return salidaCancelada({});
            throw;
        }
        const db::OraFields campos = dynaset->Fields();
        m_vista.procesarEventos();
        if (m_estado.OperacionCancelada)
            return salidaCancelada({});

        const int columnas = campos.Count();
        m_vista.ponerColumnas(columnas + 1);
        const qint64 total = dynaset->RecordCount();
        m_vista.ponerContaRecu(u"Recuperando"_s);
        m_vista.puntero(PunteroPantalla::FlechaReloj);

        if (!m_estado.TodasLasFilas && m_estado.LimiteFilas < total) {
            n = m_estado.LimiteFilas;
            m_vista.ponerNumFilas(u"%1 filas de %2"_s.arg(n).arg(total));
            m_vista.ponerNumTuplas(fraccion(n, total));
        } else {
            n = total;
            m_vista.ponerNumFilas(u"%1 filas (todas)"_s.arg(total));
            m_vista.ponerNumTuplas(u"%1 (todas)"_s.arg(total));
        }
        // The header row now; the data rows are added as they are copied, the rest at the end.
        m_vista.ponerFilas(1);
        m_vista.ponerProgreso(0, n + 1);

        const auto cancelado = [&] {
            m_vista.procesarEventos();
            return m_estado.OperacionCancelada;
        };
        const auto salidaSinFilas = [&] {
            m_vista.ponerFilas(n + 1);
            return salidaCancelada(fraccion(0, n));
        };
        if (cancelado())
            return salidaSinFilas();
        m_vista.ponerNumColumnas(QString::number(columnas));

        if (n == 0) {
            m_vista.ponerFilas(2);
            escribirCabecera(campos);
            m_vista.ponerFijas(1, 1);
            m_vista.puntero(PunteroPantalla::Normal);
            return salidaNormal(inicio);
        }
        m_vista.ponerFijas(1, 1);
        if (cancelado())
            return salidaSinFilas();
        escribirCabecera(campos);
        if (cancelado())
            return salidaSinFilas();

        filas::AlmacenFilas& lote = m_vista.lote();
        const filas::AlmacenFilas& origen = dynaset->celdas();
        const bool ponerCeroAuto = m_estado.PonerCeroAuto;
        while (copiadas < n) {
            // A result that says it has more rows than it kept fails here, before half a row is written.
            if (dynaset->Eof() && columnas > 0)
                (void)campos(0).Value();
            copiarFila(origen, copiadas, copiadas + 1, lote, ponerCeroAuto);
            ++copiadas;
            dynaset->DbMoveNext();
            if (ritmo.toca()) {
                mostrarAvance();
                m_vista.procesarEventos();
            }
            if (m_estado.OperacionCancelada) {
                mostrarAvance();
                m_vista.ponerFilas(n + 1);
                m_estado.SegundosConsulta = m_reloj.segundosMonotonos() - inicio;
                return salidaCancelada(fraccion(copiadas, n));
            }
        }
        mostrarAvance();
        m_vista.puntero(PunteroPantalla::Normal);
        return salidaNormal(inicio);
    } catch (const db::ErrorOra& error) {
        if (n >= 0) {
            m_vista.publicar();
            m_vista.ponerFilas(std::max<qint64>(n + 1, 2));
        }
        return salidaError(error.codigo(), error.texto());
    } catch (const std::exception& error) {
        if (n >= 0) {
            m_vista.publicar();
            m_vista.ponerFilas(std::max<qint64>(n + 1, 2));
        }
        return salidaError(0, QString::fromLocal8Bit(error.what()));
    }
}

void Recuperacion::escribirCabecera(const db::OraFields& campos)
{
    m_vista.ponerCabecera(0, u"Nº Fila"_s, anchoNumeroFila, alineacionNumeroFila);
    for (int i = 0; i < campos.Count(); ++i) {
        const db::OraField campo = campos(i);
        m_vista.ponerCabecera(i + 1, campo.Name(), std::max(campo.OraMaxDSize(), anchoMinimoCampo), alineacionCampo);
    }
}

Resultado Recuperacion::salidaNormal(double inicio)
{
    m_estado.SegundosConsulta = m_reloj.segundosMonotonos() - inicio;
    m_vista.peonzaEncima(false);
    m_vista.descargarPeonza();
    m_vista.habilitarOpcionesTabla();
    return Hecho;
}

// The busy window goes by itself at its next tick once it sees the request.
Resultado Recuperacion::salidaCancelada(const QString& numTuplas)
{
    if (!numTuplas.isEmpty())
        m_vista.ponerNumTuplas(numTuplas);
    m_vista.trasCancelar();
    m_vista.habilitarOpcionesTabla();
    return NoHecho;
}

Resultado Recuperacion::salidaError(int codigo, const QString& texto)
{
    m_vista.habilitarOpcionesTabla();
    m_vista.peonzaEncima(false);
    m_vista.descargarPeonza();
    m_vista.puntero(PunteroPantalla::Normal);
    m_vista.mostrarErrorServidor(codigo, texto);
    return NoHecho;
}
