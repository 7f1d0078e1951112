#include "platform/SignalPipe.h"

#include <QPointer>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

namespace taskwick {

namespace {

// Read by the handler, so plain ints of static storage: -1 while no SignalPipe exists.
volatile sig_atomic_t writeEnd = -1;
int readEnd = -1;

extern "C" void onSignal(int signalNumber) {
    const int savedErrno = errno;
    const int fd = writeEnd;
    if (fd >= 0) {
        // A full pipe already holds enough wake-ups; a lost number changes nothing.
        [[maybe_unused]] const ssize_t written = write(fd, &signalNumber, sizeof signalNumber);
    }
    errno = savedErrno;
}

}  // namespace

SignalPipe::SignalPipe(QObject* parent) : SignalPipe({SIGTERM, SIGHUP, SIGINT}, parent) {}

SignalPipe::SignalPipe(std::initializer_list<int> signalNumbers, QObject* parent)
    : QObject(parent) {
    if (writeEnd >= 0) {
        qWarning("SignalPipe: only one may exist at a time");
        return;
    }
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    readEnd = fds[0];
    writeEnd = fds[1];

    for (const int number : signalNumbers) {
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        // Restarting keeps blocking calls elsewhere in the program from failing with EINTR.
        action.sa_flags = SA_RESTART;
        struct sigaction old {};
        if (sigaction(number, &action, &old) != 0) {
            continue;
        }
        signals_.push_back(number);
        previous_.push_back(old);
    }
    active_ = !signals_.empty();

    notifier_ = new QSocketNotifier(readEnd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalPipe::readPending);
}

SignalPipe::~SignalPipe() {
    for (std::size_t i = 0; i < signals_.size(); ++i) {
        sigaction(signals_[i], &previous_[i], nullptr);
    }
    if (notifier_ == nullptr) {
        return;
    }
    delete notifier_;
    const int fd = writeEnd;
    writeEnd = -1;
    close(fd);
    close(readEnd);
    readEnd = -1;
}

void SignalPipe::readPending() {
    std::vector<int> received;
    int signalNumber = 0;
    while (true) {
        const ssize_t got = read(readEnd, &signalNumber, sizeof signalNumber);
        if (got == static_cast<ssize_t>(sizeof signalNumber)) {
            received.push_back(signalNumber);
            continue;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        // EAGAIN: the pipe is empty. A short read cannot happen, since each write of a few
        // bytes into a pipe is atomic.
        break;
    }
    // A receiver may end the program and destroy this object on the first emission.
    const QPointer<SignalPipe> self(this);
    for (const int number : received) {
        if (self.isNull()) {
            return;
        }
        emit terminationRequested(number);
    }
}

}  // namespace taskwick
