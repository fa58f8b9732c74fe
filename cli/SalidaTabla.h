#pragma once

#include "ExportarTabla.h"
#include "LectorFilas.h"

#include <QIODevice>

#include <functional>
#include <memory>
#include <string_view>

namespace cli {

// The formats nimbo-query writes rows in besides tab-separated text.
enum class FormatoTabla { Csv, Latex, Html };

// Writes a query's rows as they are stepped through one of the table writers, laid out as the
// result grid shows them: a header row headed "Nº Fila", each row with its number in front, NULL
// as "NULL". The files are the same as the result window's exports of that grid.
class SalidaTabla final : public db::LectorFilas {
public:
    using Escribir = std::function<void(std::string_view)>;
    SalidaTabla(FormatoTabla formato, const QString& titulo, Escribir escribir);
    ~SalidaTabla() override;

    void empezar(const QStringList& nombres) override;
    void fila(const filas::FuenteFila& fila) override;
    // Closes the table (also when no row came) and hands over what is left.
    void terminar();

private:
    // A device that hands every write to a function.
    class Dispositivo final : public QIODevice {
    public:
        explicit Dispositivo(Escribir escribir);
        qint64 readData(char*, qint64) override { return -1; }
        qint64 writeData(const char* datos, qint64 n) override;

    private:
        Escribir escribir_;
    };

    Dispositivo dispositivo_;
    std::unique_ptr<exportar::EscritorTabla> escritor_;
    bool empezada_ = false;
    qint64 numero_ = 0;
    std::vector<std::string> textos_;
    std::vector<std::string_view> celdas_;
};

} // namespace cli
