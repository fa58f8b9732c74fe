#pragma once

#include <QString>

#include <memory>

namespace db {
class OraDynaset;
}

namespace servidor {

// The translation errors of one query, browsed one at a time: the current error's number and text
// and which of the four moves are offered. No display: the error browser shows what it holds.
class NavegadorErrores {
public:
    struct Botones {
        bool primero = true;
        bool anterior = true;
        bool siguiente = true;
        bool ultimo = true;

        bool operator==(const Botones&) const = default;
    };

    // `filas` are the rows of NIEB_ERRORS (INDICE, MSG_ERROR) in order; `numErrores` the server's count.
    NavegadorErrores(int numErrores, std::unique_ptr<db::OraDynaset> filas);
    ~NavegadorErrores();

    int numErrores() const { return m_numErrores; }
    const QString& errorNum() const { return m_errorNum; }
    const QString& errorMsg() const { return m_errorMsg; }
    const Botones& botones() const { return m_botones; }

    // The moves. Each returns true when it ran into either end (the browser then beeps) and shows
    // the error it stands on afterwards.
    bool primero();
    bool ultimo();
    bool siguiente();
    bool anterior();

private:
    void mostrarErrorActual();

    int m_numErrores;
    std::unique_ptr<db::OraDynaset> m_filas;
    QString m_errorNum;
    QString m_errorMsg;
    Botones m_botones;
};

} // namespace servidor
