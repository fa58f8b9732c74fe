#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class ArbolCarpetas;
class MessageBoxes;
class QWidget;

// What a search shows as it goes; the file finder's window shows it in its lists.
struct AnfitrionBusqueda {
    std::function<void(const QString& carpeta)> mostrarCarpeta; // the folder being searched now
    std::function<void(const QString& ruta)> hallado;           // one more matching file
    std::function<void()> atenderEventos;                       // where a cancel gets seen
    QWidget* ventana = nullptr;                                 // owner of the messages
};

// Walks a folder tree depth first for the files matching some patterns: subfolders from the last to
// the first, a folder's own files after those of all its subfolders. Links to folders are not
// followed. A cancel, a full result list or a folder that cannot be read abandons the whole search;
// what was found stays found.
class BusquedaArchivos {
public:
    // As many paths as the result list holds.
    static constexpr int capacidadPorDefecto = 32767;

    BusquedaArchivos(const ArbolCarpetas& arbol, MessageBoxes& mensajes, AnfitrionBusqueda anfitrion,
        int capacidad = capacidadPorDefecto);

    // Searches carpeta and everything below it. True when the search was abandoned. The folder is
    // taken by value: the host may well keep the folder it shows in the very string passed in.
    bool buscar(QString carpeta, const QStringList& patrones);
    // Asks the running search to stop at the next folder it enters.
    void cancelar() { m_buscando = false; }
    bool buscando() const { return m_buscando; }
    // Forgets the paths found, so that the next search starts counting from zero.
    void limpiar();
    int hallados() const { return m_hallados; }

private:
    bool SearchDirectory(const QString& carpeta);
    bool abandonar(const QString& texto);

    const ArbolCarpetas& m_arbol;
    MessageBoxes& m_mensajes;
    AnfitrionBusqueda m_anfitrion;
    int m_capacidad;
    QStringList m_patrones;
    bool m_buscando = false;
    int m_hallados = 0;
};
