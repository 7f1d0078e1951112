#include "app/menu/ContextMenu.h"

#include "app/menu/CommandActions.h"

#include <QAction>
#include <QCursor>
#include <QIcon>
#include <QMenu>

namespace taskwick {

namespace {

void addSeparator(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(QLatin1String(name));
}

}  // namespace

ContextMenu::ContextMenu(CommandActions& actions, QWidget* parent)
    : QObject(nullptr), actions_(actions) {
    const MenuCaptions& captions = textsFor(actions.language()).menu;
    menu_ = new QMenu(parent);
    menu_->setObjectName(QStringLiteral("contextMenu"));
    for (const CommandRow& row : commandTable()) {
        if (row.menu == MenuPlace::None) {
            continue;
        }
        QMenu* menu = menuFor(row.menu, captions);
        if (row.separatorBefore != nullptr) {
            addSeparator(menu, row.separatorBefore);
        }
        menu->addAction(actions.action(row.id));
    }
    thisColumnMenu_ = menuFor(MenuPlace::ThisColumn, captions);
    skinMenu_ = menuFor(MenuPlace::Skin, captions);
    connect(skinMenu_, &QMenu::aboutToShow, this, &ContextMenu::skinMenuOpening);

    connect(menu_, &QMenu::aboutToShow, this, [this] {
        actions_.loadPictures();
        actions_.setSizeLimits(true);
        // The column's submenu is offered while there is a current cell to align.
        thisColumnMenu_->menuAction()->setEnabled(actions_.action(Command::AlignLeft)->isEnabled());
    });
    connect(menu_, &QMenu::aboutToHide, this, [this] { actions_.setSizeLimits(false); });
}

QMenu* ContextMenu::menuFor(MenuPlace place, const MenuCaptions& captions) {
    if (place == MenuPlace::Main) {
        return menu_;
    }
    for (const SubmenuRow& row : submenuTable()) {
        if (row.place != place) {
            continue;
        }
        if (auto* made = menu_->findChild<QMenu*>(QLatin1String(row.name))) {
            return made;
        }
        addSeparator(menu_, row.separatorBefore);
        return addSubmenu(row.name, captions.*row.caption, row.picture);
    }
    return menu_;
}

ContextMenu::~ContextMenu() {
    // A parent widget may already have taken the menu with it.
    if (menu_ && menu_->parent() == nullptr) {
        delete menu_.data();
    }
}

QMenu* ContextMenu::addSubmenu(const char* name, const QString& caption, const char* picture) {
    auto* submenu = new QMenu(caption, menu_);
    submenu->setObjectName(QLatin1String(name));
    submenu->menuAction()->setObjectName(QLatin1String(name));
    // Read with the other pictures, when the menu first opens.
    connect(menu_, &QMenu::aboutToShow, submenu, [submenu, picture] {
        if (submenu->icon().isNull()) {
            submenu->setIcon(menuPicture(picture));
        }
    });
    menu_->addMenu(submenu);
    return submenu;
}

bool ContextMenu::popupForButtons(Qt::MouseButtons buttons, const QPoint& globalCursorPos) {
    if (!buttons.testFlag(Qt::RightButton)) {
        return false;
    }
    menu_->popup(globalCursorPos);
    return true;
}

bool ContextMenu::popupForButtons(Qt::MouseButtons buttons) {
    return popupForButtons(buttons, QCursor::pos());
}

}  // namespace taskwick
