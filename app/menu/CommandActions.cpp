#include "app/menu/CommandActions.h"

#include "resources/Resources.h"
#include "table/model/CurrentCell.h"
#include "table/model/TaskTable.h"

#include <QAction>
#include <QActionGroup>
#include <QIcon>
#include <QKeySequence>

namespace taskwick {

namespace {

Qt::ShortcutContext contextOf(KeyScope scope) {
    return scope == KeyScope::Grid ? Qt::WidgetWithChildrenShortcut : Qt::WindowShortcut;
}

}  // namespace

QIcon menuPicture(const char* name) {
    return QIcon(QStringLiteral(":/menu/") + QLatin1String(name) + QStringLiteral(".png"));
}

CommandActions::CommandActions(const TaskTable& table, const CurrentCell& current,
                               Language language, QObject* parent)
    : QObject(parent), table_(table), current_(current), language_(language) {
    initResources();
    alignGroup_ = new QActionGroup(this);
    alignGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    const MenuCaptions& captions = textsFor(language).menu;
    for (const CommandRow& row : commandTable()) {
        make(row, captions);
    }
    followTable();
    connect(&table_, &TaskTable::changed, this, &CommandActions::followTable);
    connect(&current_, &CurrentCell::changed, this, &CommandActions::followTable);
}

QAction* CommandActions::make(const CommandRow& row, const MenuCaptions& captions) {
    auto* made = new QAction(row.caption ? captions.*row.caption : QString(), this);
    made->setObjectName(QLatin1String(row.name));
    made->setShortcuts(QList<QKeySequence>(row.keys.begin(), row.keys.end()));
    made->setShortcutContext(contextOf(row.keyScope));
    made->setEnabled(row.offered != Offered::ByHistory);
    actions_[static_cast<int>(row.id)] = made;
    pictures_[static_cast<int>(row.id)] = row.picture;
    switch (row.look) {
        case Look::AlignmentTick:
            made->setCheckable(true);
            alignGroup_->addAction(made);
            break;
        case Look::SkinTick:
            // The skin menu ticks the item while it fills the submenu; a click must not untick
            // it.
            made->setCheckable(true);
            connect(made, &QAction::triggered, made,
                    [made](bool checked) { made->setChecked(!checked); });
            break;
        default:
            break;
    }
    return made;
}

void CommandActions::setPicture(const CommandRow& row, const char* name) {
    if (std::exchange(pictures_[static_cast<int>(row.id)], name) != name && picturesLoaded_) {
        action(row.id)->setIcon(menuPicture(name));
    }
}

void CommandActions::followTable() {
    const bool hasCurrent = current_.cell().has_value();
    for (const CommandRow& row : commandTable()) {
        QAction* made = action(row.id);
        if (row.look == Look::Setting) {
            setPicture(row, row.isOn(table_, current_) ? row.pictureWhenOn : row.picture);
        }
        if (row.offered == Offered::WithCurrentCell) {
            made->setEnabled(hasCurrent);
        }
        // Without a current cell the ticks stay as they were; nobody sees them while the items
        // are disabled.
        if (row.look == Look::AlignmentTick && hasCurrent && row.isOn(table_, current_)) {
            made->setChecked(true);
        }
    }
}

void CommandActions::setSizeLimits(bool apply) {
    for (const CommandRow& row : commandTable()) {
        if (row.offered == Offered::WithinSizeLimits) {
            action(row.id)->setEnabled(!apply || row.withinLimits(table_));
        }
    }
}

void CommandActions::loadPictures() {
    if (std::exchange(picturesLoaded_, true)) {
        return;
    }
    for (std::size_t i = 0; i < pictures_.size(); ++i) {
        if (pictures_[i] != nullptr) {
            actions_[i]->setIcon(menuPicture(pictures_[i]));
        }
    }
}

}  // namespace taskwick
