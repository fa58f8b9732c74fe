#pragma once

// The screen's mouse pointer while a query runs: one setting for the whole program, changed in place
// rather than stacked, so that whoever sets the default pointer last ends the busy state whatever
// was set before.
namespace PunteroPantalla {

enum Forma {
    Normal = 0,      // the default pointer
    Reloj = 11,      // the hourglass: the server works
    FlechaReloj = 13 // the arrow with hourglass: rows are copied, the cancel button can be pressed
};

void poner(Forma forma);
Forma actual();

} // namespace PunteroPantalla
