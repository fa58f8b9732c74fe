#include "Ejecucion.h"

#include "MaxFilas.h"
#include "Module1.h"

#include <QWidget>

using namespace Qt::StringLiterals;

Ejecucion::Ejecucion(Module1& estado, const Platform& plataforma, QWidget* principal)
    : QObject(principal)
    , m_estado(estado)
    , m_plataforma(plataforma)
    , m_principal(principal)
{
    setObjectName(u"Ejecucion"_s);
}

void Ejecucion::mnuMaxFilas()
{
    MaxFilas dialogo(m_estado, m_plataforma, m_principal);
    dialogo.exec();
}
