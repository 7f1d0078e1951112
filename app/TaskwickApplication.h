#pragma once

#include <QApplication>

#include <functional>

namespace taskwick {

// The application object. Exceptions that escape an event handler end up here instead of
// ending the program: they are reported and the event loop goes on with the next event.
class TaskwickApplication : public QApplication {
    Q_OBJECT
public:
    using ExceptionHandler = std::function<void(const QString& message, const QString& className)>;

    TaskwickApplication(int& argc, char** argv);
    void setExceptionHandler(ExceptionHandler handler) { handler_ = std::move(handler); }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    ExceptionHandler handler_;
};

}  // namespace taskwick
