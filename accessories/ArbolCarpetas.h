#pragma once

#include <QString>
#include <QStringList>

// What the file finder reads from the file system: the subfolders of a folder and the files in it
// whose names match some patterns. Names come sorted; hidden entries (a leading dot) are left out.
class ArbolCarpetas {
public:
    // A folder's names, or the reason it could not be read (empty when it was).
    struct Listado {
        QStringList nombres;
        QString error;
    };

    virtual ~ArbolCarpetas() = default;
    // Links to folders are listed only with conLosEnlaces: a walk that followed them could loop.
    virtual Listado subcarpetas(const QString& carpeta, bool conLosEnlaces) const = 0;
    // Patterns use "?" and "*" and ignore case; no pattern lists every file.
    virtual Listado ficheros(const QString& carpeta, const QStringList& patrones) const = 0;
};

// The folders on this machine's disks.
class ArbolDisco final : public ArbolCarpetas {
public:
    Listado subcarpetas(const QString& carpeta, bool conLosEnlaces) const override;
    Listado ficheros(const QString& carpeta, const QStringList& patrones) const override;
};

// The patterns typed in a file-list pattern: separated by semicolons, blanks around them ignored.
QStringList patronesDe(const QString& texto);

// The full path of a name in a folder: one separator between them, also when the folder is the root.
QString rutaEn(const QString& carpeta, const QString& nombre);
