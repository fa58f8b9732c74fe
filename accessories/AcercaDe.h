#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Lanzador;
class MessageBoxes;
class QWidget;

// The two programs the About box starts: the system's information tool and a text editor with the
// read-me file. Each is tried by the names given, in order; the user is told when none starts.
namespace AcercaDe {

inline const QString ficheroLeeme = QStringLiteral("Leeme.TXT");

// A program and the arguments it always takes.
struct Orden {
    QString programa;
    QStringList argumentos;
};

// Programs that show the system's information on a Linux desktop, tried in this order.
QStringList programasInfoSistema();

// Starts the first of the programs that starts. When none does, shows "La información del sistema no
// está disponible en este momento" and returns false.
bool StartSysInfo(Lanzador& programas, MessageBoxes& mensajes, const QStringList& candidatos,
    QWidget* propietario = nullptr);

// Opens the read-me file of the program's folder with the first of the editors that starts. When none
// does, tells the user and returns false; the caller then disables the Bloc de notas entry.
bool AbrirLeeme(Lanzador& programas, MessageBoxes& mensajes, const QList<Orden>& editores,
    const QString& carpetaPrograma, QWidget* propietario = nullptr);

} // namespace AcercaDe
