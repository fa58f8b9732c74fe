#pragma once

#include "GradosDifusos.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How fuzzy values travel as text: numbers in their shortest exact decimal form, label tables handed
// to the SQL functions as one constant argument, and the text a type-2 value is shown as.
namespace nieb {

// Shortest decimal that reads back as the same double: 25, 8.5, -0.25, 0.000001; an exponent only
// where plain digits would run long (1e23, 1.5e-7). "inf", "-inf" and "nan" for the others, which the
// translator never writes into SQL.
std::string numeroExacto(double x);

struct EtiquetaCodificada {
    std::int64_t id = 0;
    std::string nombre;
    Trapecio t{};
};

// "id|name|a|b|c|d;..." and back, the name in hexadecimal digits so that any bytes can be a label.
// Malformed parts are skipped.
std::string codificarEtiquetas(const std::vector<EtiquetaCodificada>& etiquetas);
std::vector<EtiquetaCodificada> decodificarEtiquetas(std::string_view texto);

// "label1|label2|degree;..." for a type-3 similarity relation, labels in hexadecimal as above.
struct Semejanza {
    std::string a, b;
    double grado = 0;
};
std::string codificarSemejanzas(const std::vector<Semejanza>& semejanzas);
std::vector<Semejanza> decodificarSemejanzas(std::string_view texto);

// The text of a stored type-2 value: 25, $Joven, [20,30], #25, $[20,25,30,35], UNKNOWN, UNDEFINED; nullopt
// for NULL. A kind or label id that cannot be read gives nullopt too.
std::optional<std::string> textoTipo2(const FilaTipo2& fila, const std::vector<EtiquetaCodificada>& etiquetas);

} // namespace nieb
