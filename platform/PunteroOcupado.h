#pragma once

#include <QCursor>
#include <QGuiApplication>

// The busy mouse pointer for as long as it lives: the hourglass while the server works or a file is
// read or written, the arrow with hourglass while rows are copied. Restored on every way out.
class PunteroOcupado {
public:
    explicit PunteroOcupado(Qt::CursorShape forma = Qt::WaitCursor) { QGuiApplication::setOverrideCursor(forma); }
    ~PunteroOcupado() { QGuiApplication::restoreOverrideCursor(); }
    PunteroOcupado(const PunteroOcupado&) = delete;
    PunteroOcupado& operator=(const PunteroOcupado&) = delete;
};
