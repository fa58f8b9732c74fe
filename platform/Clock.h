#pragma once

#include <QDateTime>
#include <QElapsedTimer>

// The clock: the wall time for the date and time panels, and a monotonic reading for durations.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime ahora() const = 0;

    // Seconds since local midnight, with millisecond resolution.
    double segundosDesdeMedianoche() const { return ahora().time().msecsSinceStartOfDay() / 1000.0; }

    // Seconds on a clock that never goes back, not even at midnight or when the date is set: the one
    // to measure durations with. Its zero means nothing.
    virtual double segundosMonotonos() const { return ahora().toMSecsSinceEpoch() / 1000.0; }
};

class SystemClock final : public Clock {
public:
    QDateTime ahora() const override { return QDateTime::currentDateTime(); }
    double segundosMonotonos() const override { return m_arranque.nsecsElapsed() / 1e9; }

private:
    QElapsedTimer m_arranque = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
};
