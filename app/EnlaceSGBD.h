#pragma once

class ComandosSGBD;
class frmMain;
struct Module1;
struct Platform;

// Hands the main window's SGBD entries (connect, translate, disconnect) to the server commands,
// which show the connection state in the window's indicator and end the user's server state when
// the window closes. The commands become a child of the window.
ComandosSGBD* enlazarSGBD(frmMain& principal, Module1& estado, const Platform& plataforma);
