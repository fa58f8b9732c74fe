#pragma once

#include <QStringList>

#include <memory>

class frmMain;
struct Module1;
struct Platform;

// The start-up sequence up to the event loop: the program-wide start values, the main window shown
// with the stored settings applied, and the query file named first on the command line opened.
// argumentos are the program's arguments without the program name.
std::unique_ptr<frmMain> Arrancar(Module1& estado, const Platform& plataforma, const QStringList& argumentos);

// The program's entry.
int Main(int argc, char* argv[]);
