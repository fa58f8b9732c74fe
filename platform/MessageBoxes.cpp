#include "MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

Mensaje Mensaje::aviso(const QString& titulo, const QString& texto, Icono icono)
{
    return {titulo, texto, icono, Botones::Aceptar, Respuesta::Aceptar};
}

Mensaje Mensaje::preguntaSiNo(const QString& titulo, const QString& texto)
{
    return {titulo, texto, Icono::Pregunta, Botones::SiNo, Respuesta::No};
}

Mensaje Mensaje::preguntaSiNoCancelar(const QString& titulo, const QString& texto)
{
    return {titulo, texto, Icono::Pregunta, Botones::SiNoCancelar, Respuesta::Cancelar};
}

namespace {

QMessageBox::Icon iconoQt(Mensaje::Icono icono)
{
    switch (icono) {
    case Mensaje::Icono::Critico: return QMessageBox::Critical;
    case Mensaje::Icono::Pregunta: return QMessageBox::Question;
    case Mensaje::Icono::Informacion: return QMessageBox::Information;
    case Mensaje::Icono::Ninguno: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

Respuesta QtMessageBoxes::mostrar(const Mensaje& mensaje, QWidget* propietario)
{
    QMessageBox caja(propietario ? propietario : QApplication::activeWindow());
    caja.setWindowTitle(mensaje.titulo);
    caja.setIcon(iconoQt(mensaje.icono));
    caja.setTextFormat(Qt::PlainText);
    QString texto = mensaje.texto;
    caja.setText(texto.replace(u'\r', u'\n'));

    struct Boton {
        Respuesta respuesta;
        QString texto;
        QMessageBox::ButtonRole rol;
    };
    QList<Boton> botones;
    switch (mensaje.botones) {
    case Mensaje::Botones::Aceptar: botones = {{Respuesta::Aceptar, u"Aceptar"_s, QMessageBox::AcceptRole}}; break;
    case Mensaje::Botones::SiNo:
        botones = {{Respuesta::Si, u"&Sí"_s, QMessageBox::YesRole}, {Respuesta::No, u"&No"_s, QMessageBox::NoRole}};
        break;
    case Mensaje::Botones::SiNoCancelar:
        botones = {{Respuesta::Si, u"&Sí"_s, QMessageBox::YesRole}, {Respuesta::No, u"&No"_s, QMessageBox::NoRole},
            {Respuesta::Cancelar, u"Cancelar"_s, QMessageBox::RejectRole}};
        break;
    }
    QHash<QAbstractButton*, Respuesta> respuestas;
    for (const Boton& boton : botones) {
        QAbstractButton* b = caja.addButton(boton.texto, boton.rol);
        respuestas.insert(b, boton.respuesta);
        if (boton.respuesta == mensaje.porDefecto)
            caja.setDefaultButton(qobject_cast<QPushButton*>(b));
    }
    // Escape answers the last button: No for yes/no, Cancelar for yes/no/cancel, as the desktop does.
    caja.setEscapeButton(respuestas.key(botones.constLast().respuesta));
    caja.exec();
    return respuestas.value(caja.clickedButton(), botones.constLast().respuesta);
}
