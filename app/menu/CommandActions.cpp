#include "app/menu/CommandActions.h"

#include "resources/Resources.h"
#include "table/model/TaskTable.h"

#include <QAction>
#include <QActionGroup>
#include <QIcon>
#include <QKeySequence>

namespace taskwick {

namespace {

constexpr int MaxRows = 100;  // caption row included
constexpr int MinRows = 2;    // the menu keeps one task row
constexpr int MaxColumns = 100;
constexpr int MinColumns = 1;

}  // namespace

QIcon menuPicture(const char* name) {
    return QIcon(QStringLiteral(":/menu/") + QLatin1String(name) + QStringLiteral(".png"));
}

CommandActions::CommandActions(const TaskTable& table, Language language, QObject* parent)
    : QObject(parent), table_(table), language_(language) {
    initResources();
    const MenuCaptions& captions = textsFor(language).menu;
    make(Command::ChangeCaptions, "changeCaptions", captions.changeCaptions);
    make(Command::CaptionsBold, "captionsBold", captions.captionsBold);
    make(Command::GridLines, "gridLines", captions.gridLines);
    make(Command::AlignLeft, "leftAlign", captions.leftAlign);
    make(Command::AlignCenter, "centerAlign", captions.centerAlign);
    make(Command::AlignRight, "rightAlign", captions.rightAlign);
    make(Command::AddRow, "addRow", captions.addRow);
    make(Command::DeleteRow, "deleteRow", captions.deleteRow);
    make(Command::AddColumn, "addColumn", captions.addColumn);
    make(Command::DeleteColumn, "deleteColumn", captions.deleteColumn);
    make(Command::NoSkin, "noSkin", captions.noSkin);
    make(Command::OpenFileFolder, "openFileFolder", captions.openFolder);
    make(Command::About, "about", captions.about);
    make(Command::Exit, "exit", captions.exit);
    make(Command::Undo, "undo", captions.undo)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    make(Command::Redo, "redo", captions.redo)
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});

    pictures_[static_cast<int>(Command::ChangeCaptions)] = "change-title";
    pictures_[static_cast<int>(Command::AddRow)] = "add-row";
    pictures_[static_cast<int>(Command::DeleteRow)] = "delete-row";
    pictures_[static_cast<int>(Command::AddColumn)] = "add-column";
    pictures_[static_cast<int>(Command::DeleteColumn)] = "delete-column";
    pictures_[static_cast<int>(Command::OpenFileFolder)] = "open-folder";
    pictures_[static_cast<int>(Command::About)] = "about";
    pictures_[static_cast<int>(Command::Exit)] = "exit";

    alignGroup_ = new QActionGroup(this);
    alignGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (const Command align : {Command::AlignLeft, Command::AlignCenter, Command::AlignRight}) {
        action(align)->setCheckable(true);
        alignGroup_->addAction(action(align));
    }
    // The skin menu ticks "No Skin" while it fills the submenu; a click must not untick it.
    action(Command::NoSkin)->setCheckable(true);
    connect(action(Command::NoSkin), &QAction::triggered, this,
            [this](bool checked) { action(Command::NoSkin)->setChecked(!checked); });

    followTable();
    connect(&table_, &TaskTable::changed, this, &CommandActions::followTable);
}

QAction* CommandActions::make(Command command, const char* name, const QString& caption) {
    auto* made = new QAction(caption, this);
    made->setObjectName(QLatin1String(name));
    actions_[static_cast<int>(command)] = made;
    return made;
}

void CommandActions::setPicture(Command command, const char* name) {
    pictures_[static_cast<int>(command)] = name;
    if (picturesLoaded_) {
        action(command)->setIcon(menuPicture(name));
    }
}

void CommandActions::followTable() {
    setPicture(Command::CaptionsBold, table_.captionsBold() ? "title-bold-on" : "title-bold");
    setPicture(Command::GridLines, table_.drawGridLines() ? "grid-lines-on" : "grid-lines");

    const auto current = table_.currentCell();
    for (QAction* align : alignGroup_->actions()) {
        align->setEnabled(current.has_value());
    }
    if (!current) {
        return;  // the ticks stay as they were; nobody sees them while the items are disabled
    }
    switch (table_.columnAlignment(current->col)) {
        case Alignment::Center:
            action(Command::AlignCenter)->setChecked(true);
            break;
        case Alignment::Right:
            action(Command::AlignRight)->setChecked(true);
            break;
        default:
            action(Command::AlignLeft)->setChecked(true);
            break;
    }
}

void CommandActions::setSizeLimits(bool apply) {
    const int rows = table_.rowCount();
    const int cols = table_.colCount();
    action(Command::AddRow)->setEnabled(!apply || rows < MaxRows);
    action(Command::DeleteRow)->setEnabled(!apply || rows > MinRows);
    action(Command::AddColumn)->setEnabled(!apply || cols < MaxColumns);
    action(Command::DeleteColumn)->setEnabled(!apply || cols > MinColumns);
}

void CommandActions::loadPictures() {
    if (std::exchange(picturesLoaded_, true)) {
        return;
    }
    for (int i = 0; i < CommandCount; ++i) {
        if (pictures_[static_cast<size_t>(i)] != nullptr) {
            actions_[static_cast<size_t>(i)]->setIcon(
                menuPicture(pictures_[static_cast<size_t>(i)]));
        }
    }
}

}  // namespace taskwick
