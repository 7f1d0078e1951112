// The application object and the boxes' helpers that the window relies on: exceptions no
// handler caught, and the secondary windows that step back while a box is open.
#include "app/TaskwickApplication.h"
#include "app/boxes/MessageBoxes.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace taskwick;

namespace {
class ThrowingWidget : public QWidget {
protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) {
            throw std::out_of_range("index 7");
        }
        return QWidget::event(e);
    }
};
}  // namespace

TEST(TaskwickApplication, exceptionEscapingAHandlerIsReportedAndTheLoopGoesOn) {
    auto* app = qobject_cast<TaskwickApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    QString message, className;
    app->setExceptionHandler([&](const QString& m, const QString& c) {
        message = m;
        className = c;
    });
    ThrowingWidget w;
    QCoreApplication::postEvent(&w, new QEvent(QEvent::User));
    bool later = false;
    QTimer::singleShot(0, [&] { later = true; });
    // The loop goes on after the failing handler: a timer queued behind its event fires.
    EXPECT_TRUE(QTest::qWaitFor([&] { return later; }, 2000));
    EXPECT_EQ(message, "index 7");
    EXPECT_EQ(className, "std::out_of_range");
    EXPECT_TRUE(later);
    app->setExceptionHandler({});
}

TEST(StayOnTopLowering, lowersVisibleStayOnTopWindowsOnceAndRestoresAtTheOutermostBox) {
    QWidget secondary(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint);
    QWidget plain;
    secondary.show();
    plain.show();
    std::vector<std::pair<QWidget*, bool>> calls;
    StayOnTopLowering lowering(
        [&] {
            return std::vector<QWidget*>{&secondary, &plain};
        },
        [&](QWidget* w, bool top) { calls.emplace_back(w, top); });
    lowering.lower();
    lowering.lower();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], std::make_pair(&secondary, false));
    lowering.restore();
    EXPECT_EQ(calls.size(), 1u);
    lowering.restore();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1], std::make_pair(&secondary, true));
    lowering.restore();
    EXPECT_EQ(lowering.depth(), 0);
}
