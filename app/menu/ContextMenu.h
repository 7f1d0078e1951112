#pragma once

#include "texts/Texts.h"

#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <utility>
#include <vector>

class QAction;
class QActionGroup;
class QWidget;

namespace taskwick {

class TaskTable;

// The main window's only menu, `contextMenu`, opened by a right-button press on the table, the
// red bar, the frame pictures and the tray icon. It owns its items and nothing else: every
// command is announced by a signal that the window connects to its handler, and the items are
// prepared from the task table each time the menu opens.
//
// Items are found by their names (objectName), e.g. item("addRow").
class ContextMenu : public QObject {
    Q_OBJECT
public:
    // The table must outlive the menu. The parent widget owns the menu's window; the window
    // holds this object itself (it has no QObject parent), in either order of destruction.
    ContextMenu(const TaskTable& table, Language language, QWidget* parent = nullptr);
    ~ContextMenu() override;

    QMenu* menu() const { return menu_; }
    // The "Skin ..." submenu; the skin menu inserts its run-time items above mnuSeparator7.
    QMenu* skinMenu() const { return skinMenu_; }
    QMenu* thisColumnMenu() const { return thisColumnMenu_; }
    // An item of the tree by its name (submenus by the name of their item), or nullptr.
    QAction* item(const QString& name) const;

    // Shows the one item of each settings pair that matches the table: the bold-header pair of
    // this menu's language and the grid-lines pair. The other language's pair stays hidden.
    // The menu does this by itself for its own table, at every change of the table and each
    // time it opens, so the pairs never lag behind a toggle or a load.
    void syncSettingItems(const TaskTable& table);

    // Opens the menu at the mouse cursor when the right button is among the held buttons. The
    // press's own position is not used: the menu opens where the cursor is now. Returns
    // whether the menu was opened.
    bool popupForButtons(Qt::MouseButtons buttons, const QPoint& globalCursorPos);
    bool popupForButtons(Qt::MouseButtons buttons);

    // Runs each time the menu is about to open: German captions, the size limits of the row
    // and column commands, and the column submenu's state and tick.
    void prepareItems();

signals:
    void changeTitleClicked();
    void makeTitleBoldClicked();
    void showGridLinesClicked();
    void leftAlignClicked();
    void centerAlignClicked();
    void rightAlignClicked();
    void addRowClicked();
    void deleteRowClicked();
    void addColumnClicked();
    void deleteColumnClicked();
    // The skin submenu is about to open and should be filled.
    void skinMenuOpening();
    void noSkinClicked();
    void openFolderHereClicked();
    void aboutClicked();
    void exitClicked();

protected:
    // Shows the menu at a screen position without waiting for it to close. Tests replace it.
    virtual void popupAt(const QPoint& globalPos);

private:
    QAction* addItem(QMenu* menu, const char* name, const QString& caption, const char* picture,
                     void (ContextMenu::*signal)());
    void addSeparator(QMenu* menu, const char* name);
    QMenu* addSubmenu(const char* name, const QString& caption, const char* picture);
    void setGermanCaptions();
    // The items' pictures are read when the menu first opens, not while the program starts.
    void addPendingPictures();
    // Keeps the settings pairs in step with the table from now on.
    void followTableSettings();

    const TaskTable& table_;
    Language language_;
    QPointer<QMenu> menu_;
    QMenu* thisColumnMenu_ = nullptr;
    QMenu* skinMenu_ = nullptr;
    QActionGroup* alignGroup_ = nullptr;
    std::vector<std::pair<QPointer<QAction>, const char*>> pendingPictures_;
};

}  // namespace taskwick
