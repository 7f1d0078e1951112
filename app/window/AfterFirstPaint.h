#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class QWidget;

namespace taskwick {

// Runs some work once, right after a window's first paint, so that the paint is not kept
// waiting for it. When no paint comes within the patience (a window that starts hidden has
// none), the work runs then.
class AfterFirstPaint : public QObject {
public:
    AfterFirstPaint(QWidget* window, int patienceMs, std::function<void()> work);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void run();

    QWidget* window_;
    std::function<void()> work_;
    QTimer patience_;
};

}  // namespace taskwick
