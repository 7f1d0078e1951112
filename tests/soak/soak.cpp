// A long day with Taskwick in one process: many edits typed into cells, fold cycles, menu
// openings and paste of a large text, on the offscreen platform unless QT_QPA_PLATFORM says
// otherwise. It prints the resident memory
// after a warm-up and at the end, and the worst stall of the event loop while pasting; it fails
// when memory grew by more than the allowed amount. Built with the sanitizers (ctest) it also
// shows that nothing leaks.
//
//   taskwick_soak [--edits N] [--folds N] [--menus N] [--paste-mb N] [--max-growth-kib N]
//                 [--save-delay-ms N]
#include "app/boxes/MessageBoxes.h"
#include "app/window/MainWindow.h"
#include "frame/widgets/RedBar.h"
#include "table/view/TaskGrid.h"
#include "tests/support/EventLoopGaps.h"
#include "tests/support/WindowParts.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <unistd.h>
#include <cstdio>
#include <cstring>

using namespace taskwick;
using namespace taskwick::testing;

namespace {

class QuietBoxes : public BoxPresenter {
public:
    bool present(BoxKind, const QString& text, const QString&) override {
        std::fprintf(stderr, "unexpected box: %s\n", qPrintable(text));
        ++count;
        return true;
    }
    int count = 0;
};

long residentKiB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

int argument(int argc, char** argv, const char* name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) {
            return std::atoi(argv[i + 1]);
        }
    }
    return fallback;
}

void typeIntoCell(MainWindow& window, int col, int row, const QString& text) {
    TaskGrid* grid = &gridOf(window);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(col, row).center());
    for (const QChar c : text) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClicks(focus ? focus : grid, QString(c));
    }
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : grid,
                    Qt::Key_Return);
}

// As a user types, with the event loop running between the keystrokes.
void edits(MainWindow& window, int count) {
    for (int i = 0; i < count; ++i) {
        typeIntoCell(window, i % 3, 1 + (i / 3) % 5, QString::number(i % 10));
        QCoreApplication::processEvents();
    }
}

void foldCycles(MainWindow& window, int count) {
    for (int i = 0; i < count; ++i) {
        const int fullWidth = window.width();
        for (const bool fold : {true, false}) {
            QTest::mouseClick(&redBarOf(window), Qt::LeftButton, {}, QPoint(15, 50));
            while (fold ? !isFolded(window) : !isFull(window, fullWidth)) {
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            }
        }
    }
}

void menuOpenings(MainWindow& window, int count) {
    QMenu* menu = &menuOf(window);
    QMenu* skins = window.findChild<QMenu*>(QStringLiteral("skin"));
    for (int i = 0; i < count; ++i) {
        menu->popup(QPoint(10, 10));
        QCoreApplication::processEvents();
        skins->popup(QPoint(20, 20));
        QCoreApplication::processEvents();
        skins->close();
        menu->close();
        QCoreApplication::processEvents();
    }
}

// The longest gap between the ticks of a 1 ms timer while `work` runs in the event loop.
template <class Work>
double worstStallMs(Work work) {
    const taskwick::testing::EventLoopGaps gaps;
    QTimer::singleShot(10, work);
    QTest::qWait(400);
    return gaps.worstMs();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");  // under an X server: QT_QPA_PLATFORM=xcb
    }
    QApplication app(argc, argv);
    const int editCount = argument(argc, argv, "--edits", 10000);
    const int foldCount = argument(argc, argv, "--folds", 1000);
    const int menuCount = argument(argc, argv, "--menus", 100);
    const int pasteMiB = argument(argc, argv, "--paste-mb", 10);
    const long maxGrowthKiB = argument(argc, argv, "--max-growth-kib", 1024);
    const int saveDelayMs = argument(argc, argv, "--save-delay-ms", 50);

    QTemporaryDir dir;
    QuietBoxes presenter;
    MessageBoxes boxes(Language::English, presenter);
    MainWindowSettings settings;
    settings.appFolder = dir.path() + "/";
    settings.autoSaveDelayMs = saveDelayMs;
    settings.systemTray = true;
    MainWindow window(settings, boxes);
    window.startUp();
    window.show();
    // A first run opens the About dialog, which the start brings to the front once more; the
    // user closes it before working with the list.
    QTest::qWait(100);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != &window && w->isWindow() && w->isVisible()) {
            w->close();
        }
    }
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) {
        std::fprintf(stderr, "the window never became active\n");
        return 1;
    }

    // Warm-up: every kind of work once, so that caches and pools have their size.
    edits(window, 60);
    foldCycles(window, 3);
    menuOpenings(window, 3);
    QTest::qWait(200);
    const long before = residentKiB();

    QElapsedTimer clock;
    clock.start();
    edits(window, editCount);
    foldCycles(window, foldCount);
    menuOpenings(window, menuCount);
    QTest::qWait(200);
    const long after = residentKiB();

    // A large paste into a cell, with the editor closed.
    const QString big(pasteMiB * 1024 * 1024 / 2, QLatin1Char('x'));
    QGuiApplication::clipboard()->setText(big);
    TaskGrid* grid = &gridOf(window);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(1, 2).center());
    const double pasteStall =
        worstStallMs([&] { QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier); });
    const bool pasted = tableOf(window).cell(1, 2).size() == big.size();

    std::printf("%d edits, %d fold cycles, %d menu openings in %.1f s\n", editCount, foldCount,
                menuCount, double(clock.elapsed()) / 1000);
    std::printf("resident memory after warm-up %ld KiB, at the end %ld KiB, growth %ld KiB\n",
                before, after, after - before);
    std::printf("worst event-loop stall while pasting %d MB into a cell: %.1f ms\n", pasteMiB,
                pasteStall);
    window.close();
    if (!pasted || presenter.count != 0) {
        std::fprintf(stderr, "the paste did not arrive whole, or a box came\n");
        return 1;
    }
    if (after - before > maxGrowthKiB) {
        std::fprintf(stderr, "resident memory grew by more than %ld KiB\n", maxGrowthKiB);
        return 1;
    }
    return 0;
}
