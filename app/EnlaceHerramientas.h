#pragma once

class frmMain;
struct Platform;

// Hands the main window's Herramientas entries and its help entries (Contenido, Buscar Ayuda,
// Oracle: Mensajes y Códigos) to their commands. The application's help file is the one fixed when
// the program was built; the vendor's messages file is looked for beside the executable.
void enlazarHerramientas(frmMain& principal, const Platform& plataforma);
