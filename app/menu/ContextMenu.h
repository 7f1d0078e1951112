#pragma once

#include "app/menu/CommandTable.h"

#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QPointer>

class QWidget;

namespace taskwick {

class CommandActions;

// The main window's only menu, opened by a right-button press on the table, the red bar, the
// frame pictures and the tray icon. It arranges the commands' actions (CommandActions) in the
// menu's tree as the command table places them, with a submenu for the current column and one
// for the skins; what an item does and whether it is enabled or ticked is the action's.
//
// The menu and its submenus are found by their names (objectName): "contextMenu",
// "thisColumn", "skin"; the items by the names of their actions.
class ContextMenu : public QObject {
    Q_OBJECT
public:
    // The actions must outlive the menu. The parent widget owns the menu's window; the window
    // holds this object itself (it has no QObject parent), in either order of destruction.
    ContextMenu(CommandActions& actions, QWidget* parent = nullptr);
    ~ContextMenu() override;

    QMenu* menu() const { return menu_; }
    // The "Skin ..." submenu; the skin menu inserts its run-time items above its separator.
    QMenu* skinMenu() const { return skinMenu_; }

    // Opens the menu at the mouse cursor when the right button is among the held buttons. The
    // press's own position is not used: the menu opens where the cursor is now. Returns
    // whether the menu was opened.
    bool popupForButtons(Qt::MouseButtons buttons, const QPoint& globalCursorPos);
    bool popupForButtons(Qt::MouseButtons buttons);

signals:
    // The skin submenu is about to open and should be filled.
    void skinMenuOpening();

private:
    QMenu* addSubmenu(const char* name, const QString& caption, const char* picture);
    // The menu of the place, the submenu made when first asked for.
    QMenu* menuFor(MenuPlace place, const MenuCaptions& captions);

    CommandActions& actions_;
    QPointer<QMenu> menu_;
    QMenu* thisColumnMenu_ = nullptr;
    QMenu* skinMenu_ = nullptr;
};

}  // namespace taskwick
