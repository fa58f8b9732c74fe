#pragma once

#include <QComboBox>
#include <QListWidget>

class ArbolCarpetas;

// The drive, folder and file lists of the file finder. A drive is a mounted volume, named by the
// folder where it is mounted.
class ListaUnidades : public QComboBox {
    Q_OBJECT
public:
    explicit ListaUnidades(QWidget* padre = nullptr);

    // The volume holding a path, by its mount folder.
    static QString unidadDe(const QString& ruta);
    QString unidad() const { return currentText(); }
    // Shows the given drive chosen, adding it when it is not listed; no change is signalled.
    void seleccionar(const QString& unidad);
};

// A folder and its neighbourhood: the folders above it, the folder itself (highlighted) and its
// subfolders. The highlight moves with the keys and the mouse; a double click opens the highlighted
// folder.
class ListaCarpetas : public QListWidget {
    Q_OBJECT
public:
    explicit ListaCarpetas(const ArbolCarpetas& arbol, QWidget* padre = nullptr);

    QString ruta() const { return m_ruta; }
    // Lists carpeta. When it cannot be read nothing changes and the reason is returned; empty otherwise.
    QString ponerRuta(const QString& carpeta);
    // How many subfolders are listed.
    int cuenta() const { return m_cuenta; }
    // The folder of the highlighted entry; the folder itself when nothing is highlighted.
    QString resaltada() const;

Q_SIGNALS:
    void cambiada();
    void focoPerdido();

protected:
    void focusOutEvent(QFocusEvent* evento) override;

private:
    const ArbolCarpetas& m_arbol;
    QString m_ruta;
    int m_cuenta = 0;
};

// The files of a folder whose names match a pattern ("?" and "*", several separated by semicolons).
class ListaFicheros : public QListWidget {
    Q_OBJECT
public:
    explicit ListaFicheros(const ArbolCarpetas& arbol, QWidget* padre = nullptr);

    QString ruta() const { return m_ruta; }
    QString patron() const { return m_patron; }
    void ponerRuta(const QString& carpeta);
    void ponerPatron(const QString& patron);

private:
    void releer();

    const ArbolCarpetas& m_arbol;
    QString m_ruta;
    QString m_patron;
};
