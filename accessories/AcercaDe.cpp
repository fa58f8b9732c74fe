#include "AcercaDe.h"

#include "Lanzador.h"
#include "MessageBoxes.h"

#include <QDir>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace AcercaDe {

QStringList programasInfoSistema()
{
    return {u"hardinfo"_s, u"gnome-system-monitor"_s, u"kinfocenter"_s};
}

bool StartSysInfo(Lanzador& programas, MessageBoxes& mensajes, const QStringList& candidatos, QWidget* propietario)
{
    if (std::any_of(candidatos.cbegin(), candidatos.cend(), [&](const QString& p) { return programas.iniciar(p); }))
        return true;
    mensajes.mostrar(Mensaje::aviso(u"Nimbo"_s, u"La información del sistema no está disponible en este momento"_s,
                         Mensaje::Icono::Ninguno),
        propietario);
    return false;
}

bool AbrirLeeme(Lanzador& programas, MessageBoxes& mensajes, const QList<Orden>& editores,
    const QString& carpetaPrograma, QWidget* propietario)
{
    const QString leeme = QDir(carpetaPrograma).filePath(ficheroLeeme);
    if (std::any_of(editores.cbegin(), editores.cend(),
            [&](const Orden& e) { return programas.iniciar(e.programa, e.argumentos + QStringList{leeme}); }))
        return true;
    mensajes.mostrar(Mensaje::aviso(u"Nimbo"_s,
                         u"No he podido ejecutar el editor Bloc de notas con el fichero Leeme.TXT de Nimbo."_s,
                         Mensaje::Icono::Ninguno),
        propietario);
    return false;
}

} // namespace AcercaDe
