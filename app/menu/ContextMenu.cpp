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
    const auto add = [&](QMenu* menu, Command command) {
        menu->addAction(actions.action(command));
    };

    add(menu_, Command::ChangeCaptions);
    add(menu_, Command::CaptionsBold);
    add(menu_, Command::GridLines);
    addSeparator(menu_, "separator1");
    thisColumnMenu_ = addSubmenu("thisColumn", captions.thisColumn, "column");
    add(thisColumnMenu_, Command::AlignLeft);
    add(thisColumnMenu_, Command::AlignCenter);
    add(thisColumnMenu_, Command::AlignRight);
    addSeparator(menu_, "separator2");
    add(menu_, Command::AddRow);
    add(menu_, Command::DeleteRow);
    addSeparator(menu_, "separator3");
    add(menu_, Command::AddColumn);
    add(menu_, Command::DeleteColumn);
    addSeparator(menu_, "separator4");
    skinMenu_ = addSubmenu("skin", captions.skin, "skin");
    connect(skinMenu_, &QMenu::aboutToShow, this, &ContextMenu::skinMenuOpening);
    addSeparator(skinMenu_, "separator7");
    add(skinMenu_, Command::NoSkin);
    addSeparator(menu_, "separator5");
    add(menu_, Command::OpenFileFolder);
    add(menu_, Command::About);
    addSeparator(menu_, "separator6");
    add(menu_, Command::Exit);

    connect(menu_, &QMenu::aboutToShow, this, [this] {
        actions_.loadPictures();
        actions_.setSizeLimits(true);
        // The column's submenu is offered while there is a current cell to align.
        thisColumnMenu_->menuAction()->setEnabled(actions_.action(Command::AlignLeft)->isEnabled());
    });
    connect(menu_, &QMenu::aboutToHide, this, [this] { actions_.setSizeLimits(false); });
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
