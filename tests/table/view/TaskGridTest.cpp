#include "table/commands/TableCommands.h"
#include "table/view/TaskGrid.h"
#include "tests/support/GridCommands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPaintEngine>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <tuple>
#include <utility>

using taskwick::Alignment;
using taskwick::CellPos;
using taskwick::GridCommands;
using taskwick::TaskGrid;
using taskwick::TaskTable;

namespace {

// The grid's surroundings as a test sets them: a primary selection of its choice.
class TestServices : public taskwick::GridServices {
public:
    std::optional<QString> selection;

    std::optional<QString> primarySelection() const override { return selection; }
};

QRgb rgb(const QColor& color) {
    return color.rgb();
}

// The grid's colors, written out here so that a wrong constant in the program shows.
const QColor Background(0xF5, 0xF5, 0xFF);
const QColor FixedCaption(0xD7, 0xE4, 0xF2);
const QColor TaskCell(0xFF, 0xFF, 0xFF);
const QColor CaptionLine(0x00, 0x00, 0x00);
const QColor GridLine(0xC0, 0xC0, 0xC0);

// A paint device of the test's own: its engine notes the texts drawn on it and fails, as a
// broken device may, at the one text given.
class TextDevice : public QPaintDevice {
public:
    TextDevice(QSize size, const QString& failingText) : size_(size) {
        engine_.failing = failingText;
    }
    QPaintEngine* paintEngine() const override { return &engine_; }
    const QStringList& texts() const { return engine_.texts; }

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
            case PdmWidth:
                return size_.width();
            case PdmHeight:
                return size_.height();
            case PdmDepth:
                return 32;
            case PdmNumColors:
                return INT_MAX;
            case PdmDevicePixelRatio:
                return 1;
            case PdmDevicePixelRatioScaled:
                return int(devicePixelRatioFScale());
            default:
                return 96;  // dots per inch, and millimetres near enough
        }
    }

private:
    struct Engine : QPaintEngine {
        Engine() : QPaintEngine(AllFeatures) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPath(const QPainterPath&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawTextItem(const QPointF&, const QTextItem& item) override {
            if (!failing.isEmpty() && item.text() == failing) {
                throw std::runtime_error("the device cannot draw this text");
            }
            texts << item.text();
        }
        Type type() const override { return User; }

        QString failing;
        QStringList texts;
    };

    QSize size_;
    mutable Engine engine_;
};

class TaskGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        table.appendToRow(0, "Prio");
        table.appendToRow(0, "Task");
        table.appendToRow(0, "Time");
        table.setColumnAlignment(0, Alignment::Center);
        table.setColumnAlignment(1, Alignment::Left);
        table.setColumnAlignment(2, Alignment::Center);
        grid = std::make_unique<TaskGrid>(table, currentCell, nullptr, &services);
        commands = std::make_unique<GridCommands>(*grid);
        grid->resize(400, 250);
        grid->show();
        grid->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(grid.get()));
        grid->setFocus();
    }

    QImage shot() const {
        return grid->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    QRgb pixel(int x, int y) const { return shot().pixel(x, y); }

    // Pixels of the cell that are not the background color given.
    QRect ink(const QImage& image, const QRect& rect, QRgb background) const {
        QRect box;
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                if (image.pixel(x, y) != background) {
                    box |= QRect(x, y, 1, 1);
                }
            }
        }
        return box;
    }

    // What a task cell should look like: the text drawn on white with the given flags.
    QImage expectedCell(const QRect& rect, const QString& text, int flags) const {
        QImage image(rect.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(grid->font());
        painter.setPen(grid->palette().color(QPalette::WindowText));
        painter.drawText(QRect(QPoint(0, 0), rect.size()), flags, text);
        return image;
    }

    QWidget* keyTarget() const {
        QWidget* focus = QApplication::focusWidget();
        return focus != nullptr ? focus : grid.get();
    }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(keyTarget(), k, modifiers);
    }
    // One key at a time, each to whichever widget has the focus then, as typing does.
    void type(const QString& text) {
        for (const QChar c : text) {
            QTest::keyClicks(keyTarget(), QString(c));
        }
    }
    void press(int col, int row, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(grid->viewport(), button, {}, grid->cellRect(col, row).center());
        QTest::mouseRelease(grid->viewport(), button, {}, grid->cellRect(col, row).center());
    }
    void wheel(int angle) {
        const QPointF pos = grid->cellRect(1, 2).center();
        QWheelEvent event(pos, grid->viewport()->mapToGlobal(pos), QPoint(), QPoint(0, angle),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid->viewport(), &event);
    }
    CellPos current() const { return currentCell.cell().value_or(CellPos{-1, -1}); }
    // Caption editing as its menu command starts it.
    void editCaptions() {
        taskwick::TableCommands(table, currentCell, taskwick::Language::English, nullptr, nullptr)
            .startCaptionEditing();
    }

    TaskTable table;
    taskwick::CurrentCell currentCell{table};
    TestServices services;
    std::unique_ptr<TaskGrid> grid;
    std::unique_ptr<GridCommands> commands;
};

// ---- painting ----

TEST_F(TaskGridTest, colors_headerTaskCellsBackgroundAndLines) {
    const QImage image = shot();
    const QRect header = grid->cellRect(1, 0);
    EXPECT_EQ(image.pixel(header.left() + 1, header.top() + 1), rgb(FixedCaption));
    const QRect task = grid->cellRect(0, 3);
    EXPECT_TRUE(ink(image, task, rgb(TaskCell)).isEmpty());
    // Below the last row and right of the last column.
    EXPECT_EQ(image.pixel(5, 6 * 25 + 10), rgb(Background));
    EXPECT_EQ(image.pixel(50 + 235 + 45 + 3 + 5, 50), rgb(Background));
    // The line under the captions is black, the task area's lines are grey.
    EXPECT_EQ(image.pixel(10, 24), rgb(CaptionLine));
    EXPECT_EQ(image.pixel(50, 40), rgb(GridLine));
    EXPECT_EQ(image.pixel(10, 49), rgb(GridLine));
    EXPECT_EQ(image.pixel(50, 49), rgb(GridLine));
    // No line between caption cells.
    EXPECT_EQ(image.pixel(50, 3), rgb(FixedCaption));
    EXPECT_EQ(image.pixel(50 + 235 + 1, 3), rgb(FixedCaption));
}

TEST_F(TaskGridTest, gridLinesOff_emptyTableShowsOnlyCellAndBackgroundColors) {
    for (int col = 0; col < 3; ++col) {
        table.setCell(col, 0, "");
    }
    auto colors = [&] {
        std::set<QRgb> seen;
        const QImage image = shot();
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                seen.insert(image.pixel(x, y));
            }
        }
        return seen;
    };
    const std::set<QRgb> withLines = colors();
    EXPECT_TRUE(withLines.count(rgb(CaptionLine)));
    EXPECT_TRUE(withLines.count(rgb(GridLine)));

    table.setDrawGridLines(false);
    const std::set<QRgb> plain{rgb(FixedCaption), rgb(TaskCell), rgb(Background)};
    EXPECT_EQ(colors(), plain);
    // Without lines the rows follow each other directly.
    EXPECT_EQ(grid->cellRect(0, 1).top(), 24);
    EXPECT_EQ(grid->cellRect(1, 0).left(), 50);
}

TEST_F(TaskGridTest, taskText_followsColumnAlignment_headerAlwaysCentred) {
    table.setCell(1, 1, "iii");
    const QRect cell = grid->cellRect(1, 1);
    const QRgb white = rgb(TaskCell);

    table.setColumnAlignment(1, Alignment::Left);
    QRect box = ink(shot(), cell, white);
    EXPECT_LT(box.left() - cell.left(), 6);

    table.setColumnAlignment(1, Alignment::Center);
    box = ink(shot(), cell, white);
    EXPECT_LE(std::abs(box.center().x() - cell.center().x()), 2);

    table.setColumnAlignment(1, Alignment::Right);
    const QImage image = shot();
    box = ink(image, cell, white);
    EXPECT_LT(cell.right() - box.right(), 6);
    // Vertically centred in the row.
    EXPECT_LE(std::abs(box.center().y() - cell.center().y()), 3);

    const QRect header = grid->cellRect(1, 0);
    const QRect caption = ink(image, header, rgb(FixedCaption));
    ASSERT_FALSE(caption.isEmpty());
    EXPECT_LE(std::abs(caption.center().x() - header.center().x()), 2);
}

TEST_F(TaskGridTest, boldHeader_drawsWiderCaption) {
    const QRect header = grid->cellRect(1, 0);
    const QRect regular = ink(shot(), header, rgb(FixedCaption));
    table.setCaptionsBold(true);
    const QRect bold = ink(shot(), header, rgb(FixedCaption));
    EXPECT_GT(bold.width(), regular.width());
    EXPECT_LE(std::abs(bold.center().x() - header.center().x()), 2);
}

TEST_F(TaskGridTest, veryLongText_showsAsTheWholeTextWould_andEditsWithoutLosingItsEnd) {
    auto textOf = [](qsizetype size) {
        QString text;
        for (int i = 0; text.size() < size; ++i) {
            text += QString::number(i) + (i % 7 == 0 ? " W&&i " : " lm ");
        }
        return text;
    };
    const QString text = textOf(100000);
    const QRect cell = grid->cellRect(1, 1);
    for (const auto& [alignment, flag, size] :
         {std::tuple{Alignment::Left, Qt::AlignLeft, 100000},
          std::tuple{Alignment::Center, Qt::AlignHCenter, 15000},
          std::tuple{Alignment::Right, Qt::AlignRight, 100000}}) {
        table.setColumnAlignment(1, alignment);
        const QString text = textOf(size);
        table.setCell(1, 1, text);
        const QImage expected = expectedCell(
            cell, text, Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::AlignVCenter | flag);
        EXPECT_EQ(shot().copy(cell), expected) << int(alignment);
    }
    // The in-place editor takes the whole text, and a keystroke keeps all of it.
    table.setCell(1, 1, text);
    press(1, 1);
    press(1, 1);
    ASSERT_TRUE(grid->isEditing());
    type("!");
    EXPECT_EQ(table.cell(1, 1).size(), text.size() + 1);
    EXPECT_EQ(QString(table.cell(1, 1)).remove('!'), text);
}

TEST_F(TaskGridTest, longText_isCutAtCellEdgeWithoutWrapOrEllipsis) {
    const QString text = "WWWWWWWWWWWW WWWWWWWWW";
    table.setCell(0, 1, text);
    table.setColumnAlignment(0, Alignment::Left);
    const QImage image = shot();
    const QRect cell = grid->cellRect(0, 1);
    const QImage expected =
        expectedCell(cell, text, Qt::TextSingleLine | Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_EQ(image.copy(cell), expected);
    // The text reaches the edge, the line beside it and the next cell stay untouched.
    EXPECT_GE(ink(image, cell, rgb(TaskCell)).right(), cell.right() - 1);
    EXPECT_EQ(image.pixel(cell.right() + 1, cell.center().y()), rgb(GridLine));
    EXPECT_TRUE(ink(image, grid->cellRect(1, 1), rgb(TaskCell)).isEmpty());
    EXPECT_TRUE(ink(image, grid->cellRect(0, 2), rgb(TaskCell)).isEmpty());
}

TEST_F(TaskGridTest, ampersand_isMnemonicPrefix_doubledShowsOne) {
    table.setColumnAlignment(1, Alignment::Left);
    const QRect cell = grid->cellRect(1, 1);
    const int plain = Qt::TextSingleLine | Qt::AlignLeft | Qt::AlignVCenter;

    table.setCell(1, 1, "A&&B");
    EXPECT_EQ(shot().copy(cell), expectedCell(cell, "A&B", plain));

    table.setCell(1, 1, "A&B");
    const QImage drawn = shot().copy(cell);
    const QImage withoutPrefix = expectedCell(cell, "AB", plain);
    const QFontMetrics metrics(grid->font());
    const int baseline = (cell.height() - metrics.height()) / 2 + metrics.ascent();
    // The letters are those of "AB"; only the underline under the B below the baseline differs.
    EXPECT_EQ(drawn.copy(0, 0, cell.width(), baseline),
              withoutPrefix.copy(0, 0, cell.width(), baseline));
    EXPECT_NE(drawn, withoutPrefix);
    EXPECT_NE(drawn, expectedCell(cell, "A&B", plain));
}

TEST_F(TaskGridTest, captionEditing_captionRowTakesBackgroundColorAndGreyLines) {
    table.setCaptionsBold(true);
    editCaptions();
    QImage image = shot();
    const QRect header = grid->cellRect(1, 0);
    EXPECT_EQ(image.pixel(header.left() + 1, header.top() + 1), rgb(Background));
    EXPECT_EQ(image.pixel(50, 3), rgb(GridLine));
    EXPECT_EQ(image.pixel(10, 24), rgb(GridLine));
    const QRect caption = ink(image, header, rgb(Background));
    ASSERT_FALSE(caption.isEmpty());
    EXPECT_LE(std::abs(caption.center().x() - header.center().x()), 2);

    // (0, 0) is current; without the focus it shows the highlight color.
    const QRect first = grid->cellRect(0, 0);
    EXPECT_EQ(image.pixel(first.left() + 1, first.bottom() - 1), rgb(Background));
    grid->clearFocus();
    image = shot();
    EXPECT_EQ(image.pixel(first.left() + 1, first.bottom() - 1),
              grid->palette().color(QPalette::Highlight).rgb());
    EXPECT_EQ(image.pixel(header.left() + 1, header.top() + 1), rgb(Background));
}

TEST_F(TaskGridTest, currentTaskCell_staysWhiteWithDottedFocusRectOnlyWithFocus) {
    currentCell.set({1, 2});
    const QRect cell = grid->cellRect(1, 2);
    QImage image = shot();
    const QRgb white = rgb(TaskCell);
    EXPECT_EQ(image.pixel(cell.center()), white);
    int dark = 0;
    int light = 0;
    for (int x = cell.left(); x < cell.right(); ++x) {
        (image.pixel(x, cell.top()) == white ? light : dark) += 1;
    }
    EXPECT_GT(dark, cell.width() / 3);
    EXPECT_GT(light, cell.width() / 3);

    grid->clearFocus();
    EXPECT_TRUE(ink(shot(), cell, white).isEmpty());
}

TEST_F(TaskGridTest, drawCellException_isReportedAndOtherCellsStillDraw) {
    QStringList reports;
    QObject::connect(grid.get(), &TaskGrid::exceptionCaught,
                     [&](const QString& context) { reports << context; });
    table.setCell(0, 1, "High");
    table.setCell(2, 1, "10min");
    table.setCell(1, 1, "broken");
    // The grid drawn onto a device whose engine fails at one cell's text.
    TextDevice failing(grid->size(), "broken");
    grid->render(&failing);
    QCoreApplication::processEvents();
    EXPECT_EQ(reports, QStringList{"DrawCell"});
    for (const char* drawn : {"Prio", "Task", "Time", "High", "10min"}) {
        EXPECT_TRUE(failing.texts().contains(drawn)) << drawn;
    }

    // Once the fault is gone, repaints report nothing more.
    TextDevice sound(grid->size(), QString());
    grid->render(&sound);
    QCoreApplication::processEvents();
    EXPECT_EQ(reports.size(), 1);
    EXPECT_TRUE(sound.texts().contains("broken"));
}

// ---- scroll bars ----

TEST_F(TaskGridTest, scrollBars_followColumnCount_andSuppressionOutlastsColumnChanges) {
    using Mode = TaskGrid::ScrollBarMode;
    using Shown = std::pair<bool, bool>;  // vertical, horizontal
    auto shown = [&] {
        QApplication::processEvents();
        return Shown{grid->verticalScrollBar()->isVisible(),
                     grid->horizontalScrollBar()->isVisible()};
    };
    // Only where the content needs them.
    EXPECT_EQ(shown(), Shown(false, false));
    table.setRowCount(40);
    table.setColumnWidth(1, 600);
    EXPECT_EQ(shown(), Shown(true, true));

    // One column, however wide, gets only the vertical bar; a second brings both back.
    table.setColCount(1);
    table.setColumnWidth(0, 600);
    EXPECT_EQ(shown(), Shown(true, false));
    table.setColCount(2);
    EXPECT_EQ(shown(), Shown(true, true));

    // Suppressed (the window folds): column changes meanwhile show nothing, but decide what
    // comes back.
    grid->setScrollBarMode(Mode::None);
    EXPECT_EQ(shown(), Shown(false, false));
    table.setColCount(1);
    EXPECT_EQ(shown(), Shown(false, false));
    grid->setScrollBarsSuppressed(false);
    EXPECT_EQ(shown(), Shown(true, false));

    // An explicit mode, as the start timer sets it, holds until the column count changes.
    table.setColCount(3);
    grid->setScrollBarMode(Mode::VerticalOnly);
    table.setCell(1, 1, "typing changes no count");
    EXPECT_EQ(shown(), Shown(true, false));
    table.setColCount(4);
    EXPECT_EQ(shown(), Shown(true, true));
    grid->setScrollBarsSuppressed(true);
    EXPECT_EQ(shown(), Shown(false, false));
    grid->setScrollBarMode(Mode::Both);
    EXPECT_EQ(shown(), Shown(true, true));
}

TEST_F(TaskGridTest, captionsFixedChange_scrollsToTopLeft_andKeysScrollToCurrent) {
    table.setRowCount(40);
    table.setColumnWidth(1, 600);
    QApplication::processEvents();
    currentCell.set({0, 1});
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(current(), (CellPos{2, 39}));
    EXPECT_GT(grid->verticalScrollBar()->value(), 0);
    EXPECT_GT(grid->horizontalScrollBar()->value(), 0);
    EXPECT_TRUE(grid->viewport()->rect().contains(grid->cellRect(2, 39)));
    // The caption row stays at the top while the task rows scroll under it.
    EXPECT_EQ(grid->cellRect(0, 0).top(), 0);

    editCaptions();
    EXPECT_EQ(grid->verticalScrollBar()->value(), 0);
    EXPECT_EQ(grid->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(current(), (CellPos{0, 0}));
}

// ---- mouse ----

TEST_F(TaskGridTest, click_selectsThenOpensEditor_fixedCellChangesNothing) {
    QSignalSpy repaints(grid.get(), &TaskGrid::plusMinusButtonsRepaintRequested);
    press(1, 2);
    EXPECT_EQ(current(), (CellPos{1, 2}));
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(repaints.count(), 2);  // the click and the release

    press(1, 2);
    ASSERT_TRUE(grid->isEditing());
    EXPECT_TRUE(grid->editor()->isVisible());
    EXPECT_EQ(grid->editor()->geometry(), grid->cellRect(1, 2));
    EXPECT_EQ(grid->editor()->font().pixelSize(), 17);
    EXPECT_EQ(grid->font().pixelSize(), 17);
    EXPECT_EQ(grid->font().families().value(0), "Tahoma");
    EXPECT_EQ(grid->editor()->palette().color(QPalette::Base), Background);

    repaints.clear();
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(0, 0).center());
    EXPECT_EQ(current(), (CellPos{1, 2}));
    EXPECT_TRUE(grid->isEditing());
    EXPECT_EQ(repaints.count(), 0);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(0, 0).center());

    // A press on another cell ends editing there.
    press(2, 4);
    EXPECT_EQ(current(), (CellPos{2, 4}));
    EXPECT_FALSE(grid->isEditing());
}

TEST_F(TaskGridTest, pressDuringCaptionEditing_endsItWithFirstTaskCellCurrent) {
    table.setRowCount(40);
    editCaptions();
    QApplication::processEvents();
    grid->verticalScrollBar()->setValue(5);
    press(2, 8);
    EXPECT_TRUE(table.captionsFixed());
    EXPECT_EQ(current(), (CellPos{0, 1}));
    EXPECT_EQ(grid->verticalScrollBar()->value(), 0);
}

TEST_F(TaskGridTest, pressInCaptionRowDuringCaptionEditing_keepsCaptionEditing) {
    editCaptions();
    press(2, 0);
    EXPECT_FALSE(table.captionsFixed());
    EXPECT_EQ(current(), (CellPos{2, 0}));
    press(2, 0);
    EXPECT_TRUE(grid->isEditing());
}

TEST_F(TaskGridTest, selectingCell_emptiesBlankCellOnly) {
    table.setCell(1, 2, " ");
    table.setCell(1, 3, " keep ");
    press(1, 2);
    EXPECT_EQ(table.cell(1, 2), "");
    press(1, 3);
    EXPECT_EQ(table.cell(1, 3), " keep ");
    // Blank through control characters too.
    table.setCell(2, 3, "\t ");
    key(Qt::Key_Right);
    EXPECT_EQ(current(), (CellPos{2, 3}));
    EXPECT_EQ(table.cell(2, 3), "");
}

TEST_F(TaskGridTest, pressWithRightButtonHeld_requestsMenuAtPointer_onGridAndEditor) {
    QSignalSpy menus(grid.get(), &TaskGrid::contextMenuRequested);
    // The pointer has moved on since the press was reported.
    const QPoint pointer(700, 500);
    QCursor::setPos(pointer);
    ASSERT_EQ(QCursor::pos(), pointer);
    auto send = [&](QEvent::Type type, CellPos cell, Qt::MouseButton button,
                    Qt::MouseButtons buttons) {
        const QPoint pos = grid->cellRect(cell.col, cell.row).center();
        QMouseEvent event(type, pos, grid->viewport()->mapToGlobal(pos), button, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(grid->viewport(), &event);
    };

    press(1, 2);
    EXPECT_EQ(menus.count(), 0);
    press(1, 3, Qt::RightButton);
    ASSERT_EQ(menus.count(), 1);
    EXPECT_EQ(menus.at(0).at(0).toPoint(), pointer);
    EXPECT_EQ(current(), (CellPos{1, 2}));

    // A left press while the right button is held opens the menu and selects nothing.
    send(QEvent::MouseButtonPress, {2, 4}, Qt::LeftButton, Qt::LeftButton | Qt::RightButton);
    ASSERT_EQ(menus.count(), 2);
    EXPECT_EQ(menus.at(1).at(0).toPoint(), pointer);
    EXPECT_EQ(current(), (CellPos{1, 2}));
    send(QEvent::MouseButtonRelease, {2, 4}, Qt::LeftButton, Qt::RightButton);
    send(QEvent::MouseButtonRelease, {2, 4}, Qt::RightButton, Qt::NoButton);
    send(QEvent::MouseButtonDblClick, {2, 4}, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(menus.count(), 3);
    EXPECT_EQ(current(), (CellPos{1, 2}));

    // While editing, the press goes through the window as the platform delivers it, so the
    // editor would also get its context-menu event: only the program's menu may come up.
    press(1, 2);
    ASSERT_TRUE(grid->isEditing());
    const QPoint onEditor = grid->editor()->mapTo(grid.get(), grid->editor()->rect().center());
    QTest::mousePress(grid->windowHandle(), Qt::RightButton, {}, onEditor);
    QTest::mouseRelease(grid->windowHandle(), Qt::RightButton, {}, onEditor);
    QWidget* popup = QApplication::activePopupWidget();
    EXPECT_EQ(popup, nullptr);
    if (popup != nullptr) {
        popup->close();
    }
    ASSERT_EQ(menus.count(), 4);
    EXPECT_EQ(menus.at(3).at(0).toPoint(), pointer);
    EXPECT_TRUE(grid->isEditing());
    // A left press on the editor stays the editor's.
    QTest::mouseClick(grid->editor(), Qt::LeftButton, {}, QPoint(2, 5));
    EXPECT_EQ(menus.count(), 4);
    EXPECT_TRUE(grid->isEditing());
}

TEST_F(TaskGridTest, doubleClickOnCaptions_requestsFitting_notOnTasksNorDuringCaptionEditing) {
    QSignalSpy fits(grid.get(), &TaskGrid::fitColumnWidthsRequested);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(1, 0).center());
    EXPECT_EQ(fits.count(), 1);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(1, 2).center());
    EXPECT_EQ(fits.count(), 1);
    editCaptions();
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(1, 0).center());
    EXPECT_EQ(fits.count(), 1);
}

TEST_F(TaskGridTest, dragColumnBorderInHeader_resizesColumn) {
    auto send = [&](QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
        QMouseEvent event(type, pos, grid->viewport()->mapToGlobal(pos), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(grid->viewport(), &event);
    };
    send(QEvent::MouseButtonPress, QPoint(50, 10), Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(80, 12), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(80, 12), Qt::NoButton);
    EXPECT_EQ(table.columnWidth(0), 80);
    EXPECT_FALSE(currentCell.cell().has_value());
    // The same drag in a task row only selects.
    send(QEvent::MouseButtonPress, QPoint(80, 40), Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(120, 40), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(120, 40), Qt::NoButton);
    EXPECT_EQ(table.columnWidth(0), 80);
    EXPECT_EQ(current(), (CellPos{0, 1}));
}

// ---- wheel ----

TEST_F(TaskGridTest, wheel_firstEventStartsAtFirstTaskCell_thenMovesWithinTaskRows) {
    currentCell.set({2, 4});
    QSignalSpy repaints(grid.get(), &TaskGrid::plusMinusButtonsRepaintRequested);
    wheel(-120);
    EXPECT_EQ(current(), (CellPos{0, 2}));
    EXPECT_GE(repaints.count(), 1);
    wheel(-120);
    EXPECT_EQ(current(), (CellPos{0, 3}));
    wheel(240);
    EXPECT_EQ(current(), (CellPos{0, 1}));
    wheel(120);
    EXPECT_EQ(current(), (CellPos{0, 1}));
    currentCell.set({1, 5});
    wheel(-120);
    EXPECT_EQ(current(), (CellPos{1, 5}));
    // With nothing current the wheel picks the first task cell and goes no further.
    currentCell.clear();
    wheel(-120);
    EXPECT_EQ(current(), (CellPos{0, 1}));
}

// ---- editing and keys ----

TEST_F(TaskGridTest, typing_replacesTextKeystrokeByKeystroke_enterCloses) {
    table.setCell(1, 1, "old");
    currentCell.set({1, 1});
    key(Qt::Key_N);
    ASSERT_TRUE(grid->isEditing());
    EXPECT_EQ(table.cell(1, 1), "n");
    key(Qt::Key_E);
    EXPECT_EQ(table.cell(1, 1), "ne");
    type("w!");
    EXPECT_EQ(table.cell(1, 1), "new!");
    key(Qt::Key_Backspace);
    EXPECT_EQ(table.cell(1, 1), "new");
    key(Qt::Key_Return);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(table.cell(1, 1), "new");
    EXPECT_EQ(current(), (CellPos{1, 1}));
    EXPECT_TRUE(grid->hasFocus());

    // Enter and F2 open with the whole text selected; Backspace opens and empties.
    key(Qt::Key_Return);
    ASSERT_TRUE(grid->isEditing());
    EXPECT_EQ(grid->editor()->selectedText(), "new");
    key(Qt::Key_Enter);
    key(Qt::Key_F2);
    ASSERT_TRUE(grid->isEditing());
    EXPECT_EQ(grid->editor()->selectedText(), "new");
    key(Qt::Key_Return);
    key(Qt::Key_Backspace);
    EXPECT_TRUE(grid->isEditing());
    EXPECT_EQ(table.cell(1, 1), "");
}

TEST_F(TaskGridTest, typing_altGrCharacterOpensEditor_altOrCtrlLetterDoesNot) {
    table.setCell(1, 1, "old");
    currentCell.set({1, 1});
    QTest::keyClick(grid.get(), 'q', Qt::AltModifier);
    QTest::keyClick(grid.get(), 'q', Qt::ControlModifier);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(table.cell(1, 1), "old");
    QTest::keyClick(grid.get(), '@', Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(grid->isEditing());
    EXPECT_EQ(table.cell(1, 1), "@");
}

TEST_F(TaskGridTest, editorKeys_leftRightHomeEndStay_upDownMoveAndEndEditing) {
    currentCell.set({1, 3});
    type("abc");
    key(Qt::Key_Left);
    key(Qt::Key_Home);
    key(Qt::Key_End);
    key(Qt::Key_Left);
    ASSERT_TRUE(grid->isEditing());
    EXPECT_EQ(current(), (CellPos{1, 3}));
    EXPECT_EQ(grid->editor()->cursorPosition(), 2);
    key(Qt::Key_Down);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(current(), (CellPos{1, 4}));
    EXPECT_EQ(table.cell(1, 3), "abc");
    type("x");
    key(Qt::Key_Up);
    EXPECT_EQ(current(), (CellPos{1, 3}));
    EXPECT_EQ(table.cell(1, 4), "x");
    // Delete inside the editor edits the text, it does not empty the cell.
    key(Qt::Key_F2);
    key(Qt::Key_Home);
    key(Qt::Key_Delete);
    EXPECT_EQ(table.cell(1, 3), "bc");
}

TEST_F(TaskGridTest, cellOfAMegabyte_editsAsOneText_andNoKeyAfterTabIsLost) {
    QString big = QStringLiteral("START ");
    while (big.size() < 1000000) {
        big += QStringLiteral("some words of a long note ");
    }
    big += QStringLiteral(" END");
    table.setCell(1, 1, big);
    currentCell.set({1, 1});
    key(Qt::Key_F2);
    key(Qt::Key_End);
    type("T");
    key(Qt::Key_Tab);  // the editor keeps it: nothing to tab to inside a cell
    type("U");
    ASSERT_TRUE(grid->isEditing());
    EXPECT_TRUE(grid->editor()->hasFocus());
    EXPECT_EQ(table.cell(1, 1), big + "TU");
    // The editor lays out the stretch around its cursor, not the megabyte.
    EXPECT_LT(grid->editor()->text().size(), 100000);

    // Home, End and their selections reach the whole text's ends; copying takes all it selects.
    key(Qt::Key_Home);
    type("<");
    EXPECT_TRUE(table.cell(1, 1).startsWith("<START "));
    key(Qt::Key_End, Qt::ShiftModifier);
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), big + "TU");
    // Typing replaces the whole selection, also where the editor does not hold it.
    type("x");
    EXPECT_EQ(table.cell(1, 1), "<x");
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(table.cell(1, 1), "<x" + big + "TU");
    EXPECT_LT(grid->editor()->text().size(), 100000);
    key(Qt::Key_Return);
    EXPECT_FALSE(grid->isEditing());
}

// A paste of megabytes into a short text in the open editor goes into the cell whole and
// cleaned, while the line edit, which would lay out all of it at every keystroke and blink,
// is handed only the stretch around the cursor; typing goes on after it.
TEST_F(TaskGridTest, largePasteIntoTheOpenEditor_goesInWhole_theLineEditHoldsAPiece) {
    QString pasted;
    while (pasted.size() < 1000000) {
        pasted += QStringLiteral("a line of a pasted document\r\n");
    }
    QString stored = pasted;
    stored.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    stored.chop(1);  // the break at the end goes
    table.setCell(1, 2, "ab");
    currentCell.set({1, 2});
    key(Qt::Key_F2);
    key(Qt::Key_End);
    QGuiApplication::clipboard()->setText(pasted);
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(table.cell(1, 2), "ab" + stored);
    EXPECT_LT(grid->editor()->text().size(), taskwick::CellEditor::WholeTextLimit);
    type("Z");
    EXPECT_EQ(table.cell(1, 2), "ab" + stored + "Z");
    key(Qt::Key_Return);
    EXPECT_EQ(table.cell(1, 2), "ab" + stored + "Z");
}

TEST_F(TaskGridTest, escapeWithEditor_keepsTextAndLeavesFirstTaskCellCurrent) {
    QSignalSpy redBar(grid.get(), &TaskGrid::redBarActionRequested);
    currentCell.set({2, 3});
    type("abc");
    key(Qt::Key_Escape);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(table.cell(2, 3), "abc");
    EXPECT_EQ(current(), (CellPos{0, 1}));
    EXPECT_EQ(redBar.count(), 0);

    key(Qt::Key_Escape);
    EXPECT_EQ(redBar.count(), 1);
    EXPECT_EQ(current(), (CellPos{0, 1}));
}

TEST_F(TaskGridTest, escapeWithEditorDuringCaptionEditing_keepsCaptionEditingAtFirstCaption) {
    editCaptions();
    currentCell.set({1, 0});
    type("Job");
    key(Qt::Key_Escape);
    EXPECT_EQ(table.cell(1, 0), "Job");
    EXPECT_FALSE(table.captionsFixed());
    EXPECT_EQ(current(), (CellPos{0, 0}));
}

TEST_F(TaskGridTest, movingTheCurrentCell_isNoChangeOfTheList) {
    // Every change of the table is saved: a move of the cursor must not count as one.
    QSignalSpy listChanged(&table, &TaskTable::changed);
    press(1, 2);
    key(Qt::Key_Down);
    key(Qt::Key_End, Qt::ControlModifier);
    wheel(-120);
    key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(current(), (CellPos{0, 1}));
    EXPECT_EQ(listChanged.count(), 0);
}

TEST_F(TaskGridTest, gridKeys_moveCurrentCellNeverIntoFixedRow) {
    key(Qt::Key_Down);  // nothing current: the first task cell
    EXPECT_EQ(current(), (CellPos{0, 1}));
    key(Qt::Key_Up);
    EXPECT_EQ(current(), (CellPos{0, 1}));
    key(Qt::Key_Right);
    key(Qt::Key_Down);
    EXPECT_EQ(current(), (CellPos{1, 2}));
    key(Qt::Key_End);
    EXPECT_EQ(current(), (CellPos{2, 2}));
    key(Qt::Key_Home);
    EXPECT_EQ(current(), (CellPos{0, 2}));
    key(Qt::Key_PageDown);
    EXPECT_EQ(current(), (CellPos{0, 5}));
    key(Qt::Key_PageUp);
    EXPECT_EQ(current(), (CellPos{0, 1}));
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(current(), (CellPos{2, 5}));
    key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(current(), (CellPos{0, 1}));
}

TEST_F(TaskGridTest, keyIntoTaskRowDuringCaptionEditing_endsCaptionEditing) {
    editCaptions();
    key(Qt::Key_Right);
    EXPECT_EQ(current(), (CellPos{1, 0}));
    EXPECT_FALSE(table.captionsFixed());
    key(Qt::Key_Down);
    EXPECT_TRUE(table.captionsFixed());
    EXPECT_EQ(current(), (CellPos{0, 1}));
}

TEST_F(TaskGridTest, tab_movesFocusAwayFromTable) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    TaskTable other;
    taskwick::CurrentCell otherCurrent(other);
    auto* inner = new TaskGrid(other, otherCurrent);
    auto* next = new QLineEdit;
    layout->addWidget(inner);
    layout->addWidget(next);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    inner->setFocus();
    otherCurrent.set({1, 1});
    QTest::keyClick(inner, Qt::Key_Tab);
    EXPECT_TRUE(next->hasFocus());
    EXPECT_EQ(otherCurrent.cell(), (CellPos{1, 1}));
}

// ---- key commands and the clipboard ----

TEST_F(TaskGridTest, ctrlC_copiesNonEmptyCell_emptyCellLeavesClipboard) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("before");
    currentCell.set({1, 2});
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), "before");

    table.setCell(1, 2, " ");
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), " ");

    table.setCell(1, 2, "task");
    key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(clipboard->text(), "task");
    EXPECT_EQ(table.cell(1, 2), "task");
    EXPECT_FALSE(grid->isEditing());
}

// Two commands of the same key where both work would leave the key dead: Qt triggers neither.
TEST(CommandKeys, noTwoCommandsShareAKey) {
    std::set<QString> seen;
    for (const taskwick::CommandRow& row : taskwick::commandTable()) {
        for (const QKeySequence& key : row.keys) {
            EXPECT_TRUE(seen.insert(key.toString()).second)
                << row.name << " " << key.toString().toStdString();
        }
    }
}

TEST_F(TaskGridTest, ctrlX_cutsNonEmptyCell_emptyCellChangesNothing) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("before");
    currentCell.set({1, 2});
    key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), "before");
    table.setCell(1, 2, "cut me");
    key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), "cut me");
    EXPECT_EQ(table.cell(1, 2), "");
}

TEST_F(TaskGridTest, ctrlV_withoutEditor_storesTextWithoutLineBreaks) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    table.setCell(1, 2, "old");
    currentCell.set({1, 2});
    clipboard->setText("a\r\nb\r\n  ");
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(table.cell(1, 2), "a b");
    EXPECT_FALSE(grid->isEditing());
    // The clipboard itself is left alone here.
    EXPECT_EQ(clipboard->text(), "a\r\nb\r\n  ");
}

// Shift with Ctrl is the same command: Ctrl+Shift+X cuts and Ctrl+Shift+V pastes.
TEST_F(TaskGridTest, ctrlShiftXAndV_cutAndPasteAsWithoutShift) {
    table.setCell(1, 2, "moved");
    currentCell.set({1, 2});
    key(Qt::Key_X, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(table.cell(1, 2), "");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "moved");
    currentCell.set({2, 3});
    key(Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(table.cell(2, 3), "moved");

    // In the open editor Ctrl+Shift+V pastes into the text, cleaned, as Ctrl+V does.
    type("x");
    QGuiApplication::clipboard()->setText("one\r\ntwo");
    key(Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(grid->isEditing());
    EXPECT_EQ(table.cell(2, 3), "xone two");
}

TEST_F(TaskGridTest, pasteKeysWhileEditing_rewriteClipboardThenEditorPastes) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    currentCell.set({1, 2});
    type("x");
    clipboard->setText("one\r\ntwo\n");
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), "one two");
    EXPECT_EQ(table.cell(1, 2), "xone two");
    EXPECT_TRUE(grid->isEditing());

    // The editor's other paste key does the same.
    clipboard->setText("\nthree\r\n ");
    key(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(clipboard->text(), " three");
    EXPECT_EQ(table.cell(1, 2), "xone two three");
    EXPECT_EQ(grid->editor()->text(), table.cell(1, 2));

    // Nothing textual on the clipboard: it keeps what it holds, and nothing is pasted.
    auto* data = new QMimeData;
    data->setData("application/x-taskwick-test", "binary");
    clipboard->setMimeData(data);
    key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_NE(clipboard->mimeData(), nullptr);
    EXPECT_FALSE(clipboard->mimeData()->hasText());
    EXPECT_EQ(clipboard->mimeData()->data("application/x-taskwick-test"), "binary");
    EXPECT_EQ(table.cell(1, 2), "xone two three");
}

// A clipboard with nothing to paste: its owner has ended, it holds a picture, or its text is
// only line breaks and blanks. Whether the editor is closed or open on the whole text
// selected, the paste takes nothing away, and the automatic save has nothing to write.
TEST_F(TaskGridTest, pasteOfNothing_leavesTheCellAndTheEditorsSelection) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const std::vector<std::pair<const char*, std::function<void()>>> emptyClipboards{
        {"owner ended", [&] { clipboard->clear(); }},
        {"a picture only",
         [&] {
             auto* picture = new QMimeData;
             QImage image(8, 8, QImage::Format_RGB32);
             image.fill(Qt::red);
             picture->setImageData(image);
             clipboard->setMimeData(picture);
         }},
        {"line breaks and blanks", [&] { clipboard->setText("\r\n \n\t"); }},
    };
    for (const auto& [label, emptyTheClipboard] : emptyClipboards) {
        SCOPED_TRACE(label);
        table.setCell(1, 2, "keep this task");
        currentCell.set({1, 2});
        QSignalSpy started(grid.get(), &TaskGrid::userChangeStarted);
        QSignalSpy changed(&table, &TaskTable::changed);
        emptyTheClipboard();
        key(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(table.cell(1, 2), "keep this task");
        EXPECT_EQ(changed.count(), 0);
        EXPECT_EQ(started.count(), 0);  // no step of the user's either

        key(Qt::Key_F2);  // the editor opens with the whole text selected
        ASSERT_TRUE(grid->isEditing());
        emptyTheClipboard();
        key(Qt::Key_V, Qt::ControlModifier);
        key(Qt::Key_Insert, Qt::ShiftModifier);
        EXPECT_EQ(table.cell(1, 2), "keep this task");
        EXPECT_EQ(grid->editor()->selectedText(), "keep this task");
        key(Qt::Key_Return);
        EXPECT_EQ(table.cell(1, 2), "keep this task");
    }
}

// Text copied from most programs ends its lines with CR LF: each such break is one space in
// the cell, as a lone CR or LF is, with the editor closed and open.
TEST_F(TaskGridTest, pastedCrLf_becomesOneSpace) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const std::vector<std::pair<QString, QString>> pastes{
        {"line1\r\nline2", "line1 line2"},
        {"a\rb\nc", "a b c"},
        {"two\r\n\r\nbreaks", "two  breaks"},
        {"\r\nlead\r\n", " lead"},
    };
    for (const auto& [pasted, stored] : pastes) {
        SCOPED_TRACE(pasted.toStdString());
        table.setCell(1, 2, "old");
        currentCell.set({1, 2});
        clipboard->setText(pasted);
        key(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(table.cell(1, 2), stored);

        key(Qt::Key_F2);
        clipboard->setText(pasted);
        key(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(table.cell(1, 2), stored);
        EXPECT_EQ(clipboard->text(), stored);
        key(Qt::Key_Return);
    }
}

TEST_F(TaskGridTest, mouseAndInputMethodIntoEditor_neverBringLineBreaksIntoCell) {
    table.setCell(1, 2, "ab");
    press(1, 2);
    press(1, 2);
    ASSERT_TRUE(grid->isEditing());
    QLineEdit* editor = grid->editor();
    const QPoint end(editor->width() - 2, editor->height() / 2);
    const QPoint start(1, editor->height() / 2);

    // The X11 middle-button paste of the primary selection, which itself stays as it was.
    services.selection = QString("sel\r\nx \n");
    QTest::mouseClick(editor, Qt::MiddleButton, {}, end);
    EXPECT_EQ(table.cell(1, 2), "absel x");

    // Text dropped from another program: a leading break becomes a space, trailing ones go.
    QMimeData dragged;
    dragged.setText("\r\ndrop\r\n");
    QDragEnterEvent enter(start, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor, &enter);
    QDropEvent drop(start, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(table.cell(1, 2), " dropabsel x");

    // An input method committing a line break: the break becomes a space where it stands.
    key(Qt::Key_End);
    QInputMethodEvent commit;
    commit.setCommitString("i\nj");
    QApplication::sendEvent(editor, &commit);
    EXPECT_EQ(table.cell(1, 2), " dropabsel xi j");
    EXPECT_EQ(editor->text(), table.cell(1, 2));
    EXPECT_EQ(editor->cursorPosition(), editor->text().size());
    type("k");
    EXPECT_EQ(table.cell(1, 2), " dropabsel xi jk");
}

TEST_F(TaskGridTest, ctrlCWhileEditing_isLeftToEditor) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    table.setCell(1, 2, "whole");
    currentCell.set({1, 2});
    key(Qt::Key_F2);
    key(Qt::Key_End);
    key(Qt::Key_Left, Qt::ShiftModifier);
    key(Qt::Key_Left, Qt::ShiftModifier);
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), "le");
    key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(table.cell(1, 2), "who");
}

TEST_F(TaskGridTest, delete_emptiesCurrentCell_alsoCaptionDuringCaptionEditing) {
    table.setCell(1, 2, "gone");
    currentCell.set({1, 2});
    key(Qt::Key_Delete);
    EXPECT_EQ(table.cell(1, 2), "");
    EXPECT_FALSE(grid->isEditing());

    editCaptions();
    EXPECT_EQ(current(), (CellPos{0, 0}));
    key(Qt::Key_Delete);
    EXPECT_EQ(table.cell(0, 0), "");
    EXPECT_EQ(table.cell(1, 0), "Task");
}

TEST_F(TaskGridTest, keyCommandsFromElsewhere_actOnCurrentCell) {
    QSignalSpy redBar(grid.get(), &TaskGrid::redBarActionRequested);
    table.setCell(2, 3, "x");
    currentCell.set({2, 3});
    grid->emptyCurrentCell();
    EXPECT_EQ(table.cell(2, 3), "");
    grid->escape();
    EXPECT_EQ(redBar.count(), 1);
    // Without a current cell the clipboard commands do nothing.
    currentCell.clear();
    QGuiApplication::clipboard()->setText("paste");
    grid->pasteIntoCurrentCell();
    EXPECT_EQ(table.cell(2, 3), "");
}

}  // namespace
