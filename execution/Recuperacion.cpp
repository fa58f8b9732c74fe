#include "Recuperacion.h"

#include "AlmacenFilas.h"
#include "Clock.h"
#include "CopiaFilas.h"
#include "ErrorOra.h"
#include "OraDatabase.h"
#include "OraSession.h"

#include <QElapsedTimer>

#include <algorithm>
#include <optional>
#include <stdexcept>
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

// Hands each streamed row to `fila`; a result with another column count than the counted one (the
// table changed in between) is refused before any of its rows.
class Lector final : public db::LectorFilas {
public:
    Lector(int columnas, std::function<void(const filas::FuenteFila&)> fila)
        : m_columnas(columnas)
        , m_fila(std::move(fila))
    {
    }
    void empezar(const QStringList& nombres) override
    {
        if (nombres.size() != m_columnas)
            throw std::runtime_error("Las columnas del resultado cambiaron mientras se recuperaba.");
    }
    void fila(const filas::FuenteFila& fila) override { m_fila(fila); }

private:
    int m_columnas;
    std::function<void(const filas::FuenteFila&)> m_fila;
};

// Thrown from a row to stop the statement when the user cancels.
struct Cancelar { };

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
    // While a statement runs, window events keep running and a cancel stops it.
    const auto vigilar = [&] {
        if (ritmo.toca())
            m_vista.procesarEventos();
        return m_estado.OperacionCancelada;
    };
    const auto cancelada = [&](const db::ErrorOra& error) {
        return error.codigo() == db::OraCancelada && m_estado.OperacionCancelada;
    };
    qint64 n = -1; // rows to copy, once known
    qint64 copiadas = 0;
    std::vector<int> anchos; // of the data columns, in twips
    std::optional<CopiaFilas> copia;
    // Shows the rows copied so far and where the copy is; columns that a long value needs widened.
    const auto mostrarAvance = [&] {
        m_vista.publicar();
        m_vista.ponerNumFilas(u"fila %1 de %2"_s.arg(copiadas).arg(n));
        m_vista.ponerProgreso(copiadas, n + 1);
        for (size_t i = 0; copia && i < anchos.size(); ++i)
            if (copia->anchoVisto(int(i)) > anchos[i]) {
                anchos[i] = copia->anchoVisto(int(i));
                m_vista.ponerAncho(int(i) + 1, anchos[i]);
            }
    };
    // A failure part way keeps the rows copied so far, and the counter says how many of all they are.
    const auto dejarLoCopiado = [&] {
        if (n < 0)
            return;
        m_vista.publicar();
        m_vista.ponerFilas(std::max<qint64>(n + 1, 2));
        if (copiadas < n)
            m_vista.ponerNumTuplas(fraccion(copiadas, n));
    };
    try {
        if (sesion)
            sesion->LastServerErrReset();
        base.LastServerErrReset();
        // One ";" at the very end is dropped; one followed by blanks is the user's to keep.
        if (m_estado.SentenciaSQL.endsWith(u';'))
            m_estado.SentenciaSQL.chop(1);

        // The whole result is counted first; the database keeps at most a few of the rows to copy.
        const qint64 limite = m_estado.TodasLasFilas ? -1 : std::max<qint64>(m_estado.LimiteFilas, 0);
        const qint64 retener = limite < 0 ? m_retenidas : std::min(limite, m_retenidas);
        std::unique_ptr<db::OraDynaset> dynaset;
        try {
            Vigilancia vigilancia(base, vigilar);
            dynaset = base.DbCreateDynaset(m_estado.SentenciaSQL, {}, retener);
        } catch (const db::ErrorOra& error) {
            if (cancelada(error))
                return salidaCancelada({});
            throw;
        }
        const db::OraFields campos = dynaset->Fields();
        m_vista.procesarEventos();
        if (m_estado.OperacionCancelada)
            return salidaCancelada({});

        const int columnas = campos.Count();
        m_vista.ponerColumnas(columnas + 1);
        qint64 total = dynaset->RecordCount();
        m_vista.ponerContaRecu(u"Recuperando"_s);
        m_vista.puntero(PunteroPantalla::FlechaReloj);

        if (limite >= 0 && limite < total) {
            n = limite;
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
        anchos = escribirCabecera(campos);
        if (cancelado())
            return salidaSinFilas();

        // The grid will have n + 1 rows however the copy ends: their positions are made room for
        // once, so that neither the copy nor a cancel moves them.
        m_vista.lote().reservarFilas(n + 1);
        copia.emplace(m_vista.lote(), columnas, m_estado.PonerCeroAuto);
        // After every row the cancel request is looked at; at every interval the rows are shown and
        // window events run.
        const auto trasFila = [&] {
            ++copiadas;
            if (ritmo.toca()) {
                mostrarAvance();
                m_vista.procesarEventos();
            }
            return m_estado.OperacionCancelada;
        };
        const auto salidaEnFila = [&] {
            mostrarAvance();
            m_vista.ponerFilas(n + 1);
            m_estado.SegundosConsulta = m_reloj.segundosMonotonos() - inicio;
            return salidaCancelada(fraccion(copiadas, n));
        };
        if (dynaset->celdas().filas() >= n) {
            // Every row to copy is kept already: the statement does not run again.
            while (copiadas < n) {
                copia->anadir(filas::FilaDeAlmacen(dynaset->celdas(), copiadas), copiadas + 1);
                dynaset->DbMoveNext();
                if (trasFila())
                    return salidaEnFila();
            }
        } else {
            // The statement runs again and its rows go straight into the grid as they are stepped.
            dynaset.reset();
            Lector lector(columnas, [&](const filas::FuenteFila& fila) {
                copia->anadir(fila, copiadas + 1);
                if (trasFila())
                    throw Cancelar();
            });
            qint64 otroTotal = 0;
            try {
                Vigilancia vigilancia(base, vigilar);
                otroTotal = base.recorrerFilas(m_estado.SentenciaSQL, lector, n);
            } catch (const Cancelar&) {
                return salidaEnFila();
            } catch (const db::ErrorOra& error) {
                if (cancelada(error))
                    return salidaEnFila();
                throw;
            }
            // The rows changed between the count and the copy: the counters tell what the grid got.
            if (otroTotal != total || copiadas != n) {
                total = otroTotal;
                n = copiadas;
                m_vista.ponerNumTuplas(n < total ? fraccion(n, total) : u"%1 (todas)"_s.arg(total));
                m_vista.ponerFilas(std::max<qint64>(n + 1, 2));
            }
        }
        mostrarAvance();
        m_vista.puntero(PunteroPantalla::Normal);
        return salidaNormal(inicio);
    } catch (const db::ErrorOra& error) {
        dejarLoCopiado();
        return salidaError(error.codigo(), error.texto());
    } catch (const std::exception& error) {
        dejarLoCopiado();
        return salidaError(0, QString::fromLocal8Bit(error.what()));
    }
}

std::vector<int> Recuperacion::escribirCabecera(const db::OraFields& campos)
{
    m_vista.ponerCabecera(0, u"Nº Fila"_s, anchoNumeroFila, alineacionNumeroFila);
    std::vector<int> anchos;
    for (int i = 0; i < campos.Count(); ++i) {
        const db::OraField campo = campos(i);
        anchos.push_back(std::max(campo.OraMaxDSize(), anchoMinimoCampo));
        m_vista.ponerCabecera(i + 1, campo.Name(), anchos.back(), alineacionCampo);
    }
    return anchos;
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
