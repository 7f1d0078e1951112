// How long the fold takes from the click on the red bar to the finished bar, against its
// nominal 17 ticks of 10 ms, and how long one layout pass of the frame takes. Runs on the
// platform QT_QPA_PLATFORM names (offscreen when unset; xcb under an X server measures the
// real window's moves).
//
//   fold_bench [rounds]
#include "app/boxes/MessageBoxes.h"
#include "app/window/MainWindow.h"
#include "frame/widgets/RedBar.h"
#include "tests/support/WindowParts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace taskwick;

namespace {

class SilentBoxes : public BoxPresenter {
public:
    bool present(BoxKind, const QString&, const QString&) override { return false; }
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Milliseconds from the click to the end state.
template <class End>
double clickUntil(MainWindow& window, End end) {
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(&taskwick::testing::redBarOf(window), Qt::LeftButton, {}, QPoint(15, 50));
    while (!end()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return double(clock.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 15;

    QTemporaryDir dir;
    SilentBoxes presenter;
    MessageBoxes boxes(Language::English, presenter);
    MainWindowSettings settings;
    settings.appFolder = dir.path() + "/";
    MainWindow window(settings, boxes);
    window.startUp();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "the window never showed\n");
        return 1;
    }
    QTest::qWait(100);

    std::vector<double> folds, unfolds;
    for (int i = 0; i < rounds; ++i) {
        const int fullWidth = window.width();
        folds.push_back(clickUntil(window, [&] { return taskwick::testing::isFolded(window); }));
        unfolds.push_back(
            clickUntil(window, [&] { return taskwick::testing::isFull(window, fullWidth); }));
    }
    constexpr int LayoutPasses = 2000;
    QElapsedTimer clock;
    clock.start();
    // Each resize lays the frame out once.
    for (int i = 0; i < LayoutPasses; ++i) {
        window.resize(370 + i % 2, 211);
    }
    const double layoutUs = double(clock.nsecsElapsed()) / 1e3 / LayoutPasses;

    constexpr double Nominal = 17 * 10.0;
    std::printf("platform %s, %d rounds of fold and unfold (370 -> 30 -> 370)\n",
                qPrintable(QGuiApplication::platformName()), rounds);
    std::printf("fold:   median %.1f ms, worst %.1f ms (nominal %.0f ms)\n", median(folds),
                *std::max_element(folds.begin(), folds.end()), Nominal);
    std::printf("unfold: median %.1f ms, worst %.1f ms\n", median(unfolds),
                *std::max_element(unfolds.begin(), unfolds.end()));
    std::printf("one layout pass of the frame: %.1f us\n", layoutUs);
    std::printf("ratio fold time / nominal 170 ms: %.2f\n", median(folds) / Nominal);
    return 0;
}
