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

#include <vector>

namespace taskwick {
namespace {

// Records where the menu would open instead of showing it.
class RecordingMenu : public ContextMenu {
public:
    using ContextMenu::ContextMenu;
    std::vector<QPoint> openedAt;

protected:
    void popupAt(const QPoint& globalPos) override { openedAt.push_back(globalPos); }
};

QStringList names(const QMenu* menu) {
    QStringList list;
    for (const QAction* action : menu->actions()) {
        list << action->objectName();
    }
    return list;
}

QStringList visibleNames(const QMenu* menu) {
    QStringList list;
    for (const QAction* action : menu->actions()) {
        if (action->isVisible()) {
            list << action->objectName();
        }
    }
    return list;
}

// The items of the two settings pairs (both languages) that the menu shows.
QStringList visibleSettingItems(const QMenu* menu) {
    static const QStringList pairs{"titleBoldOff",      "titleBoldOn",  "germanTitleBoldOff",
                                   "germanTitleBoldOn", "gridLinesOff", "gridLinesOn"};
    QStringList shown;
    for (const QString& name : visibleNames(menu)) {
        if (pairs.contains(name)) {
            shown << name;
        }
    }
    return shown;
}

// The real menu wired to the real toggles, as the main window does it.
class MenuWithCommands {
public:
    explicit MenuWithCommands(Language language)
        : menu(table, language),
          commands(
              table, language, [](const QString&, const QString&) { return true; }, [] {}) {
        QObject::connect(&menu, &ContextMenu::makeTitleBoldClicked,
                         [this] { commands.toggleHeaderBold(); });
        QObject::connect(&menu, &ContextMenu::showGridLinesClicked,
                         [this] { commands.toggleGridLines(); });
    }

    // Opens the menu as a right press does and reads which pair items it shows.
    QStringList openAndReadPairs() {
        EXPECT_TRUE(menu.popupForButtons(Qt::RightButton, QPoint(40, 50)));
        EXPECT_TRUE(menu.menu()->isVisible());
        return visibleSettingItems(menu.menu());
    }

    void click(const char* name) {
        QAction* action = menu.item(QLatin1String(name));
        ASSERT_NE(action, nullptr) << name;
        ASSERT_TRUE(menu.menu()->isVisible());
        const QPoint at = menu.menu()->actionGeometry(action).center();
        QTest::mouseClick(menu.menu(), Qt::LeftButton, {}, at);
        EXPECT_FALSE(menu.menu()->isVisible());
    }

    TaskTable table;
    ContextMenu menu;
    TableCommands commands;
};

class MenuTest : public ::testing::Test {
protected:
    QAction* item(const char* name) {
        QAction* action = menu.item(QLatin1String(name));
        EXPECT_NE(action, nullptr) << name;
        return action;
    }

    TaskTable table;
    RecordingMenu menu{table, Language::English};
};

TEST_F(MenuTest, tree_holdsEveryItemInOrder) {
    EXPECT_EQ(names(menu.menu()), (QStringList{"changeTitle",
                                               "titleBoldOff",
                                               "titleBoldOn",
                                               "germanTitleBoldOff",
                                               "germanTitleBoldOn",
                                               "gridLinesOff",
                                               "gridLinesOn",
                                               "separator1",
                                               "thisColumn",
                                               "separator2",
                                               "addRow",
                                               "deleteRow",
                                               "separator3",
                                               "addColumn",
                                               "deleteColumn",
                                               "separator4",
                                               "skin",
                                               "separator5",
                                               "openFileFolder",
                                               "about",
                                               "separator6",
                                               "exit"}));
    EXPECT_EQ(names(menu.thisColumnMenu()),
              (QStringList{"leftAlign", "centerAlign", "rightAlign"}));
    EXPECT_EQ(names(menu.skinMenu()), (QStringList{"separator7", "noSkin"}));
    EXPECT_TRUE(item("separator1")->isSeparator());
    EXPECT_EQ(item("thisColumn"), menu.thisColumnMenu()->menuAction());
    EXPECT_EQ(item("skin"), menu.skinMenu()->menuAction());
}

TEST_F(MenuTest, captions_areEnglishWithAccessKeys) {
    EXPECT_EQ(item("changeTitle")->text(), "Change &Title Text");
    EXPECT_EQ(item("titleBoldOn")->text(), "Title &Bold");
    EXPECT_EQ(item("germanTitleBoldOn")->text(), "Titelzeile Fett");
    EXPECT_EQ(item("gridLinesOff")->text(), "Draw &Grid Lines");
    EXPECT_EQ(item("thisColumn")->text(), "&Column ...");
    EXPECT_EQ(item("rightAlign")->text(), "RightAlign");
    EXPECT_EQ(item("addColumn")->text(), "A&dd Column");
    EXPECT_EQ(item("deleteColumn")->text(), "D&elete Column");
    EXPECT_EQ(item("skin")->text(), "&Skin ...");
    EXPECT_EQ(item("noSkin")->text(), "No Skin");
    EXPECT_EQ(item("about")->text(), "&About Taskwick");
    EXPECT_EQ(item("exit")->text(), "E&xit");
}

TEST_F(MenuTest, pictures_are16PixelImagesWhereTheItemHasOne_onceTheMenuOpens) {
    EXPECT_TRUE(item("exit")->icon().isNull());  // nothing read while the program starts
    menu.popupForButtons(Qt::RightButton, QPoint(10, 10));
    for (const char* name :
         {"changeTitle", "titleBoldOff", "titleBoldOn", "germanTitleBoldOn", "gridLinesOff",
          "gridLinesOn", "thisColumn", "addRow", "deleteRow", "addColumn", "deleteColumn", "skin",
          "openFileFolder", "about", "exit"}) {
        const QIcon icon = item(name)->icon();
        ASSERT_FALSE(icon.isNull()) << name;
        EXPECT_EQ(icon.pixmap(16, 16).size(), QSize(16, 16)) << name;
    }
    for (const char* name : {"leftAlign", "centerAlign", "rightAlign", "noSkin"}) {
        EXPECT_TRUE(item(name)->icon().isNull()) << name;
    }
    // The "on" pictures differ from the "off" ones by their check mark.
    EXPECT_NE(item("gridLinesOn")->icon().pixmap(16, 16).toImage(),
              item("gridLinesOff")->icon().pixmap(16, 16).toImage());
    EXPECT_NE(item("titleBoldOn")->icon().pixmap(16, 16).toImage(),
              item("titleBoldOff")->icon().pixmap(16, 16).toImage());
}

TEST_F(MenuTest, enableRules_followTableSize) {
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
        menu.prepareItems();
        const auto where = testing::Message() << c.rows << " rows, " << c.cols << " columns";
        EXPECT_EQ(item("addRow")->isEnabled(), c.addRow) << where;
        EXPECT_EQ(item("deleteRow")->isEnabled(), c.deleteRow) << where;
        EXPECT_EQ(item("addColumn")->isEnabled(), c.addColumn) << where;
        EXPECT_EQ(item("deleteColumn")->isEnabled(), c.deleteColumn) << where;
    }
}

TEST_F(MenuTest, columnSubmenu_disabledWithoutCurrentCellAndKeepsTicks) {
    menu.prepareItems();
    EXPECT_FALSE(item("thisColumn")->isEnabled());
    EXPECT_FALSE(item("leftAlign")->isChecked());

    table.setCurrentCell({2, 1});
    table.setColumnAlignment(2, Alignment::Right);
    menu.prepareItems();
    EXPECT_TRUE(item("thisColumn")->isEnabled());
    EXPECT_TRUE(item("rightAlign")->isChecked());

    table.clearCurrentCell();
    table.setColumnAlignment(2, Alignment::Left);
    menu.prepareItems();
    EXPECT_FALSE(item("thisColumn")->isEnabled());
    EXPECT_TRUE(item("rightAlign")->isChecked());
    EXPECT_FALSE(item("leftAlign")->isChecked());
}

TEST_F(MenuTest, columnSubmenu_ticksOnlyTheCurrentColumnsAlignment) {
    table.setColumnAlignment(0, Alignment::Center);
    table.setColumnAlignment(1, Alignment::Right);
    table.setCurrentCell({0, 2});
    menu.prepareItems();
    EXPECT_FALSE(item("leftAlign")->isChecked());
    EXPECT_TRUE(item("centerAlign")->isChecked());
    EXPECT_FALSE(item("rightAlign")->isChecked());

    table.setCurrentCell({2, 2});
    menu.prepareItems();
    EXPECT_TRUE(item("leftAlign")->isChecked());
    EXPECT_FALSE(item("centerAlign")->isChecked());
}

TEST_F(MenuTest, alignItems_areExclusiveRadioItemsThatTickThemselves) {
    QSignalSpy right(&menu, &ContextMenu::rightAlignClicked);
    item("leftAlign")->trigger();
    item("rightAlign")->trigger();
    EXPECT_EQ(right.count(), 1);
    EXPECT_TRUE(item("rightAlign")->isChecked());
    EXPECT_FALSE(item("leftAlign")->isChecked());
    // Clicking the ticked item keeps it ticked.
    item("rightAlign")->trigger();
    EXPECT_TRUE(item("rightAlign")->isChecked());
}

TEST(MenuSettingPairs, everyOpeningShowsTheTablesFlags_clickedItemSwapsForItsPartner) {
    MenuWithCommands m(Language::English);
    // Right from the start, with nobody asking the menu to catch up.
    EXPECT_EQ(m.openAndReadPairs(), (QStringList{"titleBoldOff", "gridLinesOn"}));

    m.click("titleBoldOff");
    EXPECT_TRUE(m.table.headerTextBold());
    EXPECT_EQ(m.openAndReadPairs(), (QStringList{"titleBoldOn", "gridLinesOn"}));

    m.click("gridLinesOn");
    EXPECT_FALSE(m.table.drawGridLines());
    EXPECT_EQ(m.openAndReadPairs(), (QStringList{"titleBoldOn", "gridLinesOff"}));

    m.click("titleBoldOn");
    EXPECT_EQ(m.openAndReadPairs(), (QStringList{"titleBoldOff", "gridLinesOff"}));
    m.menu.menu()->close();

    // Flags changed elsewhere (loading a list) show at the next opening as well.
    m.table.setHeaderTextBold(true);
    m.table.setDrawGridLines(true);
    EXPECT_EQ(m.openAndReadPairs(), (QStringList{"titleBoldOn", "gridLinesOn"}));
    m.menu.menu()->close();
}

TEST_F(MenuTest, popupFake_opensAtCursorOnlyWithRightButton) {
    EXPECT_FALSE(menu.popupForButtons(Qt::LeftButton, QPoint(10, 20)));
    EXPECT_FALSE(menu.popupForButtons(Qt::NoButton, QPoint(10, 20)));
    EXPECT_FALSE(menu.popupForButtons(Qt::LeftButton | Qt::MiddleButton, QPoint(10, 20)));
    EXPECT_TRUE(menu.openedAt.empty());

    EXPECT_TRUE(menu.popupForButtons(Qt::RightButton, QPoint(300, 400)));
    EXPECT_TRUE(menu.popupForButtons(Qt::LeftButton | Qt::RightButton, QPoint(5, 6)));
    EXPECT_EQ(menu.openedAt, (std::vector<QPoint>{QPoint(300, 400), QPoint(5, 6)}));

    // Without a position: where the pointer is now.
    QCursor::setPos(QPoint(123, 45));
    EXPECT_FALSE(menu.popupForButtons(Qt::LeftButton));
    EXPECT_TRUE(menu.popupForButtons(Qt::LeftButton | Qt::RightButton));
    EXPECT_EQ(menu.openedAt.back(), QPoint(123, 45));
    EXPECT_EQ(menu.openedAt.size(), 3u);
}

TEST_F(MenuTest, items_emitTheirCommands) {
    const struct {
        const char* name;
        void (ContextMenu::*signal)();
    } wiring[] = {
        {"changeTitle", &ContextMenu::changeTitleClicked},
        {"titleBoldOff", &ContextMenu::makeTitleBoldClicked},
        {"titleBoldOn", &ContextMenu::makeTitleBoldClicked},
        {"germanTitleBoldOff", &ContextMenu::makeTitleBoldClicked},
        {"germanTitleBoldOn", &ContextMenu::makeTitleBoldClicked},
        {"gridLinesOff", &ContextMenu::showGridLinesClicked},
        {"gridLinesOn", &ContextMenu::showGridLinesClicked},
        {"leftAlign", &ContextMenu::leftAlignClicked},
        {"centerAlign", &ContextMenu::centerAlignClicked},
        {"addRow", &ContextMenu::addRowClicked},
        {"deleteRow", &ContextMenu::deleteRowClicked},
        {"addColumn", &ContextMenu::addColumnClicked},
        {"deleteColumn", &ContextMenu::deleteColumnClicked},
        {"noSkin", &ContextMenu::noSkinClicked},
        {"openFileFolder", &ContextMenu::openFolderHereClicked},
        {"about", &ContextMenu::aboutClicked},
        {"exit", &ContextMenu::exitClicked},
    };
    for (const auto& w : wiring) {
        QSignalSpy spy(&menu, w.signal);
        item(w.name)->trigger();
        EXPECT_EQ(spy.count(), 1) << w.name;
    }
}

TEST_F(MenuTest, noSkinClick_leavesItsTickToTheSkinMenu) {
    item("noSkin")->trigger();
    EXPECT_FALSE(item("noSkin")->isChecked());
    item("noSkin")->setChecked(true);
    item("noSkin")->trigger();
    EXPECT_TRUE(item("noSkin")->isChecked());
}

TEST_F(MenuTest, openingTheSkinSubmenu_asksForItsItems) {
    QSignalSpy opening(&menu, &ContextMenu::skinMenuOpening);
    emit menu.skinMenu()->aboutToShow();
    EXPECT_EQ(opening.count(), 1);
}

TEST(MenuPopup, rightPress_showsThePreparedMenuWithoutBlocking) {
    TaskTable table;
    table.setRowCount(100);
    ContextMenu menu(table, Language::English);
    EXPECT_FALSE(menu.popupForButtons(Qt::LeftButton, QPoint(40, 50)));
    EXPECT_FALSE(menu.menu()->isVisible());

    ASSERT_TRUE(menu.popupForButtons(Qt::RightButton, QPoint(40, 50)));
    EXPECT_TRUE(menu.menu()->isVisible());
    EXPECT_FALSE(menu.item("addRow")->isEnabled());
    menu.menu()->close();
}

TEST(MenuOwnership, windowAndMenuMayGoInEitherOrder) {
    TaskTable table;
    {
        auto window = std::make_unique<QWidget>();
        ContextMenu menu(table, Language::English, window.get());
        EXPECT_EQ(menu.menu()->parent(), window.get());
        window.reset();
        EXPECT_EQ(menu.menu(), nullptr);
        // The menu still follows the table, which must not reach for the menu that is gone.
        table.setHeaderTextBold(true);
    }
    {
        QWidget window;
        QPointer<QMenu> popup;
        {
            ContextMenu menu(table, Language::English, &window);
            popup = menu.menu();
        }
        EXPECT_FALSE(popup.isNull());
    }
}

class GermanMenuTest : public ::testing::Test {
protected:
    QAction* item(const char* name) { return menu.item(QLatin1String(name)); }

    TaskTable table;
    RecordingMenu menu{table, Language::German};
};

TEST_F(GermanMenuTest, opening_setsGermanCaptionsEachTimeButKeepsSkin) {
    EXPECT_EQ(item("changeTitle")->text(), "Change &Title Text");
    menu.prepareItems();
    EXPECT_EQ(item("changeTitle")->text(), QString::fromUtf8("Titelzeile ändern"));
    EXPECT_EQ(item("gridLinesOff")->text(), "Tabellen-Linien malen");
    EXPECT_EQ(item("gridLinesOn")->text(), "Tabellen-Linien malen");
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

    item("exit")->setText("changed elsewhere");
    menu.prepareItems();
    EXPECT_EQ(item("exit")->text(), "Beenden");
}

TEST(GermanMenuSettingPairs, onlyTheGermanBoldItemsAreEverShown) {
    MenuWithCommands m(Language::German);
    EXPECT_EQ(m.openAndReadPairs(), (QStringList{"germanTitleBoldOff", "gridLinesOn"}));
    m.click("germanTitleBoldOff");
    EXPECT_TRUE(m.table.headerTextBold());
    EXPECT_EQ(m.openAndReadPairs(), (QStringList{"germanTitleBoldOn", "gridLinesOn"}));
    EXPECT_EQ(m.menu.item("germanTitleBoldOn")->text(), "Titelzeile Fett");
    m.click("germanTitleBoldOn");
    EXPECT_FALSE(m.table.headerTextBold());
    EXPECT_EQ(m.openAndReadPairs(), (QStringList{"germanTitleBoldOff", "gridLinesOn"}));
    m.menu.menu()->close();
}

}  // namespace
}  // namespace taskwick
