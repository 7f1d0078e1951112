// Scenarios in which a user's tasks could get lost: a list that cannot be read, saves that
// fail, a list changed by someone else, and a close that comes while the program starts.
#include "app/window/MainWindow.h"
#include "table/view/TaskGrid.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/SelectiveFaultOps.h"

#include <QApplication>
#include <QDir>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

using namespace taskwick;
using taskwick::testing::SelectiveFaultOps;
using namespace taskwick::testing;

namespace {

constexpr int ShortDelayMs = 30;

// A list as the program itself writes it, with two tasks of the user's.
QByteArray savedList(WindowFixture& f) {
    {
        auto window = f.make();
        window->startUp();
        tableOf(*window).setCell(1, 2, "call the plumber");
        tableOf(*window).setCell(1, 3, "renew passport");
        window->close();
    }
    f.presenter.boxes.clear();
    return f.listBytes();
}

QStringList kept(const WindowFixture& f, const QString& reason) {
    return QDir(f.dir.path()).entryList({"ToDoList.xml." + reason + "-*"}, QDir::Files, QDir::Name);
}

// The versions kept in the user's state folder after their words were merged into the list.
QByteArrayList backups(const WindowFixture& f) {
    QByteArrayList contents;
    const QDir lists(f.rescue.filePath("lists"));
    for (const QString& key : lists.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QDir folder(lists.filePath(key));
        for (const QString& name : folder.entryList({"ToDoList.xml.displaced-*"}, QDir::Files)) {
            QFile file(folder.filePath(name));
            contents << (file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
        }
    }
    return contents;
}

// Clicks a cell and types into it, one key at a time to whatever has the focus.
void typeIntoCell(MainWindow& window, int col, int row, const QString& text) {
    TaskGrid* grid = &gridOf(window);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(col, row).center());
    for (const QChar c : text) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClicks(focus ? focus : grid, QString(c));
    }
}

std::unique_ptr<MainWindow> shownForm(WindowFixture& f) {
    auto window = f.make();
    window->startUp();
    window->show();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    return window;
}

}  // namespace

TEST(ListSafety, aStrayLessThan_keepsTheListByteForByte_andOneNoticeNamesTheCopy) {
    WindowFixture f;
    QByteArray broken = savedList(f);
    broken.replace("call the plumber", "call the <plumber");
    f.writeList(broken);

    auto window = f.make();
    window->startUp();
    const QStringList copies = kept(f, "unreadable");
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(QFile(f.dir.filePath(copies[0])).size(), broken.size());
    QFile copy(f.dir.filePath(copies[0]));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), broken);

    ASSERT_EQ(f.presenter.boxes.size(), 2u);
    EXPECT_TRUE(f.presenter.boxes[0].text.startsWith("Exception in XMLloadToDoList\r\n"));
    EXPECT_EQ(f.presenter.boxes[1].kind, BoxKind::Information);
    EXPECT_EQ(f.presenter.boxes[1].title, "Notice");
    // Nothing of such a file is applied, and the notice says so.
    EXPECT_EQ(f.presenter.boxes[1].text,
              "The task list could not be read:\r\n" + f.listPath() +
                  "\r\nAn exact copy of the file was kept as:\r\n" + f.dir.filePath(copies[0]) +
                  "\r\nNothing of it could be used: Taskwick shows an empty list and will save it "
                  "in its place.");

    // The close saves what could be read; the copy stays, and is not kept a second time.
    window->close();
    EXPECT_NE(f.listBytes(), broken);
    EXPECT_EQ(kept(f, "unreadable"), copies);
    EXPECT_TRUE(kept(f, "changed").isEmpty());
}

TEST(ListSafety, tasksPastTheCountsOrTheLimits_areKeptBesideTheList_withOneNoticeAndNoErrorBox) {
    WindowFixture f;
    const QByteArray list = savedList(f);
    QByteArray pastRows = list;
    pastRows.replace("</ToDoContent>",
                     "<Column><Text>hidden past the row count</Text></Column></ToDoContent>");
    QByteArray pastColumns = list;
    pastColumns.replace("<Text>renew passport</Text>",
                        "<Text>renew passport</Text><Text></Text><Text>a fourth text</Text>");
    QByteArray pastLimits = list;
    pastLimits.replace(
        QRegularExpression("<RowCount>\\d+</RowCount>").match(list).captured().toUtf8(),
        "<RowCount>2147483647</RowCount>");
    pastLimits.replace("<ColumnCount>3</ColumnCount>", "<ColumnCount>$7FFFFFFF</ColumnCount>");

    for (const QByteArray& bytes : {pastRows, pastColumns, pastLimits}) {
        for (const QString& copy : kept(f, "unreadable")) {
            QFile::remove(f.dir.filePath(copy));
        }
        f.writeList(bytes);
        f.presenter.boxes.clear();
        auto window = f.make();
        window->startUp();
        const QStringList copies = kept(f, "unreadable");
        ASSERT_EQ(copies.size(), 1);
        QFile copy(f.dir.filePath(copies[0]));
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
        EXPECT_EQ(copy.readAll(), bytes);
        ASSERT_EQ(f.presenter.boxes.size(), 1u);
        EXPECT_EQ(f.presenter.boxes[0].kind, BoxKind::Information);
        EXPECT_TRUE(f.presenter.boxes[0].text.contains(copy.fileName()));
        window->close();
    }
    // The limits hold a saved list to a million cells: 100,000 rows of 10 columns.
    EXPECT_TRUE(f.listBytes().contains("<RowCount>99999</RowCount>"));
    EXPECT_TRUE(f.listBytes().contains("<ColumnCount>10</ColumnCount>"));

    // A list the program wrote itself holds nothing it would drop.
    f.presenter.boxes.clear();
    f.writeList(list);
    f.make()->startUp();
    EXPECT_TRUE(f.presenter.boxes.empty());
}

TEST(ListSafety, aSignalsClose_tellsTheLogWhatABoxWouldSay_andEndsWithoutWaitingForAnyone) {
    WindowFixture f;
    savedList(f);
    auto window = shownForm(f);
    // Written by hand into the very cell the user is typing into.
    QByteArray handEdited = f.listBytes();
    handEdited.replace("call the plumber", "call the plumber by hand");
    f.writeList(handEdited);
    typeIntoCell(*window, 1, 2, "x");

    ::testing::internal::CaptureStderr();
    window->requestClose();
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(isClosed(*window));
    EXPECT_TRUE(f.presenter.boxes.empty());
    EXPECT_NE(log.find("taskwick: Notice: Another version of the task list arrived"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("row 2, column 2"), std::string::npos) << log;
    // Both words are in the list, the user's first; nothing was put beside it.
    EXPECT_TRUE(f.listBytes().contains("x | call the plumber by hand</Text>"))
        << f.listBytes().toStdString();
    EXPECT_TRUE(kept(f, "changed").isEmpty());
    EXPECT_EQ(backups(f), QByteArrayList{handEdited});
}

TEST(ListSafety, aBlankList_showsOnlyTheFourSectionBoxes_andKeepsNothing) {
    WindowFixture f;
    f.writeList("\xEF\xBB\xBF  \r\n\t");
    auto window = f.make();
    window->startUp();
    ASSERT_EQ(f.presenter.boxes.size(), 4u);
    EXPECT_TRUE(f.presenter.boxes[3].text.startsWith("Exception in Load ToDoContent\r\n"));
    EXPECT_TRUE(kept(f, "unreadable").isEmpty());
}

TEST(ListSafety, anUnreadableListThatCannotBeKept_isToldAsASaveError_andNeverReplaced) {
    WindowFixture f(Language::German);
    QByteArray broken = savedList(f);
    broken.replace("<ColumnInfo>", "<ColumnInfo");
    f.writeList(broken);
    SelectiveFaultOps ops;
    ops.createError = ENOSPC;  // no copy and no temporary file fit on the disk
    f.settings.fileOps = &ops;

    auto window = f.make();
    window->startUp();
    const auto told =
        std::find_if(f.presenter.boxes.begin(), f.presenter.boxes.end(),
                     [](const auto& b) { return b.title == "Fehler beim Speichern"; });
    ASSERT_NE(told, f.presenter.boxes.end());
    EXPECT_TRUE(told->text.startsWith(
        QString::fromUtf8("Problem beim temporären Speichern in diesen Pfad: \r\n") + f.dir.path() +
        "/\r\n"));
    EXPECT_TRUE(told->text.endsWith(QString::fromUtf8(
        "Fehler: ENOSPC\r\nDer Datenträger ist voll: Für die Liste ist kein Platz mehr.")));

    // Room again on the disk: the close keeps the unread list before it saves over it.
    ops.createError = 0;
    window->close();
    const QStringList copies = kept(f, "changed");
    ASSERT_EQ(copies.size(), 1);
    QFile copy(f.dir.filePath(copies[0]));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), broken);
}

TEST(ListSafety, typing_isSavedSoonAfter_andNothingIsWrittenWithoutAChange) {
    WindowFixture f;
    savedList(f);
    SelectiveFaultOps ops;
    f.settings.fileOps = &ops;
    f.settings.autoSaveDelayMs = ShortDelayMs;
    auto window = shownForm(f);

    typeIntoCell(*window, 1, 4, "water the plants");
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.listBytes().contains("water the plants"); }, 2000));
    typeIntoCell(*window, 1, 5, "feed the cat");
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.listBytes().contains("feed the cat"); }, 2000));
    // One save for each change: the load and the start wrote nothing, nor the time between.
    EXPECT_EQ(ops.replaces, 2);
    EXPECT_TRUE(f.presenter.boxes.empty());
}

TEST(ListSafety, failingAutomaticSaves_areToldOnceUntilOneWorks_theCloseAlwaysTells) {
    WindowFixture f;
    savedList(f);
    SelectiveFaultOps ops;
    f.settings.fileOps = &ops;
    f.settings.autoSaveDelayMs = ShortDelayMs;
    auto window = shownForm(f);
    auto saveErrors = [&] {
        return std::count_if(f.presenter.boxes.begin(), f.presenter.boxes.end(),
                             [](const auto& b) { return b.title == "Save Error"; });
    };

    const auto rescuedCopy = [&] {
        const QStringList copies = QDir(f.rescue.path()).entryList({"ToDoList.xml.rescued-*"});
        QFile copy(f.rescue.filePath(copies.value(0)));
        return copies.size() == 1 && copy.open(QIODevice::ReadOnly) ? copy.readAll() : QByteArray();
    };
    ops.renameError = EROFS;
    typeIntoCell(*window, 1, 4, "a");
    EXPECT_TRUE(QTest::qWaitFor([&] { return saveErrors() == 1; }, 2000));
    // Tried again with the next change, and quietly: the rescue copy follows it.
    typeIntoCell(*window, 1, 5, "b");
    EXPECT_TRUE(QTest::qWaitFor([&] { return rescuedCopy().contains("<Text>b</Text>"); }, 2000));
    EXPECT_EQ(saveErrors(), 1);

    ops.renameError = 0;
    typeIntoCell(*window, 0, 4, "c");
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.listBytes().contains("<Text>c</Text>"); }, 2000));
    EXPECT_TRUE(f.listBytes().contains("<Text>b</Text>"));

    ops.renameError = EROFS;
    typeIntoCell(*window, 0, 5, "d");
    EXPECT_TRUE(QTest::qWaitFor([&] { return saveErrors() == 2; }, 2000));
    window->close();
    EXPECT_EQ(saveErrors(), 3);
    const QStringList rescued = QDir(f.rescue.path()).entryList({"ToDoList.xml.rescued-*"});
    ASSERT_EQ(rescued.size(), 1);
    EXPECT_EQ(f.presenter.boxes.back().text,
              "Cannot save this file correctly: \r\n" + f.listPath() +
                  "\r\nIt is not possible to save! Error: EROFS\r\nYour tasks were saved instead "
                  "as:\r\n" +
                  f.rescue.filePath(rescued[0]));
}

TEST(ListSafety, aListEditedByHandWhileTheUserTypes_isMergedCellByCell_andKeptAsABackup) {
    WindowFixture f;
    savedList(f);
    f.settings.autoSaveDelayMs = ShortDelayMs;
    auto window = shownForm(f);

    QByteArray handEdited = f.listBytes();
    handEdited.replace("renew passport", "renew passport and visa");
    f.writeList(handEdited);
    typeIntoCell(*window, 1, 4, "x");
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.listBytes().contains("<Text>x</Text>"); }, 2000));
    EXPECT_TRUE(f.listBytes().contains("renew passport and visa"));
    EXPECT_EQ(tableOf(*window).cell(1, 3), "renew passport and visa");
    EXPECT_TRUE(kept(f, "changed").isEmpty());
    EXPECT_EQ(backups(f), QByteArrayList{handEdited});
    EXPECT_TRUE(f.presenter.boxes.empty());  // no cell was changed on both sides

    // Its own saves never count as someone else's.
    typeIntoCell(*window, 1, 5, "y");
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.listBytes().contains("<Text>y</Text>"); }, 2000));
    window->close();
    EXPECT_TRUE(kept(f, "changed").isEmpty());
    EXPECT_EQ(backups(f).size(), 1);
}

TEST(ListSafety, aCloseDuringAStartupBox_endsAfterTheWholeListIsLoadedAndSaved) {
    WindowFixture f;
    QByteArray list = savedList(f);
    const qsizetype from = list.indexOf("  <WindowPosition>");
    const qsizetype to = list.indexOf("</WindowPosition>") + qsizetype(sizeof "</WindowPosition>");
    list.remove(from, to - from);
    f.writeList(list);

    auto window = f.make();
    // The session ends while the first load box is open.
    f.presenter.whilePresenting = [&](const auto&) {
        f.presenter.whilePresenting = nullptr;
        window->requestClose();
    };
    window->startUp();
    EXPECT_TRUE(isClosed(*window));
    ASSERT_EQ(f.presenter.boxes.size(), 1u);
    EXPECT_TRUE(f.presenter.boxes[0].text.startsWith("Exception in Load WindowPosition\r\n"));
    // The tasks that came after the box were loaded before the close saved.
    EXPECT_TRUE(f.listBytes().contains("renew passport"));
    EXPECT_EQ(kept(f, "unreadable").size(), 1);
    // Later requests neither save again nor show anything.
    const QByteArray saved = f.listBytes();
    window->requestClose();
    EXPECT_EQ(f.listBytes(), saved);
}
