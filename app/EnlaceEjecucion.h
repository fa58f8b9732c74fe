#pragma once

class ComandosSGBD;
class Ejecucion;
class frmMain;
struct Module1;
struct Platform;

// Hands the main window's submission entries (F8, F9) and the row-limit entry to the execution
// commands, which reach the server through the SGBD commands. The commands become a child of the
// window.
Ejecucion* enlazarEjecucion(frmMain& principal, Module1& estado, const Platform& plataforma, ComandosSGBD& sgbd);
