#include "Paleta.h"

#include "EditorConsulta.h"

#include <QAction>
#include <QHash>
#include <QMenu>

using namespace Qt::StringLiterals;

namespace Paleta {

namespace {

Entrada submenu(const QString& nombre, const QString& padre, const QString& titulo)
{
    return {Entrada::Tipo::Submenu, nombre, padre, titulo, {}, 0, 0};
}
Entrada entrada(const QString& nombre, const QString& padre, const QString& titulo, const QString& texto)
{
    return {Entrada::Tipo::Texto, nombre, padre, titulo, texto, 0, 0};
}
Entrada plantilla(const QString& nombre, const QString& padre, const QString& titulo, const QString& texto,
    int retroceso, int seleccion)
{
    return {Entrada::Tipo::Texto, nombre, padre, titulo, texto, retroceso, seleccion};
}
Entrada separador(const QString& nombre, const QString& padre)
{
    return {Entrada::Tipo::Separador, nombre, padre, {}, {}, 0, 0};
}

} // namespace

const QList<Entrada>& entradas()
{
    // clang-format off
    static const QList<Entrada> tabla = {
        submenu(u"mnuOpLog"_s, u"mnuInsertar"_s, u"Operador &Lógico"_s),
        entrada(u"mnuNOT"_s, u"mnuOpLog"_s, u"&NOT"_s, u" NOT "_s),
        entrada(u"mnuAND"_s, u"mnuOpLog"_s, u"&AND"_s, u" AND "_s),
        entrada(u"mnuOR"_s, u"mnuOpLog"_s, u"&OR"_s, u" OR "_s),
        submenu(u"mnuSets"_s, u"mnuInsertar"_s, u"Operador de Conjuntos (&Sets)"_s),
        entrada(u"mnuInsUNION"_s, u"mnuSets"_s, u"Unión SIN duplicados    &UNION"_s, u" UNION "_s),
        entrada(u"mnuInsUNIONALL"_s, u"mnuSets"_s, u"Unión CON duplicados  UNION &ALL"_s, u" UNION ALL "_s),
        entrada(u"mnuInsINTERSECT"_s, u"mnuSets"_s, u"Intersección                   &INTERSECT"_s, u" INTERSECT "_s),
        entrada(u"mnuInsMINUS"_s, u"mnuSets"_s, u"Diferencia (Resta)          &MINUS"_s, u" MINUS "_s),
        submenu(u"mnuInsComparador"_s, u"mnuInsertar"_s, u"Comparador &Crisp, clásico"_s),
        entrada(u"mnuInsIgual"_s, u"mnuInsComparador"_s, u"&Igual                         ="_s, u"="_s),
        entrada(u"mnuInsDistinto"_s, u"mnuInsComparador"_s, u"&Distinto   !=, ^=, ¬=, <>"_s, u"<>"_s),
        entrada(u"mnuInsMayor"_s, u"mnuInsComparador"_s, u"&Mayor que                >"_s, u">"_s),
        entrada(u"mnuInsMayorI"_s, u"mnuInsComparador"_s, u"M&ayor o Igual que    >="_s, u">="_s),
        entrada(u"mnuInsMenor"_s, u"mnuInsComparador"_s, u"Meno&r que               <"_s, u"<"_s),
        entrada(u"mnuInsMenorI"_s, u"mnuInsComparador"_s, u"Menor o Ig&ual que   <="_s, u"<="_s),
        plantilla(u"mnuInsBetween"_s, u"mnuInsComparador"_s, u"&BETWEEN ?? AND ??"_s, u" BETWEEN ?? AND ?? "_s, 10, 2),
        plantilla(u"mnuInsNotBetween"_s, u"mnuInsComparador"_s, u"NOT BET&WEEN ?? AND ??"_s, u" NOT BETWEEN ?? AND ?? "_s, 10, 2),
        entrada(u"mnuInsIS"_s, u"mnuInsComparador"_s, u"I&S NULL"_s, u" IS NULL "_s),
        entrada(u"mnuInsISNOT"_s, u"mnuInsComparador"_s, u"IS N&OT NULL"_s, u" IS NOT NULL "_s),
        entrada(u"mnuInsIn"_s, u"mnuInsComparador"_s, u"I&N"_s, u" IN "_s),
        entrada(u"mnuInsNOTIN"_s, u"mnuInsComparador"_s, u"NO&T IN"_s, u" NOT IN "_s),
        entrada(u"mnuInsLIKE"_s, u"mnuInsComparador"_s, u"&LIKE"_s, u" LIKE "_s),
        entrada(u"mnuInsNotLike"_s, u"mnuInsComparador"_s, u"NOT LI&KE"_s, u" NOT LIKE "_s),
        plantilla(u"mnuInsExists"_s, u"mnuInsComparador"_s, u"&EXISTS"_s, u" EXISTS (sub-consulta)"_s, 13, 12),
        plantilla(u"mnuInsNOTExists"_s, u"mnuInsComparador"_s, u"NOT E&XISTS"_s, u" NOT EXISTS (sub-consulta)"_s, 13, 12),
        submenu(u"mnuInsCompFuzzy"_s, u"mnuInsertar"_s, u"Comparador &Difuso de NIEB"_s),
        entrada(u"mnuInsFEQ"_s, u"mnuInsCompFuzzy"_s, u"Posiblemente &Igual                            FEQ"_s, u" FEQ "_s),
        entrada(u"mnuInsFGT"_s, u"mnuInsCompFuzzy"_s, u"Posiblemente &Mayor que                   FGT"_s, u" FGT "_s),
        entrada(u"mnuInsFGEQ"_s, u"mnuInsCompFuzzy"_s, u"Posiblemente M&ayor o Igual que       FGEQ"_s, u" FGEQ "_s),
        entrada(u"mnuInsFLT"_s, u"mnuInsCompFuzzy"_s, u"&Posiblemente Menor que                   FLT"_s, u" FLT "_s),
        entrada(u"mnuInsFLEQ"_s, u"mnuInsCompFuzzy"_s, u"P&osiblemente Menor o Igual que       FLEQ"_s, u" FLEQ "_s),
        entrada(u"mnuInsMGT"_s, u"mnuInsCompFuzzy"_s, u"Posiblemente Mu&cho Mayor que       MGT"_s, u" MGT "_s),
        entrada(u"mnuInsMLT"_s, u"mnuInsCompFuzzy"_s, u"Posiblemente Muc&ho Menor que       MLT"_s, u" MLT "_s),
        separador(u"barrilla1"_s, u"mnuInsCompFuzzy"_s),
        entrada(u"mnuInsNFEQ"_s, u"mnuInsCompFuzzy"_s, u"Necesariamente I&gual                        NFEQ"_s, u" NFEQ "_s),
        entrada(u"mnuInsNFGT"_s, u"mnuInsCompFuzzy"_s, u"Necesariamente Ma&yor que               NFGT"_s, u" NFGT "_s),
        entrada(u"mnuInsNFGEQ"_s, u"mnuInsCompFuzzy"_s, u"Necesariamente Mayo&r o Igual que   NFGEQ"_s, u" NFGEQ "_s),
        entrada(u"mnuInsNFLT"_s, u"mnuInsCompFuzzy"_s, u"&Necesariamente Menor que               NFLT"_s, u" NFLT "_s),
        entrada(u"mnuInsNFLEQ"_s, u"mnuInsCompFuzzy"_s, u"N&ecesariamente Menor o Igual que   NFLEQ"_s, u" NFLEQ "_s),
        entrada(u"mnuInsNMGT"_s, u"mnuInsCompFuzzy"_s, u"Necesariamente Mucho Mayor &que   NMGT"_s, u" NMGT "_s),
        entrada(u"mnuInsNMLT"_s, u"mnuInsCompFuzzy"_s, u"Necesariamente Mucho Menor q&ue   NMLT"_s, u" NMLT "_s),
        separador(u"barrilla3"_s, u"mnuInsCompFuzzy"_s),
        submenu(u"mnuISF"_s, u"mnuInsCompFuzzy"_s, u"I&S"_s),
        entrada(u"mnuInsISUNK"_s, u"mnuISF"_s, u"IS UN&KNOWN"_s, u" IS UNKNOWN "_s),
        entrada(u"mnuInsISUND"_s, u"mnuISF"_s, u"IS &UNDEFINED"_s, u" IS UNDEFINED "_s),
        entrada(u"mnuInsISNULL"_s, u"mnuISF"_s, u"IS &NULL"_s, u" IS NULL "_s),
        submenu(u"mnuISNOTF"_s, u"mnuInsCompFuzzy"_s, u"IS NO&T"_s),
        entrada(u"mnuInsISNOTUNK"_s, u"mnuISNOTF"_s, u"IS NOT UN&KNOWN"_s, u" IS NOT UNKNOWN "_s),
        entrada(u"mnuInsISNOTUND"_s, u"mnuISNOTF"_s, u"IS NOT &UNDEFINED"_s, u" IS NOT UNDEFINED "_s),
        entrada(u"mnuInsISNOTNULL"_s, u"mnuISNOTF"_s, u"IS NOT &NULL"_s, u" IS NOT NULL "_s),
        submenu(u"mnuInsCte"_s, u"mnuInsertar"_s, u"Cons&tante Difusa"_s),
        entrada(u"mnuInsUNK"_s, u"mnuInsCte"_s, u"&Desconocido (aplicable)     UNKNOWN"_s, u" UNKNOWN "_s),
        entrada(u"mnuInsUND"_s, u"mnuInsCte"_s, u"&Indefinido (NO aplicable)    UNDEFINED"_s, u" UNDEFINED "_s),
        entrada(u"mnuInsNULL"_s, u"mnuInsCte"_s, u"&Nulo (ignorancia total)        NULL"_s, u" NULL "_s),
        separador(u"barrilla2"_s, u"mnuInsCte"_s),
        plantilla(u"mnuInsTrape"_s, u"mnuInsCte"_s, u"&Trapecio Difuso                  $[a,b,c,d]"_s, u" $[a,b,c,d] "_s, 9, 1),
        plantilla(u"mnuInsLabel"_s, u"mnuInsCte"_s, u"&Etiqueta Lingüística            $Label"_s, u" $Label "_s, 6, 5),
        plantilla(u"mnuInsInter"_s, u"mnuInsCte"_s, u"Inter&valo posibilístico           [n,m]"_s, u" [n,m] "_s, 5, 1),
        plantilla(u"mnuInsAprox"_s, u"mnuInsCte"_s, u"&Aproximadamente n             #n"_s, u" #n "_s, 2, 1),
    };
    // clang-format on
    return tabla;
}

void construirMenu(QMenu* insertar)
{
    QHash<QString, QMenu*> menus{{insertar->objectName(), insertar}};
    for (const Entrada& e : entradas()) {
        QMenu* padre = menus.value(e.padre, insertar);
        switch (e.tipo) {
        case Entrada::Tipo::Submenu: {
            QMenu* sub = padre->addMenu(e.titulo);
            sub->setObjectName(e.nombre);
            sub->menuAction()->setObjectName(e.nombre);
            menus.insert(e.nombre, sub);
            break;
        }
        case Entrada::Tipo::Separador: padre->addSeparator()->setObjectName(e.nombre); break;
        case Entrada::Tipo::Texto: padre->addAction(e.titulo)->setObjectName(e.nombre); break;
        }
    }
}

void insertar(EditorConsulta* editor, const Entrada& entrada)
{
    editor->setSelText(entrada.texto);
    if (entrada.seleccion > 0) {
        editor->setSelStart(editor->selStart() - entrada.retroceso);
        editor->setSelLength(entrada.seleccion);
    }
}

} // namespace Paleta
