#pragma once

#include "Platform.h"

#include <QObject>
#include <QString>

class EditorConsulta;
class QGroupBox;
struct Module1;

// The query in the editor as a document: its file name (Module1::FicheroActual) and the document
// label shown as the caption of the frame around the editor. The label is the file name, or
// "<sin nombre>" for an unnamed query, behind the prefix "» " once the text has been edited; the
// query counts as modified exactly when the label begins with "»".
class DocumentoConsulta : public QObject {
    Q_OBJECT
public:
    static inline const QString sinNombre = QStringLiteral("<sin nombre>");

    DocumentoConsulta(Module1& estado, const Platform& plataforma, EditorConsulta* editor, QGroupBox* marco,
        QObject* parent = nullptr);

    QString etiqueta() const { return m_etiqueta; }
    void setEtiqueta(const QString& etiqueta);
    bool modificado() const;
    // An edit of the text: the label gets its "» " (once).
    void marcarModificado();

    // Reads a query file into the editor, given its full path. The text read replaces the editor's
    // without counting as an edit; the file becomes the document's name only when it was read whole.
    void Leer_Fichero(const QString& NombreF);

private:
    Module1& m_estado;
    Platform m_plataforma;
    EditorConsulta* m_editor;
    QGroupBox* m_marco;
    QString m_etiqueta;
};
