// How long the automatic save of a 100 x 100 list holds up the GUI thread. A 1 ms timer
// stands in for the user's keystrokes: the longest gap between its ticks is the worst stall
// a keystroke could meet. The same run without saves gives the baseline gap of the machine.
//
//   autosave_stall [saves]        (offscreen; prints worst and median stalls)
#include "app/boxes/MessageBoxes.h"
#include "app/window/MainWindow.h"
#include "tests/support/EventLoopGaps.h"
#include "tests/support/WindowParts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace taskwick;

namespace {

class SilentBoxes : public BoxPresenter {
public:
    bool present(BoxKind, const QString& text, const QString&) override {
        std::fprintf(stderr, "box: %s\n", qPrintable(text));
        return false;
    }
};

void fill(TaskTable& table) {
    table.setRowCount(101);
    table.setColCount(100);
    for (int row = 0; row < 101; ++row) {
        for (int col = 0; col < 100; ++col) {
            table.setCell(
                col, row,
                QStringLiteral("Task %1/%2 with some words & <marks> äöü").arg(col).arg(row));
        }
    }
}

struct Stalls {
    double worstMs = 0;
    double p99Ms = 0;
    double medianMs = 0;
};

// Changes a cell every 20 ms for `durationMs` and records the gaps between 1 ms ticks.
Stalls measure(MainWindow& window, int durationMs) {
    const taskwick::testing::EventLoopGaps watch;
    int edits = 0;
    QTimer typing;
    typing.setInterval(20);
    QObject::connect(&typing, &QTimer::timeout, [&] {
        taskwick::testing::tableOf(window).setCell(1, 1, QString::number(++edits));
    });
    typing.start();
    QEventLoop loop;
    QTimer::singleShot(durationMs, &loop, &QEventLoop::quit);
    loop.exec();
    std::vector<double> gaps = watch.gapsMs();
    std::sort(gaps.begin(), gaps.end());
    if (gaps.empty()) {
        return {};
    }
    return {gaps.back(), gaps[gaps.size() * 99 / 100], gaps[gaps.size() / 2]};
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int saves = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    constexpr int DelayMs = 250;

    QTemporaryDir dir;
    SilentBoxes presenter;
    MessageBoxes boxes(Language::English, presenter);
    auto run = [&](int delayMs) {
        MainWindowSettings settings;
        settings.appFolder = dir.path() + "/";
        settings.autoSaveDelayMs = delayMs;
        MainWindow window(settings, boxes);
        window.startUp();
        fill(taskwick::testing::tableOf(window));
        window.show();
        return measure(window, saves * DelayMs);
    };
    // Alternating rounds, so that both meet the same load of the shared machine.
    Stalls with, without;
    for (int round = 0; round < 3; ++round) {
        const Stalls idle = run(1000 * 1000);  // never saves within the run
        const Stalls saving = run(DelayMs);
        without = {std::max(without.worstMs, idle.worstMs), std::max(without.p99Ms, idle.p99Ms),
                   idle.medianMs};
        with = {std::max(with.worstMs, saving.worstMs), std::max(with.p99Ms, saving.p99Ms),
                saving.medianMs};
    }
    QFileInfo list(dir.filePath("ToDoList.xml"));
    std::printf(
        "list of %lld bytes saved about every %d ms while a cell changes every 20 ms, "
        "3 rounds\n",
        list.size(), DelayMs);
    std::printf("event-loop gaps with automatic saves: worst %.1f ms, 99th percentile %.2f ms\n",
                with.worstMs, with.p99Ms);
    std::printf("event-loop gaps without saves:        worst %.1f ms, 99th percentile %.2f ms\n",
                without.worstMs, without.p99Ms);
    std::printf("ratio worst stall with / without saves: %.2f\n",
                without.worstMs > 0 ? with.worstMs / without.worstMs : 0.0);
    return 0;
}
