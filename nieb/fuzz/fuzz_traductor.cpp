// libFuzzer entry for the whole translation: lexer, parser, semantic checks against the demo catalogue
// and the emitted rows. Besides surviving any input under the sanitizers, a translation must rebuild,
// by the client's rule, into exactly the SQL it reports, without any two rows running together.
#include "BaseDemo.h"
#include "Emisor.h"
#include "Lexico.h"
#include "Traductor.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tamano)
{
    if (tamano > 4096)
        return -1;
    const std::string_view consulta(reinterpret_cast<const char*>(datos), tamano);
    auto& conexion = demo();
    const auto t = nieb::traducir(consulta, conexion);
    if (!t.errores.empty())
        return 0;
    if (nieb::reconstruir(t.filas) != t.sql)
        std::abort();
    // Read back as a whole, the statement must split into the same words as its rows one by one: no
    // two rows may run together into one word, a comment or another operator.
    std::vector<std::string_view> porFilas, enTodo;
    for (const auto& fila : t.filas)
        for (const auto& token : nieb::tokenizar(fila))
            if (!token.esTrivia() && token.tipo != nieb::TipoToken::Fin)
                porFilas.push_back(token.texto);
    for (const auto& token : nieb::tokenizar(t.sql))
        if (!token.esTrivia() && token.tipo != nieb::TipoToken::Fin)
            enTodo.push_back(token.texto);
    if (porFilas != enTodo)
        std::abort();
    return 0;
}
