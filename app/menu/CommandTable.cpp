#include "app/menu/CommandTable.h"

#include "table/commands/TableCommands.h"
#include "table/history/TableHistory.h"
#include "table/model/CurrentCell.h"
#include "table/model/TaskTable.h"
#include "table/view/TaskGrid.h"

#include <array>
#include <stdexcept>

namespace taskwick {

namespace {

// The menu's limits on the table's size; the frame's +/- buttons run their commands without
// them.
constexpr int MaxRows = 100;  // caption row included
constexpr int MinRows = 2;    // the menu keeps one task row
constexpr int MaxColumns = 100;
constexpr int MinColumns = 1;

bool currentAlignmentIs(const TaskTable& table, const CurrentCell& cell, Alignment alignment) {
    const auto current = cell.cell();
    return current && table.columnAlignment(current->col) == alignment;
}

QKeySequence keys(QKeyCombination combination) {
    return QKeySequence(combination);
}

// A command that is a menu item and nothing else; the rows below set what differs.
CommandRow item(Command id, const char* name, QString MenuCaptions::*caption, const char* picture,
                void (*work)(const CommandTargets&), MenuPlace menu,
                const char* separatorBefore = nullptr) {
    return CommandRow{id,
                      name,
                      caption,
                      picture,
                      nullptr,
                      nullptr,
                      {},
                      KeyScope::Window,
                      work,
                      HistoryRole::None,
                      menu,
                      separatorBefore,
                      Offered::Always,
                      nullptr,
                      Look::Plain,
                      FrameButton::None};
}

CommandRow step(CommandRow row) {
    row.history = HistoryRole::Step;
    return row;
}

CommandRow setting(CommandRow row, const char* pictureWhenOn,
                   bool (*isOn)(const TaskTable&, const CurrentCell&)) {
    row.look = Look::Setting;
    row.pictureWhenOn = pictureWhenOn;
    row.isOn = isOn;
    return row;
}

CommandRow alignment(CommandRow row, bool (*isOn)(const TaskTable&, const CurrentCell&)) {
    row.look = Look::AlignmentTick;
    row.offered = Offered::WithCurrentCell;
    row.isOn = isOn;
    return row;
}

CommandRow limited(CommandRow row, bool (*withinLimits)(const TaskTable&), FrameButton button) {
    row.offered = Offered::WithinSizeLimits;
    row.withinLimits = withinLimits;
    row.button = button;
    return row;
}

// A command of keys alone.
CommandRow keyed(Command id, const char* name, QString MenuCaptions::*caption,
                 std::vector<QKeySequence> keys, KeyScope scope,
                 void (*work)(const CommandTargets&)) {
    CommandRow row = item(id, name, caption, nullptr, work, MenuPlace::None);
    row.keys = std::move(keys);
    row.keyScope = scope;
    return row;
}

std::vector<CommandRow> makeTable() {
    using C = Command;
    using M = MenuCaptions;
    using T = const CommandTargets&;
    constexpr auto Main = MenuPlace::Main;
    constexpr auto Column = MenuPlace::ThisColumn;
    constexpr auto Grid = KeyScope::Grid;
    const auto ctrl = [](Qt::Key key) { return keys(Qt::CTRL | key); };
    const auto ctrlShift = [](Qt::Key key) { return keys(Qt::CTRL | Qt::SHIFT | key); };

    std::vector<CommandRow> rows{
        item(
            C::ChangeCaptions, "changeCaptions", &M::changeCaptions, "change-title",
            [](T t) { t.table->startCaptionEditing(); }, Main),
        setting(step(item(
                    C::CaptionsBold, "captionsBold", &M::captionsBold, "title-bold",
                    [](T t) { t.table->toggleCaptionsBold(); }, Main)),
                "title-bold-on",
                [](const TaskTable& table, const CurrentCell&) { return table.captionsBold(); }),
        setting(step(item(
                    C::GridLines, "gridLines", &M::gridLines, "grid-lines",
                    [](T t) { t.table->toggleGridLines(); }, Main)),
                "grid-lines-on",
                [](const TaskTable& table, const CurrentCell&) { return table.drawGridLines(); }),
        alignment(step(item(
                      C::AlignLeft, "leftAlign", &M::leftAlign, nullptr,
                      [](T t) { t.table->alignCurrentColumn(Alignment::Left); }, Column)),
                  [](const TaskTable& table, const CurrentCell& current) {
                      return currentAlignmentIs(table, current, Alignment::Left);
                  }),
        alignment(step(item(
                      C::AlignCenter, "centerAlign", &M::centerAlign, nullptr,
                      [](T t) { t.table->alignCurrentColumn(Alignment::Center); }, Column)),
                  [](const TaskTable& table, const CurrentCell& current) {
                      return currentAlignmentIs(table, current, Alignment::Center);
                  }),
        alignment(step(item(
                      C::AlignRight, "rightAlign", &M::rightAlign, nullptr,
                      [](T t) { t.table->alignCurrentColumn(Alignment::Right); }, Column)),
                  [](const TaskTable& table, const CurrentCell& current) {
                      return currentAlignmentIs(table, current, Alignment::Right);
                  }),
        limited(
            step(item(
                C::AddRow, "addRow", &M::addRow, "add-row", [](T t) { t.table->addRow(); }, Main,
                "separator2")),
            [](const TaskTable& table) { return table.rowCount() < MaxRows; }, FrameButton::AddRow),
        limited(
            step(item(
                C::DeleteRow, "deleteRow", &M::deleteRow, "delete-row",
                [](T t) { t.table->deleteLastRow(); }, Main)),
            [](const TaskTable& table) { return table.rowCount() > MinRows; },
            FrameButton::DeleteRow),
        limited(
            step(item(
                C::AddColumn, "addColumn", &M::addColumn, "add-column",
                [](T t) { t.table->addColumn(); }, Main, "separator3")),
            [](const TaskTable& table) { return table.colCount() < MaxColumns; },
            FrameButton::AddColumn),
        limited(
            step(item(
                C::DeleteColumn, "deleteColumn", &M::deleteColumn, "delete-column",
                [](T t) { t.table->deleteLastColumn(); }, Main)),
            [](const TaskTable& table) { return table.colCount() > MinColumns; },
            FrameButton::DeleteColumn),
        item(
            C::NoSkin, "noSkin", &M::noSkin, nullptr, [](T t) { t.window->wearNoSkin(); },
            MenuPlace::Skin, "separator7"),
        item(
            C::OpenFileFolder, "openFileFolder", &M::openFolder, "open-folder",
            [](T t) { t.window->showListFolder(); }, Main, "separator5"),
        item(
            C::About, "about", &M::about, "about", [](T t) { t.window->showAbout(); }, Main),
        item(
            C::Exit, "exit", &M::exit, "exit", [](T t) { t.window->exitProgram(); }, Main,
            "separator6"),
        keyed(C::Undo, "undo", &M::undo, {ctrl(Qt::Key_Z)}, KeyScope::Window,
              [](T t) { t.history->undo(); }),
        keyed(C::Redo, "redo", &M::redo, {ctrl(Qt::Key_Y), ctrlShift(Qt::Key_Z)}, KeyScope::Window,
              [](T t) { t.history->redo(); }),
        keyed(C::CopyCell, "copyCell", nullptr, {ctrl(Qt::Key_C), ctrlShift(Qt::Key_C)}, Grid,
              [](T t) { t.grid->copyCurrentCell(); }),
        keyed(C::CutCell, "cutCell", nullptr, {ctrl(Qt::Key_X), ctrlShift(Qt::Key_X)}, Grid,
              [](T t) { t.grid->cutCurrentCell(); }),
        keyed(C::PasteCell, "pasteCell", nullptr, {ctrl(Qt::Key_V), ctrlShift(Qt::Key_V)}, Grid,
              [](T t) { t.grid->pasteIntoCurrentCell(); }),
        keyed(C::EmptyCell, "emptyCell", nullptr, {keys(QKeyCombination(Qt::Key_Delete))}, Grid,
              [](T t) { t.grid->emptyCurrentCell(); }),
        // Escape works on the folded bar too, where the grid is out of sight.
        keyed(C::Escape, "escape", nullptr, {keys(QKeyCombination(Qt::Key_Escape))},
              KeyScope::Window, [](T t) { t.grid->escape(); }),
    };
    rows[static_cast<int>(C::NoSkin)].look = Look::SkinTick;
    rows[static_cast<int>(C::Exit)].button = FrameButton::ExitIcon;
    rows[static_cast<int>(C::Undo)].history = HistoryRole::Travel;
    rows[static_cast<int>(C::Undo)].offered = Offered::ByHistory;
    rows[static_cast<int>(C::Redo)].history = HistoryRole::Travel;
    rows[static_cast<int>(C::Redo)].offered = Offered::ByHistory;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (static_cast<std::size_t>(rows[i].id) != i) {
            throw std::logic_error("the command table is out of the order of Command");
        }
    }
    return rows;
}

}  // namespace

std::span<const CommandRow> commandTable() {
    static const std::vector<CommandRow> rows = makeTable();
    return rows;
}

const CommandRow& commandRow(Command command) {
    return commandTable()[static_cast<std::size_t>(command)];
}

std::span<const SubmenuRow> submenuTable() {
    static const std::array<SubmenuRow, 2> rows{{
        {MenuPlace::ThisColumn, "thisColumn", &MenuCaptions::thisColumn, "column", "separator1"},
        {MenuPlace::Skin, "skin", &MenuCaptions::skin, "skin", "separator4"},
    }};
    return rows;
}

void runCommand(const CommandRow& row, const CommandTargets& targets) {
    if (row.history == HistoryRole::Step && targets.history != nullptr) {
        targets.history->record([&] { row.work(targets); });
    } else {
        row.work(targets);
    }
}

}  // namespace taskwick
