// The frame's icons, +/- buttons and red bar as a screen reader finds them: by walking the
// window's accessible objects, not through the frame's own functions. Their names are the
// program's hints, in the build's language.

#include "frame/widgets/FrameView.h"
#include "frame/widgets/PictureButton.h"
#include "frame/widgets/RedBar.h"
#include "texts/Texts.h"

#include <QAccessible>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace taskwick;

namespace {

FrameHints hintsOf(const Hints& hints) {
    return {.exit = hints.exitIcon,
            .shrink = hints.shrinkIcon,
            .minimize = hints.minimizeIcon,
            .redBar = hints.redBarFull,
            .addRow = hints.plusRow,
            .deleteRow = hints.minusRow,
            .addColumn = hints.plusColumn,
            .deleteColumn = hints.minusColumn};
}

// Every accessible object below iface, depth first, as a reader's walk over the children finds
// them.
void collect(QAccessibleInterface* iface, std::vector<QAccessibleInterface*>& found) {
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface* child = iface->child(i);
        if (child != nullptr) {
            found.push_back(child);
            collect(child, found);
        }
    }
}

class FrameButtonsAccessibleTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
        frame = new FrameView(FramePictures::builtIn(), hintsOf(english.hints), window.get());
        window->setGeometry(200, 150, 370, 211);
        frame->setGeometry(window->rect());
        frame->layOut(computeFrameLayout(370, 211, false));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    // The objects of the window a reader finds under the name.
    std::vector<QAccessibleInterface*> named(const QString& name) const {
        std::vector<QAccessibleInterface*> all;
        collect(QAccessible::queryAccessibleInterface(window.get()), all);
        std::vector<QAccessibleInterface*> found;
        for (QAccessibleInterface* iface : all) {
            if (iface->text(QAccessible::Name) == name) {
                found.push_back(iface);
            }
        }
        return found;
    }

    const Texts& english = textsFor(Language::English);
    std::unique_ptr<QWidget> window;
    FrameView* frame = nullptr;
};

TEST_F(FrameButtonsAccessibleTest, everyIconAndButton_isAPushButtonNamedByItsHint) {
    const std::vector<std::pair<QString, QWidget*>> expected = {
        {"Exit", frame->exitIcon()},
        {"Make small", frame->shrinkIcon()},
        {"Minimize", frame->minimizeIcon()},
        {"Add Row", frame->addRowButton()},
        {"Delete Row", frame->deleteRowButton()},
        {"Add Column", frame->addColumnButton()},
        {"Delete Column", frame->deleteColumnButton()},
        {"To make small click on the red bar", frame->redBar()},
    };
    for (const auto& [name, widget] : expected) {
        SCOPED_TRACE(name.toStdString());
        const std::vector<QAccessibleInterface*> found = named(name);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found.front()->object(), widget);
        EXPECT_EQ(found.front()->role(), QAccessible::Button);
        EXPECT_FALSE(found.front()->state().invisible);
        ASSERT_NE(found.front()->actionInterface(), nullptr);
        EXPECT_EQ(found.front()->actionInterface()->actionNames(),
                  QStringList{QAccessibleActionInterface::pressAction()});
    }
}

TEST_F(FrameButtonsAccessibleTest, pressingThroughTheReader_clicksTheButtonFromTheEventLoop) {
    QSignalSpy addRow(frame->addRowButton(), &PictureButton::clicked);
    QSignalSpy exit(frame->exitIcon(), &PictureButton::clicked);
    const std::vector<QAccessibleInterface*> found = named("Add Row");
    ASSERT_EQ(found.size(), 1u);
    found.front()->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    // Not inside the reader's call: a click may open a box.
    EXPECT_EQ(addRow.count(), 0);
    QApplication::processEvents();
    EXPECT_EQ(addRow.count(), 1);
    EXPECT_EQ(exit.count(), 0);
    // An action the button does not have does nothing.
    found.front()->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QApplication::processEvents();
    EXPECT_EQ(addRow.count(), 1);
}

TEST_F(FrameButtonsAccessibleTest, redBar_isRenamedWithItsHint_whenTheWindowFoldsAndUnfolds) {
    QSignalSpy clicks(frame->redBar(), &RedBar::clicked);
    frame->setRedBarHint(english.hints.redBarFolded);
    EXPECT_TRUE(named(english.hints.redBarFull).empty());
    std::vector<QAccessibleInterface*> found = named("To make big click on the red bar");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found.front()->object(), frame->redBar());
    EXPECT_EQ(frame->redBar()->toolTip(), english.hints.redBarFolded);
    found.front()->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QApplication::processEvents();
    EXPECT_EQ(clicks.count(), 1);

    frame->setRedBarHint(english.hints.redBarFull);
    found = named("To make small click on the red bar");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found.front()->object(), frame->redBar());
}

}  // namespace
