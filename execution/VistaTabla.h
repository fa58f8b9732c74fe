#pragma once

#include "AlmacenFilas.h"
#include "Recuperacion.h"

#include <QPointer>

#include <functional>

class InstanciaTabla;
class Peonza;
class QWidget;
class Tabla;

// A retrieval shown in the result window and the busy window.
class VistaTabla final : public VistaRecuperacion {
public:
    // errorServidor shows the server error dialog for a failure of the database library.
    VistaTabla(Module1& estado, InstanciaTabla& tabla, QWidget* principal,
        std::function<void(int codigo, const QString& texto)> errorServidor);
    ~VistaTabla() override;

    void deshabilitarOpcionesTabla() override;
    void habilitarOpcionesTabla() override;
    void ponerNumTuplas(const QString& texto) override;
    void ponerNumColumnas(const QString& texto) override;
    void ponerColumnas(int columnas) override;
    void ponerFilas(qint64 filas) override;
    void ponerFijas(int filas, int columnas) override;
    void ponerCabecera(int columna, const QString& texto, int anchoTwips, int alineacionFija) override;
    void ponerAncho(int columna, int anchoTwips) override;
    filas::AlmacenFilas& lote() override;
    void publicar() override;
    void mostrarPeonza() override;
    void peonzaEncima(bool encima) override;
    void descargarPeonza() override;
    void ponerContaRecu(const QString& texto) override;
    void ponerNumFilas(const QString& texto) override;
    void ponerProgreso(qint64 valor, qint64 maximo) override;
    void trasCancelar() override;
    void puntero(PunteroPantalla::Forma forma) override;
    void procesarEventos() override;
    void mostrarErrorServidor(int codigo, const QString& texto) override;

private:
    // The result window being filled; null once the user has closed it.
    Tabla* tabla() const;
    Peonza* peonza() const;

    Module1& m_estado;
    InstanciaTabla& m_instancia;
    QWidget* m_principal;
    std::function<void(int, const QString&)> m_errorServidor;
    QPointer<Tabla> m_tabla;
    QPointer<Peonza> m_peonza;
    filas::AlmacenFilas m_descarte; // rows for a window that is gone
};
