// How long a cell of a megabyte holds up the window while it is edited, against the same run
// on a cell of a kilobyte: the editor is opened on the cell, the cursor goes to its end, a
// key is typed every 50 ms, and then the editor sits open while its cursor blinks. A 1 ms
// timer stands in for everything else the window has to do: the longest gap between its
// ticks is the worst stall. A cell of 5 MB is measured as well.
//
//   cell_edit_stall [keystrokes]        (offscreen; prints worst stalls and their ratios)
#include "app/boxes/MessageBoxes.h"
#include "app/window/MainWindow.h"
#include "table/view/TaskGrid.h"
#include "tests/support/EventLoopGaps.h"
#include "tests/support/WindowParts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace taskwick;

namespace {

class SilentBoxes : public BoxPresenter {
public:
    bool present(BoxKind, const QString&, const QString&) override { return false; }
};

QString cellOf(qsizetype bytes) {
    QString text;
    text.reserve(bytes);
    for (int i = 0; text.size() < bytes; ++i) {
        text += QStringLiteral("word%1 and some more ").arg(i);
    }
    text.truncate(bytes);
    return text;
}

struct Stalls {
    double openMs = 0;    // F2 and End, until the loop is free again
    double typingMs = 0;  // the worst gap while keys come
    double blinkMs = 0;   // the worst gap while the editor sits open
    double closeMs = 0;   // Return, until the loop is free again
    int blinks = 0;       // paints of the editor while it sat open
};

class PaintCounter : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::Paint;
        return false;
    }
};

// Runs the event loop for `durationMs` while `step` runs every `intervalMs`; returns the
// longest gap between 1 ms ticks.
double worstGap(int durationMs, int intervalMs, const std::function<void()>& step) {
    taskwick::testing::EventLoopGaps gaps;
    QTimer stepper;
    stepper.setInterval(intervalMs);
    if (step) {
        QObject::connect(&stepper, &QTimer::timeout, step);
        stepper.start();
    }
    QEventLoop loop;
    QTimer::singleShot(durationMs, &loop, &QEventLoop::quit);
    loop.exec();
    return gaps.worstMs();
}

double timed(const std::function<void()>& action) {
    QElapsedTimer clock;
    clock.start();
    action();
    QCoreApplication::processEvents();
    return double(clock.nsecsElapsed()) / 1e6;
}

Stalls measure(MessageBoxes& boxes, qsizetype bytes, int keystrokes) {
    QTemporaryDir dir;
    MainWindowSettings settings;
    settings.appFolder = dir.path() + "/";
    {
        // A first run opens the About dialog, which would take the focus.
        MainWindow first(settings, boxes);
        first.startUp();
        first.close();
    }
    MainWindow window(settings, boxes);
    window.startUp();
    taskwick::testing::tableOf(window).setCell(1, 1, cellOf(bytes));
    window.show();
    window.activateWindow();
    // The cursor blinks only in the active window.
    for (int i = 0; i < 200 && QApplication::activeWindow() != &window; ++i) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    if (QApplication::activeWindow() != &window) {
        std::fprintf(stderr, "the window did not become active\n");
    }
    TaskGrid* grid = &taskwick::testing::gridOf(window);
    grid->setFocus();
    grid->currentCell().set({1, 1});
    QCoreApplication::processEvents();

    // To the editor while it is open, as the keyboard focus would send them.
    auto key = [grid](Qt::Key k, const QString& text = QString()) {
        QWidget* target = grid->isEditing() ? static_cast<QWidget*>(grid->editor()) : grid;
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, text);
        QKeyEvent release(QEvent::KeyRelease, k, Qt::NoModifier, text);
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    };
    Stalls stalls;
    stalls.openMs = timed([&] {
        key(Qt::Key_F2);
        key(Qt::Key_End);
    });
    int typed = 0;
    stalls.typingMs = worstGap(keystrokes * 50 + 200, 50, [&] {
        if (typed++ < keystrokes) {
            key(Qt::Key_T, QStringLiteral("t"));
        }
    });
    // The cursor blinks twice a second; four seconds see eight blinks, each a paint of the
    // editor.
    PaintCounter paints;
    grid->editor()->installEventFilter(&paints);
    stalls.blinkMs = worstGap(4000, 1000, nullptr);
    stalls.blinks = paints.count;
    stalls.closeMs = timed([&] { key(Qt::Key_Return); });
    if (taskwick::testing::tableOf(window).cell(1, 1).size() != bytes + keystrokes) {
        std::fprintf(stderr, "the cell holds %lld characters, not %lld\n",
                     static_cast<long long>(taskwick::testing::tableOf(window).cell(1, 1).size()),
                     static_cast<long long>(bytes + keystrokes));
    }
    return stalls;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int keystrokes = argc > 1 ? std::max(1, atoi(argv[1])) : 40;
    SilentBoxes presenter;
    MessageBoxes boxes(Language::English, presenter);

    // A kilobyte first and last, so that both sizes meet the same load of a shared machine.
    const Stalls small = measure(boxes, 1000, keystrokes);
    const Stalls megabyte = measure(boxes, 1000 * 1000, keystrokes);
    const Stalls five = measure(boxes, 5 * 1000 * 1000, keystrokes);
    const Stalls smallAgain = measure(boxes, 1000, keystrokes);
    auto worse = [](double a, double b) { return std::max(a, b); };
    const Stalls base{
        worse(small.openMs, smallAgain.openMs), worse(small.typingMs, smallAgain.typingMs),
        worse(small.blinkMs, smallAgain.blinkMs), worse(small.closeMs, smallAgain.closeMs),
        std::min(small.blinks, smallAgain.blinks)};
    std::printf("cell of      open+End   worst per key   worst while blinking (paints)   close\n");
    for (const auto& [label, s] :
         {std::pair{"1 kB", base}, std::pair{"1 MB", megabyte}, std::pair{"5 MB", five}}) {
        std::printf("%-8s %8.1f ms %12.1f ms %18.1f ms (%d) %10.1f ms\n", label, s.openMs,
                    s.typingMs, s.blinkMs, s.blinks, s.closeMs);
    }
    auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    std::printf("ratio worst stall per keystroke, 1 MB / 1 kB cell: %.2f\n",
                ratio(megabyte.typingMs, base.typingMs));
    std::printf("ratio worst stall while the cursor blinks, 1 MB / 1 kB cell: %.2f\n",
                ratio(megabyte.blinkMs, base.blinkMs));
    std::printf("ratio worst stall per keystroke, 5 MB / 1 kB cell: %.2f\n",
                ratio(five.typingMs, base.typingMs));
    return 0;
}
