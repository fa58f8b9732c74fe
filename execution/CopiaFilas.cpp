#include "CopiaFilas.h"

#include "Utf8.h"

#include <QString>
#include <QStringDecoder>

#include <algorithm>

using filas::TipoCelda;

namespace {

constexpr int anchoMaximo = 4000;

bool faltaCero(std::string_view t)
{
    return t.size() >= 2 && (t[0] == ',' || t[0] == '.') && t[1] >= '0' && t[1] <= '9';
}

} // namespace

// The source row seen through the grid's rules, numbered; cells that change are written into the
// per-column buffers, which stay valid until the next row.
class CopiaFilas::Fila final : public filas::FuenteFila {
public:
    Fila(CopiaFilas& copia, const filas::FuenteFila& origen, qint64 numero)
        : c_(copia)
        , o_(origen)
        , numero_(numero)
    {
    }
    int columnas() const override { return o_.columnas() + 1; }
    TipoCelda tipo(int c) const override
    {
        if (c == 0)
            return TipoCelda::Entero;
        const TipoCelda t = o_.tipo(c - 1);
        return t == TipoCelda::Entero || t == TipoCelda::Real ? t : TipoCelda::Texto;
    }
    qint64 entero(int c) const override { return c == 0 ? numero_ : o_.entero(c - 1); }
    double real(int c) const override { return o_.real(c - 1); }
    std::string_view bytes(int c) const override
    {
        const int j = c - 1;
        std::string& cambiada = c_.m_cambiadas[size_t(j)];
        switch (o_.tipo(j)) {
        case TipoCelda::Nulo: return "NULL";
        case TipoCelda::Blob: {
            static constexpr char hex[] = "0123456789ABCDEF";
            const std::string_view b = o_.bytes(j);
            cambiada.assign("X'");
            for (const char x : b) {
                cambiada.push_back(hex[quint8(x) >> 4]);
                cambiada.push_back(hex[quint8(x) & 15]);
            }
            cambiada.push_back('\'');
            ver(j, int(std::min<size_t>(b.size(), anchoMaximo)));
            return cambiada;
        }
        case TipoCelda::Texto: {
            const std::string_view t = o_.bytes(j);
            // A text has no more characters than bytes: a short one cannot widen its column.
            const bool largo = t.size() >= size_t(anchoQueCuenta);
            if (!filas::esUtf8Valido(t)) {
                // What the grid shows of it; a leading byte order mark stays, as in any other text.
                QStringDecoder utf8(
                    QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
                QString texto = utf8(QByteArrayView(t.data(), qsizetype(t.size())));
                if (c_.m_ponerCero)
                    texto = ponerCero(texto);
                if (largo)
                    ver(j, int(std::min<qsizetype>(texto.size(), anchoMaximo)));
                cambiada = texto.toStdString();
                return cambiada;
            }
            if (largo)
                ver(j, int(std::min<qsizetype>(filas::longitudUtf16(t), anchoMaximo)));
            if (c_.m_ponerCero && faltaCero(t)) {
                cambiada.assign(1, '0');
                cambiada.append(t);
                return cambiada;
            }
            return t;
        }
        case TipoCelda::Entero:
        case TipoCelda::Real: break;
        }
        return {};
    }

private:
    void ver(int j, int ancho) const
    {
        int& visto = c_.m_vistos[size_t(j)];
        if (ancho >= anchoQueCuenta && ancho > visto)
            visto = ancho;
    }
    CopiaFilas& c_;
    const filas::FuenteFila& o_;
    qint64 numero_;
};

CopiaFilas::CopiaFilas(filas::AlmacenFilas& destino, int columnas, bool ponerCero)
    : m_destino(destino)
    , m_ponerCero(ponerCero)
    , m_cambiadas(size_t(columnas))
    , m_vistos(size_t(columnas), 0)
{
}

QString CopiaFilas::ponerCero(const QString& texto)
{
    if (texto.size() >= 2 && (texto[0] == u',' || texto[0] == u'.') && texto[1] >= u'0' && texto[1] <= u'9')
        return u'0' + texto;
    return texto;
}

void CopiaFilas::anadir(const filas::FuenteFila& fila, qint64 numero)
{
    m_destino.anadirFila(Fila(*this, fila, numero));
}
