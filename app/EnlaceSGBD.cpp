#include "EnlaceSGBD.h"

#include "ComandosSGBD.h"
#include "EditorConsulta.h"
#include "frmMain.h"

using namespace Qt::StringLiterals;

ComandosSGBD* enlazarSGBD(frmMain& principal, Module1& estado, const Platform& plataforma)
{
    AnfitrionSGBD anfitrion;
    anfitrion.ventana = &principal;
    anfitrion.textoConsulta = [&principal] { return principal.Consulta->toPlainText(); };
    anfitrion.apariencia = [&principal] {
        // The appearance at the caret: one character selected to read it, then none.
        EditorConsulta* e = principal.Consulta;
        e->setSelLength(1);
        AparienciaTexto a;
        a.colorTexto = e->selColor();
        a.colorFondo = e->backColor();
        a.fuente = e->selFontName();
        a.tamano = e->selFontSize();
        a.negrita = e->selBold();
        a.cursiva = e->selItalic();
        a.tachado = e->selStrikethru();
        a.subrayado = e->selUnderline();
        e->setSelLength(0);
        return a;
    };
    anfitrion.indicador
        = [&principal](bool conectado, const QString& usuario) { principal.mostrarConexion(conectado, usuario); };

    auto* comandos = new ComandosSGBD(estado, plataforma, std::move(anfitrion), &principal);
    principal.registrarComando(u"mnuConnect"_s, [comandos] { comandos->mnuConnect_Click(); });
    principal.registrarComando(u"mnuTraducir"_s, [comandos] { comandos->mnuTraducir_Click(); });
    principal.registrarComando(u"mnuDesconectar"_s, [comandos] { comandos->mnuDesconectar_Click(); });
    principal.alDescargar([comandos] { comandos->Form_Unload(); });
    return comandos;
}
