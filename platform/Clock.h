#pragma once

#include <QDateTime>

// The wall clock: the date and time panels, and durations measured as differences of two readings
// of the seconds since local midnight.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime ahora() const = 0;

    // Seconds since local midnight, with millisecond resolution.
    double segundosDesdeMedianoche() const { return ahora().time().msecsSinceStartOfDay() / 1000.0; }
};

class SystemClock final : public Clock {
public:
    QDateTime ahora() const override { return QDateTime::currentDateTime(); }
};
