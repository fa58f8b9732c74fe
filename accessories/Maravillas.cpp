#include "Maravillas.h"

#include "PunteroOcupado.h"
#include "Rejilla.h"
#include "Tabla.h"

#include <QAction>
#include <QLabel>

using namespace Qt::StringLiterals;

namespace Maravillas {

namespace {

struct Columna {
    QString cabecera;
    int ancho; // twips
};

const std::array<Columna, 7> columnas = {{
    {u"Nº Fila"_s, 550},
    {u"Maravilla del Mundo Antiguo"_s, 2700},
    {u"Lugar donde está o estaba"_s, 2200},
    {u"Autor"_s, 2600},
    {u"Fecha de realización aproximada"_s, 4600},
    {u"Descripción"_s, 5800},
    {u"Historia"_s, 8000},
}};

// Left-bottom, for the row-number header.
constexpr int IzquierdaAbajo = 2;

} // namespace

const std::array<Maravilla, 7>& lista()
{
    static const std::array<Maravilla, 7> maravillas = {{
        {u"La Gran Pirámide de Guiza"_s, u"Guiza, junto a El Cairo (Egipto)"_s,
            u"El faraón Keops (Jufu), de la IV dinastía; la tradición atribuye la obra a su visir Hemiunu"_s,
            u"Hacia el 2560 a.C., tras unos veinte años de obras"_s,
            u"Tumba del faraón: una pirámide de base cuadrada de 230 m de lado y 146 m de altura, hecha con más de "
            "dos millones de bloques de piedra caliza y granito."_s,
            u"Fue la construcción más alta del mundo durante más de 3.800 años. Perdió su revestimiento de caliza "
            "blanca, aprovechado en la Edad Media para construir en El Cairo. Es la más antigua de las siete y la "
            "única que sigue en pie."_s},
        {u"Los Jardines Colgantes de Babilonia"_s, u"Babilonia, a orillas del Éufrates (cerca de Al Hilla, Irak)"_s,
            u"Nabucodonosor II, según la tradición para su esposa Amitis de Media"_s,
            u"Hacia el 600 a.C."_s,
            u"Terrazas de ladrillo escalonadas, cubiertas de árboles y plantas, que se regaban con agua subida del "
            "río por ingenios hidráulicos."_s,
            u"Sólo los describen autores griegos y romanos posteriores; ningún texto babilonio los nombra y no se "
            "han hallado restos seguros. Hay quien cree que estaban en Nínive, o que nunca existieron."_s},
        {u"El Templo de Artemisa en Éfeso"_s, u"Éfeso, junto a la actual Selçuk (Turquía)"_s,
            u"Los arquitectos Quersifrón y su hijo Metágenes, con el dinero del rey Creso de Lidia"_s,
            u"Hacia el 550 a.C.; reconstruido después del 356 a.C."_s,
            u"Templo de mármol de unos 115 m de largo y 55 m de ancho, con más de cien columnas jónicas de casi "
            "18 m de altura."_s,
            u"Eróstrato lo incendió en el 356 a.C. para que su nombre fuera recordado. Reconstruido, lo saquearon "
            "los godos en el 262 d.C. y acabó abandonado y desmontado. Hoy sólo queda en pie una columna rehecha."_s},
        {u"La Estatua de Zeus en Olimpia"_s, u"Santuario de Olimpia (Grecia)"_s, u"El escultor ateniense Fidias"_s,
            u"Hacia el 435 a.C."_s,
            u"Zeus sentado en su trono, de unos 12 m de altura, de marfil y oro sobre un armazón de madera, dentro "
            "del templo de Zeus."_s,
            u"En Olimpia se ha encontrado el taller de Fidias. La estatua se perdió en el siglo V d.C.: según unos, "
            "ardió en Constantinopla, adonde se había llevado; según otros, con el templo de Olimpia."_s},
        {u"El Mausoleo de Halicarnaso"_s, u"Halicarnaso, la actual Bodrum (Turquía)"_s,
            u"Artemisia II, para su esposo Mausolo; arquitectos Sátiro y Piteo"_s, u"Hacia el 350 a.C."_s,
            u"Tumba de unos 45 m de altura: un alto basamento, un cuerpo de columnas jónicas y una pirámide "
            "escalonada coronada por una cuadriga de mármol."_s,
            u"De él viene la palabra «mausoleo». Los terremotos lo arruinaron en la Edad Media y los caballeros de "
            "San Juan usaron sus piedras en el castillo de Bodrum. Parte de sus esculturas está en el Museo "
            "Británico."_s},
        {u"El Coloso de Rodas"_s, u"La ciudad de Rodas, junto a su puerto (Grecia)"_s, u"El escultor Cares de Lindos"_s,
            u"Entre el 292 y el 280 a.C."_s,
            u"Estatua de bronce del dios Helios, de unos 33 m de altura, pagada con la venta de las máquinas de "
            "asedio que Demetrio Poliorcetes abandonó."_s,
            u"Un terremoto la derribó hacia el 226 a.C. Sus restos quedaron en el suelo más de 800 años, hasta que "
            "en el 653 d.C. se vendieron como chatarra. Casi seguro que no se alzaba a horcajadas sobre la entrada "
            "del puerto."_s},
        {u"El Faro de Alejandría"_s, u"Isla de Faros, frente al puerto de Alejandría (Egipto)"_s,
            u"Sóstrato de Cnido, por encargo de Ptolomeo I; se terminó bajo Ptolomeo II"_s, u"Hacia el 280 a.C."_s,
            u"Torre de piedra de más de 100 m de altura en tres cuerpos, cuadrado, octogonal y cilíndrico, con un "
            "fuego en lo alto que guiaba a los barcos de noche; según los autores antiguos, su luz se veía a muchas "
            "millas."_s,
            u"Su nombre dio la palabra «faro» en muchas lenguas. Durante siglos fue uno de los edificios más altos "
            "del mundo. Los terremotos de los siglos X al XIV lo dañaron hasta dejarlo en ruinas, y en 1480 el "
            "sultán Qaitbey levantó con sus piedras una fortaleza en el mismo lugar, que aún existe. En 1994 unos "
            "arqueólogos submarinos hallaron bloques y estatuas suyos en el fondo del puerto."_s},
    }};
    return maravillas;
}

void llenar(rejilla::Rejilla& grid)
{
    grid.setWordWrap(true);
    grid.setCols(int(columnas.size()));
    grid.setRows(qint64(lista().size()) + 1);
    grid.setFixedRows(1);
    grid.setFixedCols(1);

    // The last wonder has the most to tell.
    grid.setRowHeight(1, 3 * grid.rowHeight(0));
    for (int fila = 2; fila <= 6; ++fila)
        grid.setRowHeight(fila, grid.rowHeight(1));
    grid.setRowHeight(7, 3 * grid.rowHeight(1));

    for (int c = 0; c < int(columnas.size()); ++c) {
        grid.setTextMatrix(0, c, columnas[c].cabecera);
        grid.setColWidth(c, columnas[c].ancho);
    }
    grid.setFixedAlignment(0, IzquierdaAbajo);

    for (int i = 0; i < int(lista().size()); ++i) {
        const Maravilla& m = lista()[i];
        const int fila = i + 1;
        grid.setTextMatrix(fila, 0, QString::number(fila));
        grid.setTextMatrix(fila, 1, m.nombre);
        grid.setTextMatrix(fila, 2, m.lugar);
        grid.setTextMatrix(fila, 3, m.autor);
        grid.setTextMatrix(fila, 4, m.fecha);
        grid.setTextMatrix(fila, 5, m.descripcion);
        grid.setTextMatrix(fila, 6, m.historia);
    }
}

void Nimbo_Click(InstanciaTabla& tabla)
{
    Tabla* cargada = nullptr;
    {
        PunteroOcupado ocupado;
        cargada = &tabla.ventana();
        cargada->entradaMenu(u"mnuWordWrap"_s)->setChecked(true);
        llenar(*cargada->Grid1());
    }
    Tabla& ventana = *cargada;

    const auto etiqueta = [&ventana](const char* nombre, const QString& texto) {
        ventana.findChild<QLabel*>(QString::fromLatin1(nombre))->setText(texto);
    };
    etiqueta("Label3", u"Elegidas por :"_s);
    etiqueta("NumColumnas", compilador);
    etiqueta("Label1", u"Fecha              :"_s);
    etiqueta("NumTuplas", siglo);
    etiqueta("TiempoConsulta", {});
    etiqueta("TiempoTraducir", {});

    ventana.setWindowTitle(u"Las Siete Maravillas del Mundo Antiguo"_s);
    if (ventana.isVisible()) {
        ventana.raise();
        ventana.activateWindow();
        return;
    }
    // Modal without a nested event loop: the caller's own modal loop (the About box's) keeps running,
    // and nothing under the table answers until it is closed (which unloads it).
    ventana.setWindowModality(Qt::ApplicationModal);
    ventana.show();
}

} // namespace Maravillas
