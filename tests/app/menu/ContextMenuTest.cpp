// The context menu and the commands' actions it shows: the tree, the captions in both
// languages, the pictures, and the states that follow the task table.
#include "app/menu/CommandActions.h"
#include "app/menu/ContextMenu.h"

#include "table/commands/TableCommands.h"
#include "table/model/TaskTable.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <memory>

namespace taskwick {
namespace {

QStringList names(const QMenu* menu) {
    QStringList list;
    for (const QAction* action : menu->actions()) {
        list << action->objectName();
    }
    return list;
}

QImage pictureOf(const QAction* action) {
    return action->icon().pixmap(16, 16).toImage();
}

// The menu over the actions of a table of its own, wired to the table's toggles as the main
// window wires them.
class MenuTest : public ::testing::Test {
protected:
    explicit MenuTest(Language language = Language::English)
        : actions(table, current, language),
          menu(actions),
          commands(
              table, current, language, [](const QString&, const QString&) { return true; },
              [] {}) {
        QObject::connect(actions.action(Command::CaptionsBold), &QAction::triggered,
                         [this] { commands.toggleCaptionsBold(); });
        QObject::connect(actions.action(Command::GridLines), &QAction::triggered,
                         [this] { commands.toggleGridLines(); });
    }
    ~MenuTest() override { menu.menu()->close(); }

    QAction* item(const char* name) {
        QAction* action = menu.menu()->findChild<QAction*>(QLatin1String(name));
        if (action == nullptr) {
            action = actions.findChild<QAction*>(QLatin1String(name));
        }
        EXPECT_NE(action, nullptr) << name;
        return action;
    }
    QMenu* submenu(const char* name) { return menu.menu()->findChild<QMenu*>(name); }
    void open() { ASSERT_TRUE(menu.popupForButtons(Qt::RightButton, QPoint(40, 50))); }
    // Clicks an item of the open menu, as the user does.
    void click(const char* name) {
        QAction* action = item(name);
        ASSERT_TRUE(menu.menu()->isVisible());
        QTest::mouseClick(menu.menu(), Qt::LeftButton, {},
                          menu.menu()->actionGeometry(action).center());
        EXPECT_FALSE(menu.menu()->isVisible());
    }

    TaskTable table;
    CurrentCell current{table};
    CommandActions actions;
    ContextMenu menu;
    TableCommands commands;
};

class GermanMenuTest : public MenuTest {
protected:
    GermanMenuTest() : MenuTest(Language::German) {}
};

TEST_F(MenuTest, tree_holdsEveryCommandInOrder) {
    EXPECT_EQ(names(menu.menu()),
              (QStringList{"changeCaptions", "captionsBold", "gridLines", "separator1",
                           "thisColumn", "separator2", "addRow", "deleteRow", "separator3",
                           "addColumn", "deleteColumn", "separator4", "skin", "separator5",
                           "openFileFolder", "about", "separator6", "exit"}));
    EXPECT_EQ(names(submenu("thisColumn")),
              (QStringList{"leftAlign", "centerAlign", "rightAlign"}));
    EXPECT_EQ(names(menu.skinMenu()), (QStringList{"separator7", "noSkin"}));
    EXPECT_EQ(menu.skinMenu(), submenu("skin"));
    // One action per command, the same object wherever it shows.
    EXPECT_EQ(item("addRow"), actions.action(Command::AddRow));
    EXPECT_EQ(item("noSkin"), actions.action(Command::NoSkin));
}

TEST_F(MenuTest, captions_areEnglishWithAccessKeys) {
    EXPECT_EQ(item("changeCaptions")->text(), "Change &Title Text");
    EXPECT_EQ(item("captionsBold")->text(), "Title &Bold");
    EXPECT_EQ(item("gridLines")->text(), "Draw &Grid Lines");
    EXPECT_EQ(item("thisColumn")->text(), "&Column ...");
    EXPECT_EQ(item("rightAlign")->text(), "RightAlign");
    EXPECT_EQ(item("addColumn")->text(), "A&dd Column");
    EXPECT_EQ(item("deleteColumn")->text(), "D&elete Column");
    EXPECT_EQ(item("skin")->text(), "&Skin ...");
    EXPECT_EQ(item("noSkin")->text(), "No Skin");
    EXPECT_EQ(item("about")->text(), "&About Taskwick");
    EXPECT_EQ(item("exit")->text(), "E&xit");
}

TEST_F(GermanMenuTest, captions_areGerman_butTheSkinItemKeepsItsWord) {
    EXPECT_EQ(item("changeCaptions")->text(), QString::fromUtf8("Titelzeile ändern"));
    EXPECT_EQ(item("captionsBold")->text(), "Titelzeile Fett");
    EXPECT_EQ(item("gridLines")->text(), "Tabellen-Linien malen");
    EXPECT_EQ(item("thisColumn")->text(), "Spalte...");
    EXPECT_EQ(item("leftAlign")->text(), "Links");
    EXPECT_EQ(item("centerAlign")->text(), "Zentriert");
    EXPECT_EQ(item("rightAlign")->text(), "Rechts");
    EXPECT_EQ(item("addRow")->text(), QString::fromUtf8("Neue Zeile hinzufügen"));
    EXPECT_EQ(item("deleteRow")->text(), "Letzte Zeile entfernen");
    EXPECT_EQ(item("addColumn")->text(), QString::fromUtf8("Neue Spalte hinzufügen"));
    EXPECT_EQ(item("deleteColumn")->text(), "Letzte Spalte entfernen");
    EXPECT_EQ(item("skin")->text(), "&Skin ...");
    EXPECT_EQ(item("noSkin")->text(), "Kein Skin");
    EXPECT_EQ(item("openFileFolder")->text(), QString::fromUtf8("Datei-Ordner öffnen"));
    EXPECT_EQ(item("about")->text(), QString::fromUtf8("Über Taskwick"));
    EXPECT_EQ(item("exit")->text(), "Beenden");
}

TEST_F(MenuTest, pictures_are16PixelImagesOnceTheMenuOpens_andTheSettingsShowTheirState) {
    EXPECT_TRUE(item("exit")->icon().isNull());  // nothing read while the program starts
    open();
    for (const char* name :
         {"changeCaptions", "captionsBold", "gridLines", "thisColumn", "addRow", "deleteRow",
          "addColumn", "deleteColumn", "skin", "openFileFolder", "about", "exit"}) {
        const QIcon icon = item(name)->icon();
        ASSERT_FALSE(icon.isNull()) << name;
        EXPECT_EQ(icon.pixmap(16, 16).size(), QSize(16, 16)) << name;
    }
    for (const char* name : {"leftAlign", "centerAlign", "rightAlign", "noSkin"}) {
        EXPECT_TRUE(item(name)->icon().isNull()) << name;
    }
    // A setting that is on shows its picture with a check mark, from the first opening on
    // and after every change, whoever made it.
    EXPECT_EQ(pictureOf(item("captionsBold")), menuPicture("title-bold").pixmap(16, 16).toImage());
    EXPECT_EQ(pictureOf(item("gridLines")), menuPicture("grid-lines-on").pixmap(16, 16).toImage());
    click("captionsBold");
    EXPECT_TRUE(table.captionsBold());
    EXPECT_EQ(pictureOf(item("captionsBold")),
              menuPicture("title-bold-on").pixmap(16, 16).toImage());
    table.setDrawGridLines(false);  // as a load does
    EXPECT_EQ(pictureOf(item("gridLines")), menuPicture("grid-lines").pixmap(16, 16).toImage());
}

TEST_F(MenuTest, sizeLimits_holdWhileTheMenuIsOpen_andNotForTheFramesButtons) {
    const struct {
        int rows, cols;
        bool addRow, deleteRow, addColumn, deleteColumn;
    } cases[] = {
        {100, 100, false, true, false, true}, {99, 99, true, true, true, true},
        {2, 1, true, false, true, false},     {3, 2, true, true, true, true},
        {1, 3, true, false, true, true},
    };
    for (const auto& c : cases) {
        table.setRowCount(c.rows);
        table.setColCount(c.cols);
        open();
        const auto where = testing::Message() << c.rows << " rows, " << c.cols << " columns";
        EXPECT_EQ(item("addRow")->isEnabled(), c.addRow) << where;
        EXPECT_EQ(item("deleteRow")->isEnabled(), c.deleteRow) << where;
        EXPECT_EQ(item("addColumn")->isEnabled(), c.addColumn) << where;
        EXPECT_EQ(item("deleteColumn")->isEnabled(), c.deleteColumn) << where;
        menu.menu()->close();
        // Closed, the commands run for the frame's +/- buttons whatever the size.
        EXPECT_TRUE(item("addRow")->isEnabled() && item("deleteRow")->isEnabled() &&
                    item("addColumn")->isEnabled() && item("deleteColumn")->isEnabled())
            << where;
    }
}

TEST_F(MenuTest, columnSubmenu_isOfferedWithACurrentCell_andTicksItsColumnsAlignment) {
    open();
    EXPECT_FALSE(item("thisColumn")->isEnabled());
    EXPECT_FALSE(item("leftAlign")->isChecked());
    menu.menu()->close();

    table.setColumnAlignment(0, Alignment::Center);
    table.setColumnAlignment(2, Alignment::Right);
    current.set({2, 1});
    open();
    EXPECT_TRUE(item("thisColumn")->isEnabled());
    EXPECT_TRUE(item("rightAlign")->isChecked());
    menu.menu()->close();
    current.set({0, 2});
    EXPECT_TRUE(item("centerAlign")->isChecked());
    EXPECT_FALSE(item("rightAlign")->isChecked());

    // Without a current cell the ticks stay as they were, out of sight.
    current.clear();
    table.setColumnAlignment(0, Alignment::Left);
    open();
    EXPECT_FALSE(item("thisColumn")->isEnabled());
    EXPECT_TRUE(item("centerAlign")->isChecked());
}

TEST_F(MenuTest, alignItems_areExclusiveRadioItemsThatTickThemselves) {
    current.set({1, 1});
    QSignalSpy right(item("rightAlign"), &QAction::triggered);
    item("leftAlign")->trigger();
    item("rightAlign")->trigger();
    EXPECT_EQ(right.count(), 1);
    EXPECT_TRUE(item("rightAlign")->isChecked());
    EXPECT_FALSE(item("leftAlign")->isChecked());
    // Clicking the ticked item keeps it ticked.
    item("rightAlign")->trigger();
    EXPECT_TRUE(item("rightAlign")->isChecked());
}

TEST_F(MenuTest, opensAtTheCursor_onlyWithTheRightButton) {
    EXPECT_FALSE(menu.popupForButtons(Qt::LeftButton, QPoint(10, 20)));
    EXPECT_FALSE(menu.popupForButtons(Qt::NoButton, QPoint(10, 20)));
    EXPECT_FALSE(menu.popupForButtons(Qt::LeftButton | Qt::MiddleButton, QPoint(10, 20)));
    EXPECT_FALSE(menu.menu()->isVisible());

    EXPECT_TRUE(menu.popupForButtons(Qt::LeftButton | Qt::RightButton, QPoint(300, 400)));
    EXPECT_TRUE(menu.menu()->isVisible());
    EXPECT_EQ(menu.menu()->pos(), QPoint(300, 400));
    menu.menu()->close();

    // Without a position: where the pointer is now.
    QCursor::setPos(QPoint(123, 45));
    EXPECT_FALSE(menu.popupForButtons(Qt::LeftButton));
    EXPECT_TRUE(menu.popupForButtons(Qt::RightButton));
    EXPECT_EQ(menu.menu()->pos(), QPoint(123, 45));
}

TEST_F(MenuTest, noSkinLeavesItsTickToTheSkinMenu_andTheSkinSubmenuAsksForItsItems) {
    item("noSkin")->trigger();
    EXPECT_FALSE(item("noSkin")->isChecked());
    item("noSkin")->setChecked(true);
    item("noSkin")->trigger();
    EXPECT_TRUE(item("noSkin")->isChecked());

    QSignalSpy opening(&menu, &ContextMenu::skinMenuOpening);
    emit menu.skinMenu()->aboutToShow();
    EXPECT_EQ(opening.count(), 1);
}

TEST(MenuOwnership, windowAndMenuMayGoInEitherOrder) {
    TaskTable table;
    CurrentCell current(table);
    CommandActions actions(table, current, Language::English);
    {
        auto window = std::make_unique<QWidget>();
        ContextMenu menu(actions, window.get());
        EXPECT_EQ(menu.menu()->parent(), window.get());
        window.reset();
        EXPECT_EQ(menu.menu(), nullptr);
        // The actions still follow the table.
        table.setCaptionsBold(true);
    }
    {
        QWidget window;
        QPointer<QMenu> popup;
        {
            ContextMenu menu(actions, &window);
            popup = menu.menu();
        }
        EXPECT_FALSE(popup.isNull());
    }
}

}  // namespace
}  // namespace taskwick
