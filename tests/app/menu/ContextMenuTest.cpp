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
    static const QStringList pairs{"mnuMakeTitleBoldDeaktiv", "mnuMakeTitleBoldAktiv",
                                   "mnuTitleFettDeaktiv",     "mnuTitleFettAktiv",
                                   "mnuShowGridLinesDeaktiv", "mnuShowGridLinesAktiv"};
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
        EXPECT_TRUE(menu.PopupFake(Qt::RightButton, QPoint(40, 50)));
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
    EXPECT_EQ(names(menu.menu()), (QStringList{"mnuChangeTitle",
                                               "mnuMakeTitleBoldDeaktiv",
                                               "mnuMakeTitleBoldAktiv",
                                               "mnuTitleFettDeaktiv",
                                               "mnuTitleFettAktiv",
                                               "mnuShowGridLinesDeaktiv",
                                               "mnuShowGridLinesAktiv",
                                               "mnuSeparator1",
                                               "mnuThisColumn",
                                               "mnuSeparator2",
                                               "mnuAddRow",
                                               "mnuDeleteRow",
                                               "mnuSeparator3",
                                               "mnuAddColumn",
                                               "mnuDeleteColumn",
                                               "mnuSeparator4",
                                               "mnuSkin",
                                               "mnuSeparator5",
                                               "mnuOpenFolderHere",
                                               "mnuAbout",
                                               "mnuSeparator6",
                                               "mnuExit"}));
    EXPECT_EQ(names(menu.thisColumnMenu()),
              (QStringList{"mnuLeftAlign", "mnuCenterAlign", "mnuRightAlign"}));
    EXPECT_EQ(names(menu.skinMenu()), (QStringList{"mnuSeparator7", "mnuNoSkin"}));
    EXPECT_TRUE(item("mnuSeparator1")->isSeparator());
    EXPECT_EQ(item("mnuThisColumn"), menu.thisColumnMenu()->menuAction());
    EXPECT_EQ(item("mnuSkin"), menu.skinMenu()->menuAction());
}

TEST_F(MenuTest, captions_areEnglishWithAccessKeys) {
    EXPECT_EQ(item("mnuChangeTitle")->text(), "Change &Title Text");
    EXPECT_EQ(item("mnuMakeTitleBoldAktiv")->text(), "Title &Bold");
    EXPECT_EQ(item("mnuTitleFettAktiv")->text(), "Titelzeile Fett");
    EXPECT_EQ(item("mnuShowGridLinesDeaktiv")->text(), "Draw &Grid Lines");
    EXPECT_EQ(item("mnuThisColumn")->text(), "&Column ...");
    EXPECT_EQ(item("mnuRightAlign")->text(), "RightAlign");
    EXPECT_EQ(item("mnuAddColumn")->text(), "A&dd Column");
    EXPECT_EQ(item("mnuDeleteColumn")->text(), "D&elete Column");
    EXPECT_EQ(item("mnuSkin")->text(), "&Skin ...");
    EXPECT_EQ(item("mnuNoSkin")->text(), "No Skin");
    EXPECT_EQ(item("mnuAbout")->text(), "&About Taskwick");
    EXPECT_EQ(item("mnuExit")->text(), "E&xit");
}

TEST_F(MenuTest, pictures_are16PixelImagesWhereTheItemHasOne) {
    for (const char* name :
         {"mnuChangeTitle", "mnuMakeTitleBoldDeaktiv", "mnuMakeTitleBoldAktiv", "mnuTitleFettAktiv",
          "mnuShowGridLinesDeaktiv", "mnuShowGridLinesAktiv", "mnuThisColumn", "mnuAddRow",
          "mnuDeleteRow", "mnuAddColumn", "mnuDeleteColumn", "mnuSkin", "mnuOpenFolderHere",
          "mnuAbout", "mnuExit"}) {
        const QIcon icon = item(name)->icon();
        ASSERT_FALSE(icon.isNull()) << name;
        EXPECT_EQ(icon.pixmap(16, 16).size(), QSize(16, 16)) << name;
    }
    for (const char* name : {"mnuLeftAlign", "mnuCenterAlign", "mnuRightAlign", "mnuNoSkin"}) {
        EXPECT_TRUE(item(name)->icon().isNull()) << name;
    }
    // The "on" pictures differ from the "off" ones by their check mark.
    EXPECT_NE(item("mnuShowGridLinesAktiv")->icon().pixmap(16, 16).toImage(),
              item("mnuShowGridLinesDeaktiv")->icon().pixmap(16, 16).toImage());
    EXPECT_NE(item("mnuMakeTitleBoldAktiv")->icon().pixmap(16, 16).toImage(),
              item("mnuMakeTitleBoldDeaktiv")->icon().pixmap(16, 16).toImage());
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
        menu.PopupMenuPopup();
        const auto where = testing::Message() << c.rows << " rows, " << c.cols << " columns";
        EXPECT_EQ(item("mnuAddRow")->isEnabled(), c.addRow) << where;
        EXPECT_EQ(item("mnuDeleteRow")->isEnabled(), c.deleteRow) << where;
        EXPECT_EQ(item("mnuAddColumn")->isEnabled(), c.addColumn) << where;
        EXPECT_EQ(item("mnuDeleteColumn")->isEnabled(), c.deleteColumn) << where;
    }
}

TEST_F(MenuTest, columnSubmenu_disabledWithoutCurrentCellAndKeepsTicks) {
    menu.PopupMenuPopup();
    EXPECT_FALSE(item("mnuThisColumn")->isEnabled());
    EXPECT_FALSE(item("mnuLeftAlign")->isChecked());

    table.setCurrentCell({2, 1});
    table.setColumnAlignment(2, ALIGNRIGHT);
    menu.PopupMenuPopup();
    EXPECT_TRUE(item("mnuThisColumn")->isEnabled());
    EXPECT_TRUE(item("mnuRightAlign")->isChecked());

    table.ClearCurrentCell();
    table.setColumnAlignment(2, ALIGNLEFT);
    menu.PopupMenuPopup();
    EXPECT_FALSE(item("mnuThisColumn")->isEnabled());
    EXPECT_TRUE(item("mnuRightAlign")->isChecked());
    EXPECT_FALSE(item("mnuLeftAlign")->isChecked());
}

TEST_F(MenuTest, columnSubmenu_ticksOnlyTheCurrentColumnsAlignment) {
    table.setColumnAlignment(0, ALIGNCENTER);
    table.setColumnAlignment(1, ALIGNRIGHT);
    table.setCurrentCell({0, 2});
    menu.PopupMenuPopup();
    EXPECT_FALSE(item("mnuLeftAlign")->isChecked());
    EXPECT_TRUE(item("mnuCenterAlign")->isChecked());
    EXPECT_FALSE(item("mnuRightAlign")->isChecked());

    table.setCurrentCell({2, 2});
    menu.PopupMenuPopup();
    EXPECT_TRUE(item("mnuLeftAlign")->isChecked());
    EXPECT_FALSE(item("mnuCenterAlign")->isChecked());
}

TEST_F(MenuTest, alignItems_areExclusiveRadioItemsThatTickThemselves) {
    QSignalSpy right(&menu, &ContextMenu::rightAlignClicked);
    item("mnuLeftAlign")->trigger();
    item("mnuRightAlign")->trigger();
    EXPECT_EQ(right.count(), 1);
    EXPECT_TRUE(item("mnuRightAlign")->isChecked());
    EXPECT_FALSE(item("mnuLeftAlign")->isChecked());
    // Clicking the ticked item keeps it ticked.
    item("mnuRightAlign")->trigger();
    EXPECT_TRUE(item("mnuRightAlign")->isChecked());
}

TEST(MenuSettingPairs, everyOpeningShowsTheTablesFlags_clickedItemSwapsForItsPartner) {
    MenuWithCommands m(Language::English);
    // Right from the start, with nobody asking the menu to catch up.
    EXPECT_EQ(m.openAndReadPairs(),
              (QStringList{"mnuMakeTitleBoldDeaktiv", "mnuShowGridLinesAktiv"}));

    m.click("mnuMakeTitleBoldDeaktiv");
    EXPECT_TRUE(m.table.headerTextBold());
    EXPECT_EQ(m.openAndReadPairs(),
              (QStringList{"mnuMakeTitleBoldAktiv", "mnuShowGridLinesAktiv"}));

    m.click("mnuShowGridLinesAktiv");
    EXPECT_FALSE(m.table.drawGridLines());
    EXPECT_EQ(m.openAndReadPairs(),
              (QStringList{"mnuMakeTitleBoldAktiv", "mnuShowGridLinesDeaktiv"}));

    m.click("mnuMakeTitleBoldAktiv");
    EXPECT_EQ(m.openAndReadPairs(),
              (QStringList{"mnuMakeTitleBoldDeaktiv", "mnuShowGridLinesDeaktiv"}));
    m.menu.menu()->close();

    // Flags changed elsewhere (loading a list) show at the next opening as well.
    m.table.setHeaderTextBold(true);
    m.table.setDrawGridLines(true);
    EXPECT_EQ(m.openAndReadPairs(),
              (QStringList{"mnuMakeTitleBoldAktiv", "mnuShowGridLinesAktiv"}));
    m.menu.menu()->close();
}

TEST_F(MenuTest, popupFake_opensAtCursorOnlyWithRightButton) {
    EXPECT_FALSE(menu.PopupFake(Qt::LeftButton, QPoint(10, 20)));
    EXPECT_FALSE(menu.PopupFake(Qt::NoButton, QPoint(10, 20)));
    EXPECT_FALSE(menu.PopupFake(Qt::LeftButton | Qt::MiddleButton, QPoint(10, 20)));
    EXPECT_TRUE(menu.openedAt.empty());

    EXPECT_TRUE(menu.PopupFake(Qt::RightButton, QPoint(300, 400)));
    EXPECT_TRUE(menu.PopupFake(Qt::LeftButton | Qt::RightButton, QPoint(5, 6)));
    EXPECT_EQ(menu.openedAt, (std::vector<QPoint>{QPoint(300, 400), QPoint(5, 6)}));

    // Without a position: where the pointer is now.
    QCursor::setPos(QPoint(123, 45));
    EXPECT_FALSE(menu.PopupFake(Qt::LeftButton));
    EXPECT_TRUE(menu.PopupFake(Qt::LeftButton | Qt::RightButton));
    EXPECT_EQ(menu.openedAt.back(), QPoint(123, 45));
    EXPECT_EQ(menu.openedAt.size(), 3u);
}

TEST_F(MenuTest, items_emitTheirCommands) {
    const struct {
        const char* name;
        void (ContextMenu::*signal)();
    } wiring[] = {
        {"mnuChangeTitle", &ContextMenu::changeTitleClicked},
        {"mnuMakeTitleBoldDeaktiv", &ContextMenu::makeTitleBoldClicked},
        {"mnuMakeTitleBoldAktiv", &ContextMenu::makeTitleBoldClicked},
        {"mnuTitleFettDeaktiv", &ContextMenu::makeTitleBoldClicked},
        {"mnuTitleFettAktiv", &ContextMenu::makeTitleBoldClicked},
        {"mnuShowGridLinesDeaktiv", &ContextMenu::showGridLinesClicked},
        {"mnuShowGridLinesAktiv", &ContextMenu::showGridLinesClicked},
        {"mnuLeftAlign", &ContextMenu::leftAlignClicked},
        {"mnuCenterAlign", &ContextMenu::centerAlignClicked},
        {"mnuAddRow", &ContextMenu::addRowClicked},
        {"mnuDeleteRow", &ContextMenu::deleteRowClicked},
        {"mnuAddColumn", &ContextMenu::addColumnClicked},
        {"mnuDeleteColumn", &ContextMenu::deleteColumnClicked},
        {"mnuNoSkin", &ContextMenu::noSkinClicked},
        {"mnuOpenFolderHere", &ContextMenu::openFolderHereClicked},
        {"mnuAbout", &ContextMenu::aboutClicked},
        {"mnuExit", &ContextMenu::exitClicked},
    };
    for (const auto& w : wiring) {
        QSignalSpy spy(&menu, w.signal);
        item(w.name)->trigger();
        EXPECT_EQ(spy.count(), 1) << w.name;
    }
}

TEST_F(MenuTest, noSkinClick_leavesItsTickToTheSkinMenu) {
    item("mnuNoSkin")->trigger();
    EXPECT_FALSE(item("mnuNoSkin")->isChecked());
    item("mnuNoSkin")->setChecked(true);
    item("mnuNoSkin")->trigger();
    EXPECT_TRUE(item("mnuNoSkin")->isChecked());
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
    EXPECT_FALSE(menu.PopupFake(Qt::LeftButton, QPoint(40, 50)));
    EXPECT_FALSE(menu.menu()->isVisible());

    ASSERT_TRUE(menu.PopupFake(Qt::RightButton, QPoint(40, 50)));
    EXPECT_TRUE(menu.menu()->isVisible());
    EXPECT_FALSE(menu.item("mnuAddRow")->isEnabled());
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
    EXPECT_EQ(item("mnuChangeTitle")->text(), "Change &Title Text");
    menu.PopupMenuPopup();
    EXPECT_EQ(item("mnuChangeTitle")->text(), QString::fromUtf8("Titelzeile ändern"));
    EXPECT_EQ(item("mnuShowGridLinesDeaktiv")->text(), "Tabellen-Linien malen");
    EXPECT_EQ(item("mnuShowGridLinesAktiv")->text(), "Tabellen-Linien malen");
    EXPECT_EQ(item("mnuThisColumn")->text(), "Spalte...");
    EXPECT_EQ(item("mnuLeftAlign")->text(), "Links");
    EXPECT_EQ(item("mnuCenterAlign")->text(), "Zentriert");
    EXPECT_EQ(item("mnuRightAlign")->text(), "Rechts");
    EXPECT_EQ(item("mnuAddRow")->text(), QString::fromUtf8("Neue Zeile hinzufügen"));
    EXPECT_EQ(item("mnuDeleteRow")->text(), "Letzte Zeile entfernen");
    EXPECT_EQ(item("mnuAddColumn")->text(), QString::fromUtf8("Neue Spalte hinzufügen"));
    EXPECT_EQ(item("mnuDeleteColumn")->text(), "Letzte Spalte entfernen");
    EXPECT_EQ(item("mnuSkin")->text(), "&Skin ...");
    EXPECT_EQ(item("mnuNoSkin")->text(), "Kein Skin");
    EXPECT_EQ(item("mnuOpenFolderHere")->text(), QString::fromUtf8("Datei-Ordner öffnen"));
    EXPECT_EQ(item("mnuAbout")->text(), QString::fromUtf8("Über Taskwick"));
    EXPECT_EQ(item("mnuExit")->text(), "Beenden");

    item("mnuExit")->setText("changed elsewhere");
    menu.PopupMenuPopup();
    EXPECT_EQ(item("mnuExit")->text(), "Beenden");
}

TEST(GermanMenuSettingPairs, onlyTheGermanBoldItemsAreEverShown) {
    MenuWithCommands m(Language::German);
    EXPECT_EQ(m.openAndReadPairs(), (QStringList{"mnuTitleFettDeaktiv", "mnuShowGridLinesAktiv"}));
    m.click("mnuTitleFettDeaktiv");
    EXPECT_TRUE(m.table.headerTextBold());
    EXPECT_EQ(m.openAndReadPairs(), (QStringList{"mnuTitleFettAktiv", "mnuShowGridLinesAktiv"}));
    EXPECT_EQ(m.menu.item("mnuTitleFettAktiv")->text(), "Titelzeile Fett");
    m.click("mnuTitleFettAktiv");
    EXPECT_FALSE(m.table.headerTextBold());
    EXPECT_EQ(m.openAndReadPairs(), (QStringList{"mnuTitleFettDeaktiv", "mnuShowGridLinesAktiv"}));
    m.menu.menu()->close();
}

}  // namespace
}  // namespace taskwick
