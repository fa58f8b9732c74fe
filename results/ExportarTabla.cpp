#include "ExportarTabla.h"

#include <QIODevice>

namespace exportar {

namespace {

constexpr size_t TamanoBuffer = size_t(256) << 10;

// The next code point of UTF-8 text; a malformed byte stands for U+FFFD and is consumed alone.
char32_t siguienteCodigo(std::string_view s, size_t& i)
{
    const auto b0 = quint8(s[i]);
    int n = 0;
    char32_t c = 0;
    if (b0 < 0x80) {
        ++i;
        return b0;
    } else if ((b0 & 0xE0) == 0xC0) {
        n = 1;
        c = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        n = 2;
        c = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        n = 3;
        c = b0 & 0x07;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + size_t(n) >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k <= n; ++k) {
        const auto b = quint8(s[i + size_t(k)]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        c = (c << 6) | (b & 0x3F);
    }
    i += size_t(n) + 1;
    return c;
}

} // namespace

EscritorTabla::EscritorTabla(QIODevice& salida)
    : salida_(salida)
{
    buffer_.reserve(TamanoBuffer + 4096);
}

EscritorTabla::~EscritorTabla() = default;

bool EscritorTabla::vaciar()
{
    if (!error_.isEmpty()) {
        buffer_.clear();
        return false;
    }
    size_t hecho = 0;
    while (hecho < buffer_.size()) {
        const qint64 n = salida_.write(buffer_.data() + hecho, qint64(buffer_.size() - hecho));
        if (n <= 0) {
            error_ = salida_.errorString().isEmpty() ? QStringLiteral("No se pudo escribir") : salida_.errorString();
            buffer_.clear();
            return false;
        }
        hecho += size_t(n);
    }
    buffer_.clear();
    return true;
}

void EscritorTabla::vaciarSiLleno()
{
    if (buffer_.size() >= TamanoBuffer)
        vaciar();
}

void EscritorTabla::linea(std::string_view texto)
{
    buffer_.append(texto);
    finDeLinea();
}

void anadirLatex(std::string& destino, std::string_view texto)
{
    for (char c : texto) {
        switch (c) {
        case '&': case '%': case '$': case '#': case '_': case '{': case '}':
            destino.push_back('\\');
            destino.push_back(c);
            break;
        case '~': destino += "\\textasciitilde{}"; break;
        case '^': destino += "\\textasciicircum{}"; break;
        case '\\': destino += "\\textbackslash{}"; break;
        default: destino.push_back(c);
        }
    }
}

void anadirHtml(std::string& destino, std::string_view utf8)
{
    size_t i = 0;
    while (i < utf8.size()) {
        const char32_t c = siguienteCodigo(utf8, i);
        switch (c) {
        case '&': destino += "&amp;"; break;
        case '<': destino += "&lt;"; break;
        case '>': destino += "&gt;"; break;
        case '"': destino += "&quot;"; break;
        default:
            if (c < 0x80) {
                destino.push_back(char(c));
            } else {
                destino += "&#";
                destino += std::to_string(quint32(c));
                destino.push_back(';');
            }
        }
    }
}

void anadirCsv(std::string& destino, std::string_view texto)
{
    if (texto.find_first_of(",\"\r\n") == std::string_view::npos) {
        destino.append(texto);
        return;
    }
    destino.push_back('"');
    for (char c : texto) {
        if (c == '"')
            destino.push_back('"');
        destino.push_back(c);
    }
    destino.push_back('"');
}

void EscritorLatex::empezar(int columnas)
{
    buffer() += "\\begin{tabular}{|";
    buffer().append(size_t(std::max(0, columnas)), 'l');
    linea("|} \\hline");
}

void EscritorLatex::cabecera(const std::vector<std::string_view>& celdas)
{
    for (size_t j = 0; j < celdas.size(); ++j) {
        if (j > 0)
            buffer().push_back('&');
        anadirLatex(buffer(), celdas[j]);
    }
    linea("\\\\ \\hline\\hline");
}

void EscritorLatex::fila(const std::vector<std::string_view>& celdas)
{
    for (size_t j = 0; j < celdas.size(); ++j) {
        if (j > 0)
            buffer().push_back('&');
        anadirLatex(buffer(), celdas[j]);
    }
    linea("\\\\");
}

void EscritorLatex::terminar()
{
    linea("\\hline\\end{tabular}");
}

void EscritorHtml::empezar(int)
{
    linea("<!-- P\xc3\xa1gina Web generada autom\xc3\xa1ticamente por Nimbo (Nimbolia) -->");
    linea("<HTML>");
    buffer() += "<HEAD><TITLE>";
    const QByteArray titulo = titulo_.toUtf8();
    anadirHtml(buffer(), std::string_view(titulo.constData(), size_t(titulo.size())));
    linea("</TITLE></HEAD>");
    linea("<TABLE BORDER=4> <TR>");
}

void EscritorHtml::cabecera(const std::vector<std::string_view>& celdas)
{
    for (std::string_view c : celdas) {
        buffer() += "<TH>";
        anadirHtml(buffer(), c);
        finDeLinea();
    }
}

void EscritorHtml::fila(const std::vector<std::string_view>& celdas)
{
    linea("<TR>");
    for (std::string_view c : celdas) {
        buffer() += "<TD>";
        anadirHtml(buffer(), c);
        finDeLinea();
    }
}

void EscritorHtml::terminar()
{
    linea("</TABLE>");
    linea("</HTML>");
}

void EscritorCsv::fila(const std::vector<std::string_view>& celdas)
{
    for (size_t j = 0; j < celdas.size(); ++j) {
        if (j > 0)
            buffer().push_back(',');
        anadirCsv(buffer(), celdas[j]);
    }
    finDeLinea();
}

bool exportar(const FuenteTabla& tabla, EscritorTabla& escritor)
{
    const int n = tabla.columnas();
    std::vector<std::string> textos(size_t(std::max(0, n)));
    std::vector<std::string_view> celdas(textos.size());
    escritor.empezar(n);
    for (qint64 f = 0; f < tabla.filas() && escritor.correcto(); ++f) {
        for (int c = 0; c < n; ++c) {
            textos[size_t(c)].clear();
            tabla.anadirCelda(textos[size_t(c)], f, c);
            celdas[size_t(c)] = textos[size_t(c)];
        }
        if (f == 0)
            escritor.cabecera(celdas);
        else
            escritor.fila(celdas);
    }
    escritor.terminar();
    return escritor.vaciar();
}

} // namespace exportar
