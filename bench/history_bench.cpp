// Undoing the deletion of a column of a 100 x 100 list against deleting it (as the menu does:
// the question answered, the widths fitted, the step recorded), and the same deletion without
// a history, which shows what recording the step costs. Model level: the grid repaints the
// same after either. Also a typed word recorded as a step in a table of 10k, 100k and 1M cells:
// its time should not grow with the table. Run with QT_QPA_PLATFORM=offscreen (set here when
// unset).

#include "table/commands/TableCommands.h"
#include "table/history/TableHistory.h"
#include "table/model/ColumnFitting.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <memory>

using namespace taskwick;

namespace {

constexpr int Rows = 100;
constexpr int Cols = 100;
constexpr int TableWidth = 800;

struct List {
    TaskTable table;
    taskwick::CurrentCell current{table};
    TableHistory history{table, current};
    TableCommands commands{table, current, Language::English,
                           [](const QString&, const QString&) { return true; },
                           [this] { fitTableColumns(table, TableWidth); }};

    List() {
        table.setColCount(Cols);
        table.setRowCount(Rows);
        for (int row = 0; row < Rows; ++row) {
            for (int col = 0; col < Cols; ++col) {
                table.setCell(col, row, QStringLiteral("Task %1/%2").arg(row).arg(col));
            }
        }
        fitTableColumns(table, TableWidth);
        current.set(CellPos{3, 7});
    }
    void deleteColumn() {
        history.record([this] { commands.deleteLastColumn(); });
    }
};

void BM_DeleteColumn(benchmark::State& state) {
    List list;
    for (auto _ : state) {
        list.deleteColumn();
        state.PauseTiming();
        list.history.undo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteColumn)->Unit(benchmark::kMicrosecond);

void BM_UndoDeleteColumn(benchmark::State& state) {
    List list;
    for (auto _ : state) {
        state.PauseTiming();
        list.deleteColumn();
        state.ResumeTiming();
        list.history.undo();
    }
}
BENCHMARK(BM_UndoDeleteColumn)->Unit(benchmark::kMicrosecond);

void BM_DeleteColumnWithoutHistory(benchmark::State& state) {
    List list;
    for (auto _ : state) {
        list.commands.deleteLastColumn();
        state.PauseTiming();
        list.table.setColCount(Cols);
        for (int row = 0; row < Rows; ++row) {
            list.table.setCell(Cols - 1, row, QStringLiteral("Task %1/%2").arg(row).arg(Cols - 1));
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteColumnWithoutHistory)->Unit(benchmark::kMicrosecond);

// One cell's edit as a step, in a table of state.range(0) cells in ten columns.
void BM_RecordCellEdit(benchmark::State& state) {
    TaskTable table;
    taskwick::CurrentCell current{table};
    TableHistory history{table, current};
    const int rows = static_cast<int>(state.range(0) / 10);
    table.setShape(rows, 10);
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < 10; ++col) {
            table.setCell(col, row, QStringLiteral("Task %1/%2").arg(row).arg(col));
        }
    }
    int round = 0;
    for (auto _ : state) {
        history.record(
            [&] { table.setCell(3, rows / 2, QStringLiteral("typed %1").arg(++round)); });
    }
}
BENCHMARK(BM_RecordCellEdit)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
