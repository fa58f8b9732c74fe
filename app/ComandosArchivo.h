#pragma once

#include "Dialogos.h"
#include "Module1.h"
#include "Platform.h"

class DocumentoConsulta;
class EditorConsulta;
class QWidget;

// The commands of the Archivo menu on the query document: new, open, save, save as, print and
// printer set-up, and the save question asked before an edited query is dropped. An edited query
// is never dropped without that question, named or not, and a failed save keeps it marked edited.
class ComandosArchivo {
public:
    static inline const QString filtroConsultas = QStringLiteral(
        "Todos los archivos (*.*)|*.*|Ficheros de consulta (*.?ql)|*.?ql|"
        "Ficheros de consulta NIEB (*.vql)|*.vql|Ficheros de consulta SQL (*.sql)|*.sql");

    ComandosArchivo(Module1& estado, const Platform& plataforma, DocumentoConsulta& documento,
        EditorConsulta* editor, QWidget* ventana);

    // Asks whether to save an edited query. Hecho to go on (saved, or not wanted); NoHecho when the
    // user cancelled, or the save was cancelled or failed.
    Resultado PreguntarSalvar();

    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    // Hecho when the text was written.
    Resultado mnuFileSave_Click();
    Resultado mnuFileSaveAs_Click();
    void mnuFilePrint_Click();
    void mnuConfigPrinter_Click();

    // The open/save dialog's settings, kept between uses of either.
    const OpcionesFichero& dialogoFichero() const { return m_dialogo; }

private:
    Resultado escribir(const QString& ruta);
    void recordar(const EleccionFichero& eleccion);

    Module1& m_estado;
    Platform m_plataforma;
    DocumentoConsulta& m_documento;
    EditorConsulta* m_editor;
    QWidget* m_ventana;
    OpcionesFichero m_dialogo;
};
