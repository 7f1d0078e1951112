// The program's hints (tooltips): the platform's settings until the About dialog is shown for
// the first time, then a white background, 400 ms until a hint shows and 25 seconds it stays
// (a time the settings take, so that a test need not wait it out), for every widget of the
// program. Each case needs a process of its own (ctest runs each case
// in one), since the settings cannot be undone.
#include "info/HintSettings.h"
#include "info/InfoDialog.h"
#include "info/InfoDialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProxyStyle>
#include <QTest>
#include <QToolTip>
#include <QWindow>

#include <gtest/gtest.h>

using namespace taskwick;

namespace {

// Counts the hint requests that reach the widget itself.
class Probe : public QWidget {
public:
    using QWidget::QWidget;
    int hintRequests = 0;

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::ToolTip) {
            ++hintRequests;
        }
        return QWidget::event(event);
    }
};

QWidget* visibleHint() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->inherits("QTipLabel") && w->isVisible()) {
            return w;
        }
    }
    return nullptr;
}

// Counts the timer events of the application object. While the pointer rests, the first one
// after a hint shows is the toolkit's fall-asleep timer: until it fires, the next hint would
// show at once instead of after the wake-up delay.
class ApplicationTimers : public QObject {
public:
    ApplicationTimers() { QApplication::instance()->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == QApplication::instance() && event->type() == QEvent::Timer) {
            ++count;
        }
        return false;
    }
};

// Milliseconds from the pointer coming to rest at a point until a hint shows; -1 when none
// shows within three seconds.
qint64 timeUntilHint(QWindow* window, QPoint at) {
    QTest::mouseMove(window, at);
    QElapsedTimer timer;
    timer.start();
    if (!QTest::qWaitFor([] { return visibleHint() != nullptr; }, 3000)) {
        return -1;
    }
    return timer.elapsed();
}

// Hides the hint shown when timers counted shownAt and waits until the toolkit stops showing
// the next one at once.
void letHintsFallAsleep(const ApplicationTimers& timers, int shownAt) {
    QToolTip::hideText();
    EXPECT_TRUE(QTest::qWaitFor([&] { return timers.count > shownAt; }, 3000))
        << "the fall-asleep timer";
}

int wakeUpDelayOf(const QWidget& widget) {
    return widget.style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, &widget);
}

double whiteShare(QWidget* hint) {
    const QImage image = hint->grab().toImage();
    int white = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            white += image.pixel(x, y) == qRgb(255, 255, 255) ? 1 : 0;
        }
    }
    return double(white) / (image.width() * image.height());
}

// A window with a widget that has a hint on the left and one that answers hint requests
// itself, as item views do, on the right.
struct HintHost {
    HintHost() {
        host.setAttribute(Qt::WA_AlwaysShowToolTips);
        host.setGeometry(20, 500, 300, 80);
        withHint->setGeometry(0, 0, 150, 80);
        withHint->setToolTip("Add Row");
        withoutHint->setGeometry(150, 0, 150, 80);
        host.show();
    }
    QWidget host;
    Probe* withHint = new Probe(&host);
    Probe* withoutHint = new Probe(&host);
};

TEST(HintSettings, platformDefaultsUntilTheFirstDisplay_thenWhiteAfter400Ms) {
    HintHost hints;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&hints.host));
    QWindow* window = hints.host.windowHandle();
    QStyle* const platformStyle = QApplication::style();
    ApplicationTimers timers;

    auto dialogs = std::make_unique<InfoDialogs>();  // builds the hidden dialog, shows nothing
    EXPECT_FALSE(programHintSettingsApplied());
    EXPECT_NE(wakeUpDelayOf(*hints.withHint), HintWakeUpDelayMs);
    EXPECT_NE(QToolTip::palette().color(QPalette::ToolTipBase), QColor(Qt::white));
    const qint64 before = timeUntilHint(window, {40, 40});
    const int shownAt = timers.count;
    EXPECT_GE(before, 600) << "the platform's delay (700 ms)";
    ASSERT_NE(visibleHint(), nullptr);
    EXPECT_LT(whiteShare(visibleHint()), 0.5);
    EXPECT_EQ(hints.withHint->hintRequests, 1) << "the widget answered its own hint";
    letHintsFallAsleep(timers, shownAt);

    InfoDialog* dialog = dialogs->open("English");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    QTest::keyClick(dialog->windowHandle(), Qt::Key_Escape);  // the settings outlive it
    EXPECT_TRUE(programHintSettingsApplied());
    EXPECT_EQ(wakeUpDelayOf(*hints.withHint), HintWakeUpDelayMs);
    EXPECT_EQ(wakeUpDelayOf(*dialog), HintWakeUpDelayMs);
    auto* proxy = qobject_cast<QProxyStyle*>(QApplication::style());
    ASSERT_NE(proxy, nullptr);
    EXPECT_EQ(proxy->baseStyle(), platformStyle) << "the look stays the platform's";
    EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase), QColor(Qt::white));

    const qint64 after = timeUntilHint(window, {60, 30});
    EXPECT_GE(after, 380);
    EXPECT_LT(after, 650);
    QWidget* hint = visibleHint();
    ASSERT_NE(hint, nullptr);
    EXPECT_GT(whiteShare(hint), 0.5) << "a white background";
    EXPECT_EQ(hints.withHint->hintRequests, 1) << "the program-wide filter answered it";

    // A widget without a hint of its own still answers its requests itself.
    QTest::mouseMove(window, {200, 40});
    EXPECT_TRUE(QTest::qWaitFor([&] { return hints.withoutHint->hintRequests > 0; }, 3000));

    // A second display changes nothing.
    QStyle* const applied = QApplication::style();
    dialogs->open("Deutsch");
    EXPECT_EQ(QApplication::style(), applied);
}

// A hint stays for the display time the settings give (the program's is 25 seconds, the
// platform's default 10 for a short text), not longer and not the platform's time. Here the
// time is 1.5 seconds, so that the case waits no longer than that.
TEST(HintSettings, aHintStaysForTheDisplayTimeGiven) {
    HintHost hints;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&hints.host));
    applyProgramHintSettings({HintWakeUpDelayMs, 1500});
    ASSERT_TRUE(programHintSettingsApplied());

    ASSERT_GE(timeUntilHint(hints.host.windowHandle(), {60, 30}), 0);
    QElapsedTimer shownFor;
    shownFor.start();
    QWidget* const hint = visibleHint();
    EXPECT_TRUE(QTest::qWaitFor([&] { return visibleHint() != hint; }, 4000));
    EXPECT_EQ(visibleHint(), nullptr);
    EXPECT_GE(shownFor.elapsed(), 1400);
    EXPECT_LT(shownFor.elapsed(), 2500);
}

}  // namespace
