// Skins as the user meets them: a first start wearing a preferred skin found beside the
// program, the skin submenu listing and ticking, a pick that dresses the frame, and "No Skin",
// which restarts the program with the built-in frame.
#include "app/window/MainWindow.h"
#include "frame/widgets/FrameView.h"
#include "skins/SkinLoader.h"
#include "skins/SkinMenu.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/SkinMaker.h"

#include <QAction>
#include <QMenu>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>

using namespace taskwick;
using namespace taskwick::testing;

namespace {

const QColor OceanBlue(20, 60, 200);
const QColor AmberColor(230, 150, 20);

// A point of the top strip that neither the logo nor a corner piece covers.
QRgb topStripPixel(MainWindow& window) {
    return frameOf(window).grab().toImage().pixel(260, 15);
}

QMenu* skinSubmenu(MainWindow& window) {
    return window.findChild<QMenu*>(QStringLiteral("skin"));
}

// Opens the skin submenu as the user does and returns the texts of its items, the ticked one
// marked with " *".
QStringList openSkinMenu(MainWindow& window) {
    QMenu* submenu = skinSubmenu(window);
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
// frame wears `color`.
bool pickSkin(MainWindow& window, const QString& name, QColor color) {
    openSkinMenu(window);
    SkinMenu* skins = window.findChild<SkinMenu*>();
    for (std::size_t i = 0; i < skins->entries().size(); ++i) {
        if (skins->entries()[i].name == name) {
            skins->item(int(i) + 1)->trigger();
            return QTest::qWaitFor(
                [&] { return taskwick::testing::nearColor(topStripPixel(window), color); });
        }
    }
    return false;
}

// The skin the submenu ticks: the one the window wears.
QString wornSkin(MainWindow& window) {
    for (const QString& item : openSkinMenu(window)) {
        if (item.endsWith(" *")) {
            return item.chopped(2);
        }
    }
    return {};
}

// Whether the frame's right strip, beside the table, shows the skin of that color.
bool wearsSkinFrame(MainWindow& window, const QColor& skin) {
    const QImage frame = frameOf(window).grab().toImage();
    return taskwick::testing::nearColor(frame.pixel(frame.width() - 15, 80), skin);
}

}  // namespace

TEST(SkinWindow, aFirstStartWearsThePreferredSkinFoundBesideTheProgram) {
    WindowFixture f;
    ASSERT_TRUE(taskwick::testing::makeSkin(f.dir.filePath("Skins/Zebra"), AmberColor));
    ASSERT_TRUE(
        taskwick::testing::makeSkin(f.dir.filePath("Skins/OCEAN"), OceanBlue));  // case differs
    auto window = f.make();
    window->startUp();
    EXPECT_EQ(wornSkin(*window), "OCEAN");
    EXPECT_TRUE(wearsSkinFrame(*window, OceanBlue));
    EXPECT_TRUE(taskwick::testing::nearColor(topStripPixel(*window), OceanBlue));
    window->close();
    EXPECT_TRUE(f.listBytes().contains("<SkinPath>" + QFile::encodeName(f.dir.path()) +
                                       "/Skins/</SkinPath>"));
}

TEST(SkinWindow, theSubmenuListsTheSkins_ticksTheActiveOne_andAPickDressesTheFrame) {
    WindowFixture f;
    f.settings.autoSaveDelayMs = 50;
    {
        auto first = f.make();
        first->startUp();  // no skins yet: the built-in frame
        first->close();
    }
    ASSERT_TRUE(taskwick::testing::makeSkin(f.dir.filePath("Skins/Amber"), AmberColor));
    ASSERT_TRUE(taskwick::testing::makeSkin(f.dir.filePath("Skins/Ocean"), OceanBlue));
    ASSERT_TRUE(QDir().mkpath(f.dir.filePath("Skins/.hidden")));
    // A skin whose name holds an ampersand shows it, rather than a shortcut key.
    ASSERT_TRUE(taskwick::testing::makeSkin(f.dir.filePath("Skins/Rock & Roll"), AmberColor));
    auto window = f.make();
    window->startUp();
    const QRgb builtIn = topStripPixel(*window);

    QStringList items = openSkinMenu(*window);
    ASSERT_EQ(items.size(), 5);
    EXPECT_EQ(QSet<QString>(items.begin(), items.begin() + 3),
              (QSet<QString>{"Amber", "Ocean", "Rock && Roll"}))
        << items.join('|').toStdString();
    EXPECT_EQ(items.mid(3), QStringList({"--", "No Skin *"}));
    EXPECT_TRUE(pickSkin(*window, "Rock & Roll", AmberColor));
    EXPECT_EQ(wornSkin(*window), "Rock && Roll");

    // Pick Ocean by its item, as the user does.
    openSkinMenu(*window);
    SkinMenu* skins = window->findChild<SkinMenu*>();
    int oceanAt = 0;
    for (std::size_t i = 0; i < skins->entries().size(); ++i) {
        oceanAt = skins->entries()[i].name == "Ocean" ? int(i) + 1 : oceanAt;
    }
    skins->item(oceanAt)->trigger();
    // The pictures are read on a thread of their own: the frame is dressed when they come.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return taskwick::testing::nearColor(topStripPixel(*window), OceanBlue); }));
    EXPECT_NE(topStripPixel(*window), builtIn);

    // The next opening lists afresh, numbered from 1 again, with the tick on Ocean.
    items = openSkinMenu(*window);
    ASSERT_EQ(items.size(), 5);
    EXPECT_TRUE(items.contains("Ocean *"));
    EXPECT_TRUE(items.contains("No Skin"));
    EXPECT_NE(skins->item(1), nullptr);
    EXPECT_EQ(skins->item(4), nullptr);
    // The pick is saved soon after, as any change is.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return f.listBytes().contains("<SkinName>Ocean</SkinName>"); }, 5000));
}

TEST(SkinWindow, noSkin_tellsTheUser_savesNoSkinAndRestarts_butOnlyWithASkinActive) {
    WindowFixture f(Language::German);
    ASSERT_TRUE(taskwick::testing::makeSkin(f.dir.filePath("Skins/Ocean"), OceanBlue));
    auto window = f.make();
    window->startUp();
    ASSERT_EQ(wornSkin(*window), "Ocean");
    f.presenter.boxes.clear();
    tableOf(*window).setCell(1, 2, "written before the successor starts");
    f.handover.onStart = [&] {
        // What the successor would see at this moment: the list saved, the lock let go, and
        // this window neither shown nor named as the running instance.
        EXPECT_TRUE(f.handover.lockReleased);
        EXPECT_NE(window->windowTitle().compare("Taskwick", Qt::CaseInsensitive), 0);
        EXPECT_FALSE(window->isVisible());
        EXPECT_TRUE(f.listBytes().contains("written before the successor starts"));
        return true;
    };

    actionOf(*window, "noSkin").trigger();
    ASSERT_EQ(f.presenter.boxes.size(), 1u);
    EXPECT_EQ(f.presenter.boxes[0].title, "Hinweis");
    EXPECT_EQ(f.presenter.boxes[0].text,
              QString::fromUtf8("Skin wurde abgewählt!\r\nTaskwick wird jetzt neu gestartet, um "
                                "diese Einstellung zu übernehmen"));
    EXPECT_EQ(f.handover.starts, 1);
    EXPECT_TRUE(isClosed(*window));
    const QByteArray saved = f.listBytes();
    EXPECT_TRUE(saved.contains("<SkinName>No Skin</SkinName>"));
    EXPECT_TRUE(saved.contains("<SkinPath> </SkinPath>"));

    // The successor starts with the built-in frame; "No Skin" there does nothing at all.
    auto next = f.make();
    next->startUp();
    EXPECT_EQ(wornSkin(*next), "Kein Skin");
    EXPECT_FALSE(wearsSkinFrame(*next, OceanBlue));
    f.presenter.boxes.clear();
    actionOf(*next, "noSkin").trigger();
    EXPECT_TRUE(f.presenter.boxes.empty());
    EXPECT_EQ(f.handover.starts, 1);
}

TEST(SkinWindow, theMenuListsFoldersOnly_byTheirNames_andEachOneDressesTheFrame) {
    WindowFixture f;
    {
        auto first = f.make();
        first->startUp();
        first->close();
    }
    const QString skins = f.dir.filePath("Skins/");
    const QColor latinGreen(30, 160, 60);
    ASSERT_TRUE(taskwick::testing::makeSkin(skins + "Ocean", OceanBlue));
    ASSERT_TRUE(taskwick::testing::makeLargeSkin(skins + "Huge", AmberColor, 8000));
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
    const QString cafe = QString::fromUtf8("Caf\xC3\xA9");  // its last byte read as Latin-1
    for (const char* name : {"Ocean", "Huge", "link", "--", "No Skin *"}) {
        EXPECT_TRUE(items.contains(name)) << name;
    }
    EXPECT_TRUE(items.contains(cafe)) << items.join('|').toStdString();
    EXPECT_EQ(items.size(), 7) << items.join('|').toStdString();
    // The long name shows shortened in its middle, and whole in its hint.
    QAction* longItem = nullptr;
    for (QAction* action : skinSubmenu(*window)->actions()) {
        if (action->toolTip().contains(longName)) {
            longItem = action;
        }
    }
    ASSERT_NE(longItem, nullptr);
    EXPECT_TRUE(longItem->text().startsWith("Skin nnn"));
    EXPECT_TRUE(longItem->text().endsWith("nnn end"));
    EXPECT_LT(longItem->text().size(), 60);

    // Pictures of 8000 x 8000 pixels dress the frame.
    EXPECT_TRUE(pickSkin(*window, "Huge", AmberColor));
    EXPECT_TRUE(wearsSkinFrame(*window, AmberColor));

    // A stored skin is found whatever the case of its folder's name is now.
    EXPECT_TRUE(pickSkin(*window, "Ocean", OceanBlue));
    window->close();
    ASSERT_TRUE(QDir(skins).rename("Ocean", "OCEAN"));
    window = f.make();
    window->startUp();
    EXPECT_EQ(wornSkin(*window), "OCEAN");
    EXPECT_TRUE(taskwick::testing::nearColor(topStripPixel(*window), OceanBlue));

    // The Latin-1 folder dresses the frame too, and again after a restart.
    EXPECT_TRUE(pickSkin(*window, cafe, latinGreen));
    window->close();
    window = f.make();
    window->startUp();
    EXPECT_EQ(wornSkin(*window), cafe);
    EXPECT_TRUE(taskwick::testing::nearColor(topStripPixel(*window), latinGreen));
}

// A list names a skin by its name and its skins folder. Renaming the skins folder or moving the
// program folder leaves the stored folder behind: the skin is found again by its name where
// skins are looked for, and saved where it is now. Found nowhere, it shows the built-in frame
// for the run but keeps its name, so that it comes back with its folder.
TEST(SkinWindow, aStoredSkin_isFoundWhereverItsFolderWent_andKeptWhileFoundNowhere) {
    WindowFixture f;
    ASSERT_TRUE(taskwick::testing::makeSkin(f.dir.filePath("Skins/Ocean"), OceanBlue));
    auto window = f.make();
    window->startUp();
    ASSERT_EQ(wornSkin(*window), "Ocean");
    window->close();

    ASSERT_TRUE(QDir(f.dir.path()).rename("Skins", "skins"));
    window = f.make();
    window->startUp();
    EXPECT_EQ(wornSkin(*window), "Ocean");
    EXPECT_TRUE(taskwick::testing::nearColor(topStripPixel(*window), OceanBlue));
    window->close();
    EXPECT_TRUE(f.listBytes().contains("<SkinName>Ocean</SkinName>"));
    EXPECT_TRUE(f.listBytes().contains("<SkinPath>" + QFile::encodeName(f.dir.path()) +
                                       "/skins/</SkinPath>"));

    // Gone from every place skins are looked for: the built-in frame, the name kept.
    ASSERT_TRUE(QDir(f.dir.path()).rename("skins", "put-aside"));
    window = f.make();
    window->startUp();
    EXPECT_FALSE(wearsSkinFrame(*window, OceanBlue));
    window->close();
    EXPECT_TRUE(f.listBytes().contains("<SkinName>Ocean</SkinName>"));

    // The program folder moved with its skins: the skin comes back there.
    WindowFixture moved;
    moved.writeList(f.listBytes());
    ASSERT_TRUE(QDir().rename(f.dir.filePath("put-aside"), moved.dir.filePath("Skins")));
    window = moved.make();
    window->startUp();
    EXPECT_EQ(wornSkin(*window), "Ocean");
    EXPECT_TRUE(taskwick::testing::nearColor(topStripPixel(*window), OceanBlue));
    window->close();
    EXPECT_TRUE(moved.listBytes().contains("<SkinPath>" + QFile::encodeName(moved.dir.path()) +
                                           "/Skins/</SkinPath>"));
}

// Folder names that are not valid UTF-8 show their stray bytes as Latin-1 letters, so two that
// differ only there show apart, and each pick dresses the frame with its own skin, also after a
// restart.
TEST(SkinWindow, foldersDifferingOnlyInBytesThatAreNotUtf8_showApart_andEachIsWornAsPicked) {
    WindowFixture f;
    {
        auto first = f.make();
        first->startUp();
        first->close();
    }
    const QColor latinGreen(30, 160, 60);
    const QByteArray skins = QFile::encodeName(f.dir.filePath("Skins/"));
    ASSERT_TRUE(taskwick::testing::makeSkin(f.dir.filePath("Skins/acute"), latinGreen));
    ASSERT_TRUE(taskwick::testing::makeSkin(f.dir.filePath("Skins/grave"), AmberColor));
    ASSERT_EQ(std::rename(skins + "acute", skins + "Caf\xe9"), 0);
    ASSERT_EQ(std::rename(skins + "grave", skins + "Caf\xe8"), 0);
    const QString acute = QString::fromUtf8("Caf\xC3\xA9");
    const QString grave = QString::fromUtf8("Caf\xC3\xA8");

    auto window = f.make();
    window->startUp();
    const QStringList items = openSkinMenu(*window);
    EXPECT_TRUE(items.contains(acute) && items.contains(grave)) << items.join('|').toStdString();
    for (const auto& [name, color] : {std::pair{grave, AmberColor}, std::pair{acute, latinGreen},
                                      std::pair{grave, AmberColor}}) {
        ASSERT_TRUE(pickSkin(*window, name, color)) << name.toStdString();
        window->close();
        window = f.make();
        window->startUp();
        EXPECT_EQ(wornSkin(*window), name);
        EXPECT_TRUE(taskwick::testing::nearColor(topStripPixel(*window), color));
    }
}

// A skin of which nothing can be read (random bytes, a picture cut off after its first bytes,
// an empty folder) leaves the skin worn before: on the frame, ticked in the menu and saved.
TEST(SkinWindow, aSkinOfWhichNothingCanBeRead_leavesTheSkinWornBefore_tickedAndSaved) {
    WindowFixture f;
    f.settings.autoSaveDelayMs = 50;
    const QString skins = f.dir.filePath("Skins/");
    ASSERT_TRUE(taskwick::testing::makeSkin(skins + "Ocean", OceanBlue));  // worn at the start
    ASSERT_TRUE(taskwick::testing::makeSkin(skins + "Noise", AmberColor));
    QFile noise(skins + "Noise/Right.JPG");
    ASSERT_TRUE(noise.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QByteArray bytes(4096, Qt::Uninitialized);
    for (int i = 0; i < bytes.size(); ++i) {
        bytes[i] = char((i * 7919 + 13) % 251);
    }
    noise.write(bytes);
    noise.close();
    ASSERT_TRUE(taskwick::testing::makeSkin(skins + "Cut", AmberColor));
    ASSERT_TRUE(QFile::resize(skins + "Cut/Right.JPG", 20));
    ASSERT_TRUE(QDir().mkpath(skins + "Empty"));

    auto window = f.make();
    window->startUp();
    ASSERT_EQ(wornSkin(*window), "Ocean");
    QSignalSpy read(window->findChild<SkinReader*>(), &SkinReader::skinRead);
    SkinMenu* menu = window->findChild<SkinMenu*>();
    for (const QString name : {"Noise", "Cut", "Empty"}) {
        SCOPED_TRACE(name.toStdString());
        openSkinMenu(*window);
        for (std::size_t i = 0; i < menu->entries().size(); ++i) {
            if (menu->entries()[i].name == name) {
                menu->item(int(i) + 1)->trigger();
            }
        }
        ASSERT_TRUE(read.wait(5000));  // its pictures were looked at
        EXPECT_EQ(wornSkin(*window), "Ocean");
        EXPECT_TRUE(taskwick::testing::nearColor(topStripPixel(*window), OceanBlue));
    }
    tableOf(*window).setCell(1, 1, "saved with the skin worn");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return f.listBytes().contains("saved with the skin worn"); }, 5000));
    EXPECT_TRUE(f.listBytes().contains("<SkinName>Ocean</SkinName>"));
}

TEST(SkinWindow, theSubmenuListsTheSkinsSortedWithoutRegardToCase) {
    WindowFixture f;
    {
        auto first = f.make();
        first->startUp();
        first->close();
    }
    for (const char* name : {"ocean", "Zebra", "amber", "Midnight", "cherry", "Birch"}) {
        ASSERT_TRUE(QDir().mkpath(f.dir.filePath(QStringLiteral("Skins/") + name)));
    }
    auto window = f.make();
    window->startUp();
    EXPECT_EQ(openSkinMenu(*window), QStringList({"amber", "Birch", "cherry", "Midnight", "ocean",
                                                  "Zebra", "--", "No Skin *"}));
}
