#pragma once

#include "texts/Texts.h"

#include <QKeySequence>

#include <span>
#include <vector>

namespace taskwick {

class CurrentCell;
class TableCommands;
class TableHistory;
class TaskGrid;
class TaskTable;

// The program's commands, each a row of the command table below.
enum class Command {
    ChangeCaptions,
    CaptionsBold,
    GridLines,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AddRow,
    DeleteRow,
    AddColumn,
    DeleteColumn,
    NoSkin,
    OpenFileFolder,
    About,
    Exit,
    // By their keys alone, outside the menu.
    Undo,
    Redo,
    CopyCell,
    CutCell,
    PasteCell,
    EmptyCell,
    Escape,
};
inline constexpr int CommandCount = static_cast<int>(Command::Escape) + 1;

// The commands that belong to the window itself.
class WindowCommands {
public:
    virtual ~WindowCommands() = default;
    virtual void wearNoSkin() = 0;
    virtual void showListFolder() = 0;
    virtual void showAbout() = 0;
    virtual void exitProgram() = 0;
};

// What the commands act on; a command reaches only what its work names.
struct CommandTargets {
    TableCommands* table = nullptr;
    TableHistory* history = nullptr;
    TaskGrid* grid = nullptr;
    WindowCommands* window = nullptr;
};

// Where a command's keys work: anywhere in the window, or while the focus is in the grid (its
// cell editor included, which keeps the keys it has a meaning for).
enum class KeyScope { Window, Grid };
// Where a command shows in the context menu.
enum class MenuPlace { None, Main, ThisColumn, Skin };
// What an action shows besides its caption: a setting's picture, on or off; a tick of the
// current column's alignment, one of three; the skin menu's tick, which a click leaves alone.
enum class Look { Plain, Setting, AlignmentTick, SkinTick };
// When a command is offered: always; while there is a current cell; while the menu is open,
// only within the table's size limits; while the history has a step to undo or do again.
enum class Offered { Always, WithCurrentCell, WithinSizeLimits, ByHistory };
// Whether running the command is a step of the history, or walks the history.
enum class HistoryRole { None, Step, Travel };
// The frame's button that runs the command too.
enum class FrameButton { None, ExitIcon, AddRow, DeleteRow, AddColumn, DeleteColumn };

struct CommandRow {
    Command id;
    const char* name;                // the action's object name
    QString MenuCaptions::*caption;  // nullptr: none
    const char* picture;             // nullptr: none
    const char* pictureWhenOn;       // a setting's picture while it is on
    // A setting's state, or whether the tick is set.
    bool (*isOn)(const TaskTable&, const CurrentCell&);
    std::vector<QKeySequence> keys;
    KeyScope keyScope;
    void (*work)(const CommandTargets&);
    HistoryRole history;
    MenuPlace menu;
    const char* separatorBefore;  // the separator's name, in the command's menu; nullptr: none
    Offered offered;
    bool (*withinLimits)(const TaskTable&);  // Offered::WithinSizeLimits
    Look look;
    FrameButton button;
};

// Every command, in the order of the menu.
std::span<const CommandRow> commandTable();
const CommandRow& commandRow(Command command);

// The submenus: each shows in the main menu where its first command comes.
struct SubmenuRow {
    MenuPlace place;
    const char* name;
    QString MenuCaptions::*caption;
    const char* picture;
    const char* separatorBefore;  // in the main menu
};
std::span<const SubmenuRow> submenuTable();

// Runs the command's work; a step of the history is recorded as one.
void runCommand(const CommandRow& row, const CommandTargets& targets);

}  // namespace taskwick
