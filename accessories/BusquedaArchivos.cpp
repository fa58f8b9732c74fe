#include "BusquedaArchivos.h"

#include "ArbolCarpetas.h"
#include "MessageBoxes.h"

using namespace Qt::StringLiterals;

BusquedaArchivos::BusquedaArchivos(
    const ArbolCarpetas& arbol, MessageBoxes& mensajes, AnfitrionBusqueda anfitrion, int capacidad)
    : m_arbol(arbol)
    , m_mensajes(mensajes)
    , m_anfitrion(std::move(anfitrion))
    , m_capacidad(capacidad)
{
}

bool BusquedaArchivos::buscar(QString carpeta, const QStringList& patrones)
{
    m_patrones = patrones;
    m_buscando = true;
    const bool abandonada = SearchDirectory(carpeta);
    m_buscando = false;
    return abandonada;
}

void BusquedaArchivos::limpiar()
{
    m_hallados = 0;
    m_buscando = false;
}

bool BusquedaArchivos::SearchDirectory(const QString& carpeta)
{
    const ArbolCarpetas::Listado subcarpetas = m_arbol.subcarpetas(carpeta, false);
    if (!subcarpetas.error.isEmpty())
        return abandonar(subcarpetas.error + u'\r' + carpeta);
    if (m_anfitrion.mostrarCarpeta)
        m_anfitrion.mostrarCarpeta(carpeta);
    if (m_anfitrion.atenderEventos)
        m_anfitrion.atenderEventos();
    if (!m_buscando)
        return true;

    for (qsizetype n = subcarpetas.nombres.size(); n > 0; --n) {
        // An abandon returns at once, leaving the folder list where the search stopped.
        if (SearchDirectory(rutaEn(carpeta, subcarpetas.nombres.at(n - 1))))
            return true;
        if (m_anfitrion.mostrarCarpeta)
            m_anfitrion.mostrarCarpeta(carpeta);
    }

    const ArbolCarpetas::Listado ficheros = m_arbol.ficheros(carpeta, m_patrones);
    if (!ficheros.error.isEmpty())
        return abandonar(ficheros.error + u'\r' + carpeta);
    for (const QString& nombre : ficheros.nombres) {
        if (m_hallados >= m_capacidad)
            return abandonar(u"Se ha llenado el cuadro de lista. Abandonando la búsqueda..."_s);
        ++m_hallados;
        if (m_anfitrion.hallado)
            m_anfitrion.hallado(rutaEn(carpeta, nombre));
    }
    return false;
}

// Nothing found so far is lost: the search just stops, as a cancel would.
bool BusquedaArchivos::abandonar(const QString& texto)
{
    m_buscando = false;
    m_mensajes.mostrar(Mensaje::aviso(u"Nimbo"_s, texto, Mensaje::Icono::Ninguno), m_anfitrion.ventana);
    return true;
}
