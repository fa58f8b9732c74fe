#include "Emisor.h"

#include "Lexico.h"

#include <cctype>

namespace nieb {

namespace {

bool caracterDePalabra(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#' || c == '"' || c == '\''
        || static_cast<unsigned char>(c) >= 0x80;
}

// Whether writing `siguiente` right after `anterior` would read as something else.
bool chocan(char anterior, char siguiente)
{
    return (anterior == '-' && siguiente == '-') || (anterior == '/' && siguiente == '*')
        || (anterior == '*' && siguiente == '/') || (caracterDePalabra(anterior) && caracterDePalabra(siguiente))
        || (anterior == '.' && std::isdigit(static_cast<unsigned char>(siguiente)))
        || (std::isdigit(static_cast<unsigned char>(anterior)) && siguiente == '.')
        || ((anterior == '<' || anterior == '>' || anterior == '!' || anterior == '=')
            && (siguiente == '=' || siguiente == '>'))
        || (anterior == '|' && siguiente == '|');
}

} // namespace

bool esFilaToken(std::string_view fila)
{
    return fila.size() == 1 && std::string_view(",.=;-+()/*><").find(fila[0]) != std::string_view::npos;
}

void Emisor::fila(std::string texto)
{
    if (texto.empty())
        return;
    if (filas_.empty()) {
        sql_ = texto;
        filas_.push_back(std::move(texto));
        return;
    }
    bool directo = pegar_ || esFilaToken(texto);
    if (directo && chocan(sql_.back(), texto.front()) && !(texto.size() == 1 && texto[0] == '.')) {
        texto.insert(texto.begin(), ' ');
        directo = pegar_;
    }
    if (directo) {
        sql_ += texto;
        pegar_ = !pegar_;
    } else {
        sql_ += ' ';
        sql_ += texto;
    }
    filas_.push_back(std::move(texto));
}

void Emisor::fragmento(std::string_view sql)
{
    for (const Token& t : tokenizar(sql)) {
        switch (t.tipo) {
        case TipoToken::Fin:
        case TipoToken::Espacio: break;
        case TipoToken::Comentario:
            if (t.texto.starts_with("--")) {
                // The rebuilt statement is one line: a line comment would swallow the rest of it.
                const auto cuerpo = t.texto.substr(2);
                if (cuerpo.find("*/") == std::string_view::npos)
                    fila("/*" + std::string(cuerpo) + " */");
            } else {
                fila(std::string(t.texto));
            }
            break;
        default: fila(std::string(t.texto)); break;
        }
    }
}

std::string reconstruir(const std::vector<std::string>& filas)
{
    std::string texto;
    bool pegar = false;
    for (size_t i = 0; i < filas.size(); ++i) {
        const std::string& s = filas[i];
        if (i == 0) {
            texto = s;
        } else if (pegar || esFilaToken(s)) {
            texto += s;
            pegar = !pegar;
        } else {
            texto += ' ';
            texto += s;
        }
    }
    return texto;
}

} // namespace nieb
