#pragma once

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QObject>

class QWidget;

namespace taskwick {

Q_DECLARE_LOGGING_CATEGORY(startupLog)

// Where the start-up time goes: with QT_LOGGING_RULES="taskwick.startup.debug=true" each
// phase is logged with the milliseconds since main() began, up to the first paint of the main
// window. Silent (and next to free) otherwise.
class StartupTrace : public QObject {
public:
    StartupTrace();
    void mark(const char* phase);
    // Logs the window's first exposure and first paint, then stops watching.
    void watchFirstPaint(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QElapsedTimer clock_;
    bool exposed_ = false;
};

}  // namespace taskwick
