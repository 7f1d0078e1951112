// The task grid against a stock QTableWidget doing the same work: painting a 100 x 100 table
// into an image, and one keystroke in the in-place editor until the cell holds the new text.
// Run with QT_QPA_PLATFORM=offscreen (set here when unset).

#include "table/view/TaskGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableWidget>

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>

using taskwick::CellPos;
using taskwick::TaskGrid;
using taskwick::TaskTable;

namespace {

constexpr int Rows = 100;
constexpr int Cols = 100;
constexpr int ColumnWidth = 60;

QString cellText(int col, int row) {
    return QStringLiteral("Task %1/%2").arg(row).arg(col);
}

// Range 0: the whole table visible; range 1: a window-sized view of its top-left corner.
QSize viewSize(const benchmark::State& state) {
    return state.range(0) == 0 ? QSize(Cols * (ColumnWidth + 1) + 4, Rows * 25 + 4)
                               : QSize(800, 600);
}

struct Grid {
    TaskTable table;
    taskwick::CurrentCell current{table};
    std::unique_ptr<TaskGrid> grid;

    explicit Grid(QSize size) {
        table.setColCount(Cols);
        table.setRowCount(Rows);
        for (int row = 0; row < Rows; ++row) {
            for (int col = 0; col < Cols; ++col) {
                table.setCell(col, row, cellText(col, row));
            }
        }
        for (int col = 0; col < Cols; ++col) {
            table.setColumnWidth(col, ColumnWidth);
        }
        grid = std::make_unique<TaskGrid>(table, current);
        grid->resize(size);
        grid->show();
    }
};

struct Stock {
    QTableWidget widget{Rows, Cols};

    explicit Stock(QSize size) {
        widget.horizontalHeader()->hide();
        widget.verticalHeader()->hide();
        widget.verticalHeader()->setDefaultSectionSize(TaskGrid::DefaultRowHeight);
        widget.horizontalHeader()->setDefaultSectionSize(ColumnWidth);
        widget.setFont(TaskGrid::tableFont());
        for (int row = 0; row < Rows; ++row) {
            for (int col = 0; col < Cols; ++col) {
                widget.setItem(row, col, new QTableWidgetItem(cellText(col, row)));
            }
        }
        widget.resize(size);
        widget.show();
    }
};

void repaint(benchmark::State& state, QWidget& widget) {
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    QApplication::processEvents();
    for (auto _ : state) {
        widget.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_TaskGridRepaint(benchmark::State& state) {
    Grid grid(viewSize(state));
    repaint(state, *grid.grid);
}

void BM_QTableWidgetRepaint(benchmark::State& state) {
    Stock stock(viewSize(state));
    repaint(state, stock.widget);
}

// Types one letter and takes it back, so the text keeps its length; two keystrokes per round.
void typeAndCheck(benchmark::State& state, QWidget* editor, const std::function<QString()>& cell) {
    QKeyEvent letterPress(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QKeyEvent backspacePress(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    const QString before = cell();
    for (auto _ : state) {
        QApplication::sendEvent(editor, &letterPress);
        benchmark::DoNotOptimize(cell());
        QApplication::sendEvent(editor, &backspacePress);
        benchmark::DoNotOptimize(cell());
    }
    QApplication::sendEvent(editor, &letterPress);
    if (cell() != before + QLatin1Char('a')) {
        state.SkipWithError("the keystroke did not reach the cell");
    }
    state.SetItemsProcessed(2 * state.iterations());
}

void BM_TaskGridKeystroke(benchmark::State& state) {
    Grid grid(QSize(800, 600));
    grid.current.set(CellPos{1, 2});
    grid.grid->openEditor(taskwick::EditorSelection::CaretAtEnd);
    QApplication::processEvents();
    typeAndCheck(state, grid.grid->editor(), [&] { return grid.table.cell(1, 2); });
}

void BM_QTableWidgetKeystroke(benchmark::State& state) {
    Stock stock(QSize(800, 600));
    QTableWidgetItem* item = stock.widget.item(2, 1);
    stock.widget.openPersistentEditor(item);
    auto* editor =
        qobject_cast<QLineEdit*>(stock.widget.indexWidget(stock.widget.indexFromItem(item)));
    if (editor == nullptr) {
        state.SkipWithError("no line edit as the item editor");
        return;
    }
    // The same contract as the grid's: every keystroke lands in the model at once.
    QObject::connect(editor, &QLineEdit::textEdited, editor,
                     [item](const QString& text) { item->setText(text); });
    editor->end(false);
    QApplication::processEvents();
    typeAndCheck(state, editor, [item] { return item->text(); });
}

BENCHMARK(BM_TaskGridRepaint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QTableWidgetRepaint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TaskGridKeystroke)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QTableWidgetKeystroke)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
