// Skins as the user meets them: a first start wearing a preferred skin found beside the
// program, the skin submenu listing and ticking, a pick that dresses the frame, and "No Skin",
// which restarts the program with the built-in frame.
#include "app/menu/ContextMenu.h"
#include "app/window/MainWindow.h"
#include "frame/widgets/FrameView.h"
#include "skins/SkinMenu.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/SkinMaker.h"

#include <QAction>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>

using namespace taskwick;
using taskwick::testing::WindowFixture;

namespace {

const QColor OceanBlue(20, 60, 200);
const QColor AmberColour(230, 150, 20);

// A point of the top strip that neither the logo nor a corner piece covers.
QRgb topStripPixel(MainWindow& window) {
    return window.frameView()->grab().toImage().pixel(260, 15);
}

// Opens the skin submenu as the user does and returns the texts of its items.
QStringList openSkinMenu(MainWindow& window) {
    QMenu* submenu = window.contextMenu()->skinMenu();
    submenu->popup(QPoint(10, 10));
    QStringList texts;
    for (QAction* action : submenu->actions()) {
        texts << (action->isSeparator() ? QStringLiteral("--") : action->text()) +
                     (action->isChecked() ? QStringLiteral(" *") : QString());
    }
    submenu->close();
    return texts;
}

// Picks the skin listed as `name` from the submenu, as the user does, and waits until the
// frame wears `colour`.
bool pickSkin(MainWindow& window, const QString& name, QColor colour) {
    openSkinMenu(window);
    SkinMenu* skins = window.skinMenu();
    for (std::size_t i = 0; i < skins->entries().size(); ++i) {
        if (skins->entries()[i].name == name) {
            skins->item(int(i) + 1)->trigger();
            return QTest::qWaitFor(
                [&] { return taskwick::testing::nearColour(topStripPixel(window), colour); });
        }
    }
    return false;
}

}  // namespace

TEST(SkinWindow, aFirstStartWearsThePreferredSkinFoundBesideTheProgram) {
    WindowFixture f;
    ASSERT_TRUE(taskwick::testing::makeSkin(f.dir.filePath("Skins/Zebra"), AmberColour));
    ASSERT_TRUE(
        taskwick::testing::makeSkin(f.dir.filePath("Skins/OCEAN"), OceanBlue));  // case differs
    auto window = f.make();
    window->startUp();
    EXPECT_EQ(window->skinName(), "OCEAN");
    EXPECT_EQ(window->skinsFolder(), f.dir.path() + "/Skins/");
    EXPECT_TRUE(window->skinFrameLoaded());
    EXPECT_EQ(window->frameView()->frameLayout().right.width(), 180);
    EXPECT_TRUE(taskwick::testing::nearColour(topStripPixel(*window), OceanBlue));
}

TEST(SkinWindow, theSubmenuListsTheSkins_ticksTheActiveOne_andAPickDressesTheFrame) {
    WindowFixture f;
    {
        auto first = f.make();
        first->startUp();  // no skins yet: the built-in frame
        first->closeAndSave();
    }
    ASSERT_TRUE(taskwick::testing::makeSkin(f.dir.filePath("Skins/Amber"), AmberColour));
    ASSERT_TRUE(taskwick::testing::makeSkin(f.dir.filePath("Skins/Ocean"), OceanBlue));
    ASSERT_TRUE(QDir().mkpath(f.dir.filePath("Skins/.hidden")));
    auto window = f.make();
    window->startUp();
    EXPECT_EQ(window->skinName(), "No Skin");
    const QRgb builtIn = topStripPixel(*window);

    QStringList items = openSkinMenu(*window);
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ((QStringList{items[0], items[1]}.contains("Amber") &&
               QStringList{items[0], items[1]}.contains("Ocean")),
              true)
        << items.join('|').toStdString();
    EXPECT_EQ(items.mid(2), QStringList({"--", "No Skin *"}));

    // Pick Ocean by its item, as the user does.
    SkinMenu* skins = window->skinMenu();
    const int oceanAt = skins->entries()[0].name == "Ocean" ? 1 : 2;
    skins->item(oceanAt)->trigger();
    EXPECT_EQ(window->skinName(), "Ocean");
    // The pictures are read on a thread of their own: the frame is dressed when they come.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return taskwick::testing::nearColour(topStripPixel(*window), OceanBlue); }));
    EXPECT_NE(topStripPixel(*window), builtIn);

    // The next opening lists afresh, numbered from 1 again, with the tick on Ocean.
    items = openSkinMenu(*window);
    ASSERT_EQ(items.size(), 4);
    EXPECT_TRUE(items.contains("Ocean *"));
    EXPECT_TRUE(items.contains("No Skin"));
    EXPECT_NE(skins->item(1), nullptr);
    EXPECT_EQ(skins->item(3), nullptr);
    EXPECT_TRUE(window->hasUnsavedChanges());
}

TEST(SkinWindow, noSkin_tellsTheUser_savesNoSkinAndRestarts_butOnlyWithASkinActive) {
    WindowFixture f(Language::German);
    ASSERT_TRUE(taskwick::testing::makeSkin(f.dir.filePath("Skins/Ocean"), OceanBlue));
    auto window = f.make();
    window->startUp();
    ASSERT_EQ(window->skinName(), "Ocean");
    f.presenter.boxes.clear();

    window->contextMenu()->item("noSkin")->trigger();
    ASSERT_EQ(f.presenter.boxes.size(), 1u);
    EXPECT_EQ(f.presenter.boxes[0].title, "Hinweis");
    EXPECT_EQ(f.presenter.boxes[0].text,
              QString::fromUtf8("Skin wurde abgewählt!\r\nTaskwick wird jetzt neu gestartet, um "
                                "diese Einstellung zu übernehmen"));
    EXPECT_EQ(f.handover.starts, 1);
    EXPECT_TRUE(window->isClosed());
    const QByteArray saved = f.listBytes();
    EXPECT_TRUE(saved.contains("<SkinName>No Skin</SkinName>"));
    EXPECT_TRUE(saved.contains("<SkinPath> </SkinPath>"));

    // The successor starts with the built-in frame; "No Skin" there does nothing at all.
    auto next = f.make();
    next->startUp();
    EXPECT_EQ(next->skinName(), "No Skin");
    EXPECT_FALSE(next->skinFrameLoaded());
    f.presenter.boxes.clear();
    next->contextMenu()->item("noSkin")->trigger();
    EXPECT_TRUE(f.presenter.boxes.empty());
    EXPECT_EQ(f.handover.starts, 1);
}

TEST(SkinWindow, theMenuListsFoldersOnly_byTheNamesAFileManagerShows_andEachOneDressesTheFrame) {
    WindowFixture f;
    {
        auto first = f.make();
        first->startUp();
        first->closeAndSave();
    }
    const QString skins = f.dir.filePath("Skins/");
    const QColor latinGreen(30, 160, 60);
    ASSERT_TRUE(taskwick::testing::makeSkin(skins + "Ocean", OceanBlue));
    ASSERT_TRUE(taskwick::testing::makeLargeSkin(skins + "Huge", AmberColour, 8000));
    // A folder named in Latin-1 bytes, as an old archive unpacks it: "Café".
    ASSERT_TRUE(taskwick::testing::makeSkin(skins + "made", latinGreen));
    const QByteArray base = QFile::encodeName(skins);
    ASSERT_EQ(std::rename(base + "made", base + "Caf\xe9"), 0);
    const QString longName = "Skin " + QString(240, QLatin1Char('n')) + " end";
    ASSERT_TRUE(QDir().mkpath(skins + longName));
    // Nothing of these is a folder.
    ASSERT_EQ(mkfifo(base + "fifo", 0600), 0);
    ASSERT_EQ(symlink("nowhere", base + "dangling"), 0);
    ASSERT_EQ(symlink("loop", base + "loop"), 0);
    ASSERT_EQ(symlink("Ocean", base + "link"), 0);  // a link to a folder is one

    auto window = f.make();
    window->startUp();
    QStringList items = openSkinMenu(*window);
    const QString cafe = QStringLiteral("Caf\uFFFD");
    for (const char* name : {"Ocean", "Huge", "link", "--", "No Skin *"}) {
        EXPECT_TRUE(items.contains(name)) << name;
    }
    EXPECT_TRUE(items.contains(cafe)) << items.join('|').toStdString();
    EXPECT_EQ(items.size(), 7) << items.join('|').toStdString();
    // The long name shows shortened in its middle, and whole in its hint.
    QAction* longItem = nullptr;
    for (QAction* action : window->contextMenu()->skinMenu()->actions()) {
        if (action->toolTip().contains(longName)) {
            longItem = action;
        }
    }
    ASSERT_NE(longItem, nullptr);
    EXPECT_TRUE(longItem->text().startsWith("Skin nnn"));
    EXPECT_TRUE(longItem->text().endsWith("nnn end"));
    EXPECT_LT(longItem->text().size(), 60);

    // Pictures of 8000 x 8000 pixels dress the frame.
    EXPECT_TRUE(pickSkin(*window, "Huge", AmberColour));
    EXPECT_TRUE(window->skinFrameLoaded());

    // A stored skin is found whatever the case of its folder's name is now.
    EXPECT_TRUE(pickSkin(*window, "Ocean", OceanBlue));
    window->closeAndSave();
    ASSERT_TRUE(QDir(skins).rename("Ocean", "OCEAN"));
    window = f.make();
    window->startUp();
    EXPECT_EQ(window->skinName(), "OCEAN");
    EXPECT_TRUE(taskwick::testing::nearColour(topStripPixel(*window), OceanBlue));

    // The Latin-1 folder dresses the frame too, and again after a restart.
    EXPECT_TRUE(pickSkin(*window, cafe, latinGreen));
    window->closeAndSave();
    window = f.make();
    window->startUp();
    EXPECT_EQ(window->skinName(), cafe);
    EXPECT_TRUE(taskwick::testing::nearColour(topStripPixel(*window), latinGreen));
}
