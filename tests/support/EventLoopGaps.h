#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <vector>

namespace taskwick::testing {

// Measures how long the event loop stalls: a timer ticks every millisecond while this object
// lives and the loop runs, and each gap between two ticks is kept in milliseconds.
class EventLoopGaps {
public:
    EventLoopGaps() {
        clock_.start();
        last_ = clock_.nsecsElapsed();
        tick_.setInterval(1);
        QObject::connect(&tick_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            gaps_.push_back(double(now - last_) / 1e6);
            last_ = now;
        });
        tick_.start();
    }

    const std::vector<double>& gapsMs() const { return gaps_; }
    double worstMs() const {
        double worst = 0;
        for (const double gap : gaps_) {
            worst = gap > worst ? gap : worst;
        }
        return worst;
    }

private:
    QElapsedTimer clock_;
    qint64 last_ = 0;
    QTimer tick_;
    std::vector<double> gaps_;
};

}  // namespace taskwick::testing
