#pragma once

#include <QString>

#include <array>

class InstanciaTabla;
namespace rejilla {
class Rejilla;
}

// The seven wonders of the ancient world, as a table in the result window.
namespace Maravillas {

struct Maravilla {
    QString nombre;
    QString lugar;
    QString autor;
    QString fecha;
    QString descripcion;
    QString historia;
};

const std::array<Maravilla, 7>& lista();

// Who drew up the list, and when.
inline const QString compilador = QStringLiteral("Filón de Bizancio");
inline const QString siglo = QStringLiteral("Siglo III a.C.");

// Lays the grid out as the wonders' table (seven columns, a header and one row per wonder) and fills it.
void llenar(rejilla::Rejilla& grid);

// Fills the result window (loaded if need be) with the table and shows it modally. A window already on
// screen with a query's rows cannot become modal: it gets the table and is brought to the front.
void Nimbo_Click(InstanciaTabla& tabla);

} // namespace Maravillas
