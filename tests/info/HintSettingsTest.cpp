// The program's hints (tooltips): the platform's settings until the About dialog is shown for
// the first time, then a white background, 400 ms until a hint shows and 25 seconds it stays,
// for every widget of the program. A process of its own, since the settings cannot be undone.
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

// Hides the hint and waits until the toolkit stops showing the next one at once.
void letHintsFallAsleep() {
    QToolTip::hideText();
    QTest::qWait(2200);
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

TEST(HintSettings, platformDefaultsUntilTheFirstDisplay_thenWhite400MsAnd25Seconds) {
    QWidget host;
    host.setAttribute(Qt::WA_AlwaysShowToolTips);
    host.setGeometry(20, 500, 300, 80);
    auto* withHint = new Probe(&host);
    withHint->setGeometry(0, 0, 150, 80);
    withHint->setToolTip("Add Row");
    auto* withoutHint = new Probe(&host);  // answers hint requests itself, as item views do
    withoutHint->setGeometry(150, 0, 150, 80);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    QWindow* window = host.windowHandle();
    QStyle* const platformStyle = QApplication::style();

    auto dialogs = std::make_unique<InfoDialogs>();  // builds the hidden dialog, shows nothing
    EXPECT_FALSE(programHintSettingsApplied());
    EXPECT_NE(wakeUpDelayOf(*withHint), HintWakeUpDelayMs);
    EXPECT_NE(QToolTip::palette().color(QPalette::ToolTipBase), QColor(Qt::white));
    const qint64 before = timeUntilHint(window, {40, 40});
    EXPECT_GE(before, 600) << "the platform's delay (700 ms)";
    ASSERT_NE(visibleHint(), nullptr);
    EXPECT_LT(whiteShare(visibleHint()), 0.5);
    EXPECT_EQ(withHint->hintRequests, 1) << "the widget answered its own hint";
    letHintsFallAsleep();

    InfoDialog* dialog = dialogs->open("English");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    QTest::keyClick(dialog->windowHandle(), Qt::Key_Escape);  // the settings outlive it
    EXPECT_TRUE(programHintSettingsApplied());
    EXPECT_EQ(wakeUpDelayOf(*withHint), HintWakeUpDelayMs);
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
    EXPECT_EQ(withHint->hintRequests, 1) << "the program-wide filter answered it";

    // It stays 25 seconds (the platform's default is 10 for a short text), not longer.
    QElapsedTimer shownFor;
    shownFor.start();
    QTest::qWait(24000);
    EXPECT_EQ(visibleHint(), hint);
    EXPECT_TRUE(QTest::qWaitFor([] { return visibleHint() == nullptr; }, 3000));
    EXPECT_LT(shownFor.elapsed(), 26500);

    // A widget without a hint of its own still answers its requests itself.
    QTest::mouseMove(window, {200, 40});
    EXPECT_TRUE(QTest::qWaitFor([&] { return withoutHint->hintRequests > 0; }, 3000));

    // A second display changes nothing.
    QStyle* const applied = QApplication::style();
    dialogs->open("Deutsch");
    EXPECT_EQ(QApplication::style(), applied);
}

}  // namespace
