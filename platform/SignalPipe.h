#pragma once

#include <QObject>

#include <csignal>
#include <initializer_list>
#include <vector>

class QSocketNotifier;

namespace taskwick {

// Turns the signals that ask a program to end (the end of the desktop session, a closed
// terminal, Ctrl+C) into a Qt signal on the GUI thread, so that they run the ordinary close of
// the main window and the task list is saved.
//
// The signal handler only writes the signal number into a pipe; everything else happens when
// the event loop reads it. One SignalPipe may exist at a time; the previous handlers come back
// when it is destroyed.
class SignalPipe : public QObject {
    Q_OBJECT
public:
    explicit SignalPipe(QObject* parent = nullptr);
    SignalPipe(std::initializer_list<int> signalNumbers, QObject* parent = nullptr);
    ~SignalPipe() override;

    // False when the pipe or a handler could not be set up; the signals then keep their
    // previous handling.
    bool isActive() const { return active_; }

signals:
    void terminationRequested(int signalNumber);

private:
    void readPending();

    std::vector<int> signals_;
    std::vector<struct sigaction> previous_;
    QSocketNotifier* notifier_ = nullptr;
    bool active_ = false;
};

}  // namespace taskwick
