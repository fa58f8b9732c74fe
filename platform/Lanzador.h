#pragma once

#include <QString>
#include <QStringList>

// Starts another program beside this one: by bare name (found on the search path) or by full path,
// detached, in a normal window. The client neither waits for it nor keeps a link to it.
class Lanzador {
public:
    virtual ~Lanzador() = default;
    // Whether the program started.
    virtual bool iniciar(const QString& programa, const QStringList& argumentos = {}) = 0;
};

class QtLanzador final : public Lanzador {
public:
    bool iniciar(const QString& programa, const QStringList& argumentos = {}) override;
};
