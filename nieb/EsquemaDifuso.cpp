#include "EsquemaDifuso.h"

#include "ValoresTexto.h"

#include <algorithm>
#include <cctype>

namespace nieb {

const Tabla* EsquemaDifuso::tabla(std::string_view nombre)
{
    const std::string clave = mayusculas(nombre);
    if (const auto it = tablas_.find(clave); it != tablas_.end())
        return it->second.get();
    if (!nombres_)
        nombres_ = conexion_.consultables();
    const auto real = std::ranges::find_if(*nombres_, [&](const std::string& t) { return mismoNombre(t, nombre); });
    if (real == nombres_->end()) {
        tablas_[clave] = nullptr;
        return nullptr;
    }
    auto t = std::make_unique<Tabla>();
    t->nombre = *real;
    t->columnas = conexion_.columnas(*real);
    std::int64_t obj = catalogo_.numeroTabla(propietario_, *real);
    if (obj == 0 && !sincronizado_) { // a table made since the numbers were last brought up to date
        catalogo_.sincronizarTablas();
        sincronizado_ = true;
        obj = catalogo_.numeroTabla(propietario_, *real);
    }
    for (const auto& difuso : obj ? catalogo_.atributos(obj) : std::vector<AtributoDifuso>{}) {
        if (difuso.columna < 1 || static_cast<size_t>(difuso.columna) > t->columnas.size())
            continue;
        Atributo a;
        a.difuso = difuso;
        const std::string& columna = t->columnas[static_cast<size_t>(difuso.columna - 1)];
        if (difuso.tipo == 2) {
            if (columna.size() < 2 || std::toupper(static_cast<unsigned char>(columna.back())) != 'T')
                continue;
            a.nombre = columna.substr(0, columna.size() - 1);
            a.xt = columna;
            a.x1 = a.nombre + '1';
            a.x2 = a.nombre + '2';
            a.x3 = a.nombre + '3';
            a.x4 = a.nombre + '4';
        } else {
            a.nombre = columna;
            a.x = columna;
        }
        if (difuso.tipo == 3) {
            std::vector<Semejanza> semejanzas;
            for (const auto& f : conexion_.consultar(R"(SELECT LABEL_1, LABEL_2, DEGREE FROM LOCT3
                        WHERE "OBJ#" = ?1 AND "COL#" = ?2)",
                     {difuso.tabla, difuso.columna})) {
                semejanzas.push_back({comoTexto(f[0]), comoTexto(f[1]), comoReal(f[2])});
                a.etiquetas3.insert(etiquetaEnMayusculas(comoTexto(f[0])));
                a.etiquetas3.insert(etiquetaEnMayusculas(comoTexto(f[1])));
            }
            a.semejanzasSql = codificarSemejanzas(semejanzas);
        } else {
            a.etiquetas = catalogo_.etiquetas(difuso.tabla, difuso.columna);
            std::vector<EtiquetaCodificada> codificadas;
            for (const auto& e : a.etiquetas)
                codificadas.push_back({e.id, e.nombre, {e.alfa, e.beta, e.gamma, e.delta}});
            a.etiquetasSql = codificarEtiquetas(codificadas);
        }
        t->atributos.push_back(std::move(a));
    }
    return (tablas_[clave] = std::move(t)).get();
}

} // namespace nieb
