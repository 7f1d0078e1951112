#include "app/boxes/MessageBoxes.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

using namespace taskwick;

// A notice that opens while the user types leaves the keys with what they type into.
TEST(MessageBoxes, aNoticeOpensWithoutTakingTheKeyboard) {
    QLineEdit typing;
    typing.show();
    typing.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&typing));
    typing.setFocus();
    QtBoxPresenter presenter([&] { return static_cast<QWidget*>(&typing); });
    MessageBoxes boxes(Language::English, presenter);
    boxes.notifyInfo("merged", "Notice");
    QMessageBox* notice = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            notice = typing.findChild<QMessageBox*>();
            return notice && notice->isVisible();
        },
        2000));
    QTest::keyClicks(QApplication::focusWidget(), "abc");
    EXPECT_EQ(typing.text(), "abc");
    EXPECT_FALSE(notice->isModal());
    notice->close();  // deleted once closed
    EXPECT_TRUE(QTest::qWaitFor([&] { return !typing.findChild<QMessageBox*>(); }, 2000));
}
