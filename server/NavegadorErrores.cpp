#include "NavegadorErrores.h"

#include "OraDynaset.h"

using namespace Qt::StringLiterals;

namespace servidor {

NavegadorErrores::NavegadorErrores(int numErrores, std::unique_ptr<db::OraDynaset> filas)
    : m_numErrores(numErrores)
    , m_filas(std::move(filas))
{
    mostrarErrorActual();
}

NavegadorErrores::~NavegadorErrores() = default;

void NavegadorErrores::mostrarErrorActual()
{
    if (m_filas->Bof() || m_filas->Eof()) {
        // Off the rows: nothing to show, and the buttons stay as they were.
        m_errorNum.clear();
        m_errorMsg.clear();
        return;
    }
    const QVariant indice = m_filas->Fields()(u"indice"_s).Value();
    m_errorNum = indice.toString();
    m_errorMsg = m_filas->Fields()(u"msg_error"_s).Value().toString();
    const qint64 numero = indice.toLongLong();
    if (m_numErrores <= 1)
        m_botones = {false, false, false, false};
    else if (numero == 1)
        m_botones = {false, false, true, true};
    else if (numero == m_numErrores)
        m_botones = {true, true, false, false};
    else
        m_botones = {true, true, true, true};
}

bool NavegadorErrores::primero()
{
    bool pitar = false;
    m_filas->DbMoveFirst();
    if (m_filas->Bof()) {
        pitar = true;
        m_filas->DbMoveFirst();
    }
    mostrarErrorActual();
    return pitar;
}

bool NavegadorErrores::ultimo()
{
    bool pitar = false;
    m_filas->DbMoveLast();
    if (m_filas->Eof()) {
        pitar = true;
        m_filas->DbMoveLast();
    }
    mostrarErrorActual();
    return pitar;
}

bool NavegadorErrores::siguiente()
{
    bool pitar = false;
    if (!m_filas->Eof()) {
        m_filas->DbMoveNext();
        if (m_filas->Eof()) {
            pitar = true;
            m_filas->DbMoveLast();
        }
    }
    mostrarErrorActual();
    return pitar;
}

bool NavegadorErrores::anterior()
{
    bool pitar = false;
    if (!m_filas->Bof()) {
        m_filas->DbMovePrevious();
        if (m_filas->Bof()) {
            pitar = true;
            m_filas->DbMoveFirst();
        }
    }
    mostrarErrorActual();
    return pitar;
}

} // namespace servidor
