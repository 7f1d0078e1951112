#pragma once

#include "app/menu/CommandTable.h"
#include "texts/Texts.h"

#include <QObject>

#include <array>

class QAction;
class QActionGroup;
class QIcon;

namespace taskwick {

class CurrentCell;
class TaskTable;

// One of the menu's pictures by its name ("add-row").
QIcon menuPicture(const char* name);

// The actions of every command of the command table, in the build's language, with their
// state following the task table: the pictures of the two settings (caption bold, grid lines)
// show whether they are on, the alignment ticks show the current column's, and the alignments
// are offered only while there is a current cell. Undo and redo start disabled; the window
// enables them as the history says.
class CommandActions : public QObject {
    Q_OBJECT
public:
    // The table and the current cell must outlive the actions.
    CommandActions(const TaskTable& table, const CurrentCell& current, Language language,
                   QObject* parent = nullptr);

    QAction* action(Command command) const { return actions_[static_cast<int>(command)]; }
    Language language() const { return language_; }

    // The menu's limits on the table's size (100 rows and 100 columns at most, a task row and
    // a column at least) apply while the menu is open. The frame's +/- buttons run their
    // commands without them.
    void setSizeLimits(bool apply);
    // The pictures are read when they are first shown, not while the program starts.
    void loadPictures();

private:
    QAction* make(const CommandRow& row, const MenuCaptions& captions);
    void followTable();
    void setPicture(const CommandRow& row, const char* picture);

    const TaskTable& table_;
    const CurrentCell& current_;
    Language language_;
    std::array<QAction*, CommandCount> actions_{};
    std::array<const char*, CommandCount> pictures_{};
    QActionGroup* alignGroup_ = nullptr;
    bool picturesLoaded_ = false;
};

}  // namespace taskwick
