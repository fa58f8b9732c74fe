#include "ModeloRejilla.h"

#include "OrdenRejilla.h"

#include <limits>
#include <stdexcept>

namespace rejilla {

Qt::Alignment alineacionQt(int codigo, bool esNumero)
{
    switch (codigo) {
    case IzquierdaArriba: return Qt::AlignLeft | Qt::AlignTop;
    case IzquierdaCentro: return Qt::AlignLeft | Qt::AlignVCenter;
    case IzquierdaAbajo: return Qt::AlignLeft | Qt::AlignBottom;
    case CentroArriba: return Qt::AlignHCenter | Qt::AlignTop;
    case CentroCentro: return Qt::AlignHCenter | Qt::AlignVCenter;
    case CentroAbajo: return Qt::AlignHCenter | Qt::AlignBottom;
    case DerechaArriba: return Qt::AlignRight | Qt::AlignTop;
    case DerechaCentro: return Qt::AlignRight | Qt::AlignVCenter;
    case DerechaAbajo: return Qt::AlignRight | Qt::AlignBottom;
    default: return (esNumero ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    }
}

ModeloRejilla::ModeloRejilla(QObject* padre)
    : QAbstractTableModel(padre)
{
}

int ModeloRejilla::filasQt() const
{
    // Views count rows in int; a store beyond that is shown up to the limit.
    return int(std::min<qint64>(publicadas_, std::numeric_limits<int>::max()));
}

int ModeloRejilla::rowCount(const QModelIndex& padre) const
{
    return padre.isValid() ? 0 : filasQt();
}

int ModeloRejilla::columnCount(const QModelIndex& padre) const
{
    return padre.isValid() ? 0 : celdas_.columnas();
}

QVariant ModeloRejilla::data(const QModelIndex& indice, int rol) const
{
    if (!indice.isValid() || !checkIndex(indice))
        return {};
    switch (rol) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return texto(indice.row(), indice.column());
    case Qt::TextAlignmentRole: {
        const int codigo = alineacion(indice.row(), indice.column());
        double numero;
        const bool esNumero = codigo == General
            && (celdas_.tipo(indice.row(), indice.column()) == filas::TipoCelda::Entero
                || celdas_.tipo(indice.row(), indice.column()) == filas::TipoCelda::Real
                || (celdas_.tipo(indice.row(), indice.column()) == filas::TipoCelda::Texto
                    && leerNumero(celdas_.bytes(indice.row(), indice.column()), &numero)));
        return QVariant::fromValue(alineacionQt(codigo, esNumero));
    }
    default:
        return {};
    }
}

bool ModeloRejilla::setData(const QModelIndex& indice, const QVariant& valor, int rol)
{
    if (rol != Qt::EditRole || !indice.isValid() || !checkIndex(indice))
        return false;
    ponerTexto(indice.row(), indice.column(), valor.toString());
    return true;
}

Qt::ItemFlags ModeloRejilla::flags(const QModelIndex& indice) const
{
    if (!indice.isValid() || !checkIndex(indice))
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void ModeloRejilla::comprobarSinPendientes() const
{
    if (celdas_.filas() != publicadas_)
        throw std::logic_error("ModeloRejilla: rows appended but not published");
}

void ModeloRejilla::ponerFilas(qint64 filas)
{
    comprobarSinPendientes();
    filas = std::max<qint64>(0, filas);
    if (filas == publicadas_)
        return;
    if (filas > publicadas_) {
        beginInsertRows({}, int(publicadas_), int(filas - 1));
        celdas_.redimensionar(filas);
        for (auto& a : alineaciones_)
            if (!a.empty())
                a.resize(size_t(filas), General);
        publicadas_ = filas;
        endInsertRows();
    } else {
        beginRemoveRows({}, int(filas), int(publicadas_ - 1));
        celdas_.redimensionar(filas);
        for (auto& a : alineaciones_)
            if (!a.empty())
                a.resize(size_t(filas));
        publicadas_ = filas;
        endRemoveRows();
    }
}

void ModeloRejilla::ponerColumnas(int columnas)
{
    comprobarSinPendientes();
    columnas = std::max(0, columnas);
    const int antes = celdas_.columnas();
    if (columnas == antes)
        return;
    if (columnas > antes)
        beginInsertColumns({}, antes, columnas - 1);
    else
        beginRemoveColumns({}, columnas, antes - 1);
    celdas_.cambiarColumnas(columnas);
    alineaciones_.resize(size_t(columnas));
    if (columnas > antes)
        endInsertColumns();
    else
        endRemoveColumns();
}

void ModeloRejilla::vaciar(qint64 filas, int columnas)
{
    beginResetModel();
    celdas_.vaciar(std::max(0, columnas));
    publicadas_ = 0;
    std::vector<std::vector<quint8>>(size_t(celdas_.columnas())).swap(alineaciones_);
    celdas_.redimensionar(std::max<qint64>(0, filas));
    publicadas_ = celdas_.filas();
    endResetModel();
}

QString ModeloRejilla::texto(qint64 fila, int columna) const
{
    if (fila < 0 || fila >= publicadas_ || columna < 0 || columna >= celdas_.columnas())
        return {};
    return celdas_.texto(fila, columna);
}

void ModeloRejilla::ponerTexto(qint64 fila, int columna, const QString& texto)
{
    if (fila < 0 || fila >= publicadas_ || columna < 0 || columna >= celdas_.columnas())
        return;
    celdas_.ponerTexto(fila, columna, texto);
    if (fila <= std::numeric_limits<int>::max()) {
        const QModelIndex i = index(int(fila), columna);
        Q_EMIT dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole, Qt::TextAlignmentRole});
    }
}

int ModeloRejilla::alineacion(qint64 fila, int columna) const
{
    if (columna < 0 || size_t(columna) >= alineaciones_.size())
        return General;
    const auto& a = alineaciones_[size_t(columna)];
    return fila >= 0 && size_t(fila) < a.size() ? a[size_t(fila)] : int(General);
}

void ModeloRejilla::ponerAlineacion(qint64 fila, int columna, int codigo)
{
    if (fila < 0 || fila >= publicadas_ || columna < 0 || columna >= celdas_.columnas())
        return;
    if (codigo < 0 || codigo >= NumAlineaciones)
        codigo = General;
    auto& a = alineaciones_[size_t(columna)];
    if (a.empty()) {
        if (codigo == General)
            return;
        a.assign(size_t(publicadas_), General);
    }
    a[size_t(fila)] = quint8(codigo);
    if (fila <= std::numeric_limits<int>::max()) {
        const QModelIndex i = index(int(fila), columna);
        Q_EMIT dataChanged(i, i, {Qt::TextAlignmentRole});
    }
}

qint64 ModeloRejilla::publicar()
{
    const qint64 nuevas = celdas_.filas() - publicadas_;
    if (nuevas <= 0)
        return 0;
    beginInsertRows({}, int(publicadas_), int(std::min<qint64>(celdas_.filas(), std::numeric_limits<int>::max()) - 1));
    for (auto& a : alineaciones_)
        if (!a.empty())
            a.resize(size_t(celdas_.filas()), General);
    publicadas_ = celdas_.filas();
    endInsertRows();
    return nuevas;
}

void ModeloRejilla::ordenar(qint64 desde, qint64 hasta, const std::vector<int>& claves, bool descendente)
{
    comprobarSinPendientes();
    desde = std::max<qint64>(0, desde);
    hasta = std::min(hasta, publicadas_ - 1);
    if (hasta <= desde || claves.empty())
        return;
    for (int c : claves)
        if (c < 0 || c >= celdas_.columnas())
            return;
    const std::vector<qint64> orden = ordenGenerico(celdas_, desde, hasta, claves, descendente);
    celdas_.permutar(desde, orden);
    for (auto& a : alineaciones_) {
        if (a.empty())
            continue;
        std::vector<quint8> tramo(orden.size());
        for (size_t i = 0; i < orden.size(); ++i)
            tramo[i] = a[size_t(orden[i])];
        std::copy(tramo.begin(), tramo.end(), a.begin() + desde);
    }
    Q_EMIT dataChanged(index(int(desde), 0), index(int(hasta), celdas_.columnas() - 1));
}

} // namespace rejilla
