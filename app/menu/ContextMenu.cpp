#include "app/menu/ContextMenu.h"

#include "resources/Resources.h"
#include "table/model/TaskTable.h"

#include <QAction>
#include <QActionGroup>
#include <QCursor>
#include <QIcon>
#include <QMenu>

namespace taskwick {

namespace {

constexpr int MaxRows = 100;  // header row included
constexpr int MinRows = 2;    // the menu keeps one task row
constexpr int MaxColumns = 100;
constexpr int MinColumns = 1;

QIcon picture(const char* name) {
    return QIcon(QStringLiteral(":/menu/") + QLatin1String(name) + QStringLiteral(".png"));
}

}  // namespace

ContextMenu::ContextMenu(const TaskTable& table, Language language, QWidget* parent)
    : QObject(nullptr), table_(table), language_(language) {
    initResources();
    // The captions of the form are English; a German build lays its captions over them each
    // time the menu opens. Only the German bold-header pair carries German captions from the
    // start, since those items are never shown in English.
    const MenuCaptions& english = textsFor(Language::English).menu;
    const MenuCaptions& german = textsFor(Language::German).menu;

    popupMenu_ = new QMenu(parent);
    popupMenu_->setObjectName(QStringLiteral("PopupMenu"));

    addItem(popupMenu_, "mnuChangeTitle", english.changeTitle, "change-title",
            &ContextMenu::changeTitleClicked);
    addItem(popupMenu_, "mnuMakeTitleBoldDeaktiv", english.titleBold, "title-bold",
            &ContextMenu::makeTitleBoldClicked);
    addItem(popupMenu_, "mnuMakeTitleBoldAktiv", english.titleBold, "title-bold-on",
            &ContextMenu::makeTitleBoldClicked);
    addItem(popupMenu_, "mnuTitleFettDeaktiv", german.titleBold, "title-bold",
            &ContextMenu::makeTitleBoldClicked);
    addItem(popupMenu_, "mnuTitleFettAktiv", german.titleBold, "title-bold-on",
            &ContextMenu::makeTitleBoldClicked);
    addItem(popupMenu_, "mnuShowGridLinesDeaktiv", english.gridLines, "grid-lines",
            &ContextMenu::showGridLinesClicked);
    addItem(popupMenu_, "mnuShowGridLinesAktiv", english.gridLines, "grid-lines-on",
            &ContextMenu::showGridLinesClicked);
    addSeparator(popupMenu_, "mnuSeparator1");

    thisColumnMenu_ = addSubmenu("mnuThisColumn", english.thisColumn, "column");
    alignGroup_ = new QActionGroup(thisColumnMenu_);
    alignGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    const struct {
        const char* name;
        QString caption;
        void (ContextMenu::*signal)();
    } alignItems[] = {{"mnuLeftAlign", english.leftAlign, &ContextMenu::leftAlignClicked},
                      {"mnuCenterAlign", english.centerAlign, &ContextMenu::centerAlignClicked},
                      {"mnuRightAlign", english.rightAlign, &ContextMenu::rightAlignClicked}};
    for (const auto& align : alignItems) {
        QAction* action =
            addItem(thisColumnMenu_, align.name, align.caption, nullptr, align.signal);
        action->setCheckable(true);
        alignGroup_->addAction(action);
    }
    addSeparator(popupMenu_, "mnuSeparator2");

    addItem(popupMenu_, "mnuAddRow", english.addRow, "add-row", &ContextMenu::addRowClicked);
    addItem(popupMenu_, "mnuDeleteRow", english.deleteRow, "delete-row",
            &ContextMenu::deleteRowClicked);
    addSeparator(popupMenu_, "mnuSeparator3");
    addItem(popupMenu_, "mnuAddColumn", english.addColumn, "add-column",
            &ContextMenu::addColumnClicked);
    addItem(popupMenu_, "mnuDeleteColumn", english.deleteColumn, "delete-column",
            &ContextMenu::deleteColumnClicked);
    addSeparator(popupMenu_, "mnuSeparator4");

    skinMenu_ = addSubmenu("mnuSkin", english.skin, "skin");
    connect(skinMenu_, &QMenu::aboutToShow, this, &ContextMenu::skinMenuOpening);
    addSeparator(skinMenu_, "mnuSeparator7");
    QAction* noSkin = addItem(skinMenu_, "mnuNoSkin", english.noSkin, nullptr, nullptr);
    // The skin menu ticks "No Skin" while it fills the submenu; a click must not toggle it.
    noSkin->setCheckable(true);
    connect(noSkin, &QAction::triggered, this, [this, noSkin](bool checked) {
        noSkin->setChecked(!checked);
        emit noSkinClicked();
    });
    addSeparator(popupMenu_, "mnuSeparator5");

    addItem(popupMenu_, "mnuOpenFolderHere", english.openFolder, "open-folder",
            &ContextMenu::openFolderHereClicked);
    addItem(popupMenu_, "mnuAbout", english.about, "about", &ContextMenu::aboutClicked);
    addSeparator(popupMenu_, "mnuSeparator6");
    addItem(popupMenu_, "mnuExit", english.exit, "exit", &ContextMenu::exitClicked);

    connect(popupMenu_, &QMenu::aboutToShow, this, &ContextMenu::PopupMenuPopup);
    followTableSettings();
}

ContextMenu::~ContextMenu() {
    // A parent widget may already have taken the menu with it.
    if (popupMenu_ && popupMenu_->parent() == nullptr) {
        delete popupMenu_.data();
    }
}

QAction* ContextMenu::addItem(QMenu* menu, const char* name, const QString& caption,
                              const char* pictureName, void (ContextMenu::*signal)()) {
    auto* action = new QAction(caption, menu);
    action->setObjectName(QLatin1String(name));
    if (pictureName != nullptr) {
        action->setIcon(picture(pictureName));
    }
    if (signal != nullptr) {
        connect(action, &QAction::triggered, this, signal);
    }
    menu->addAction(action);
    return action;
}

void ContextMenu::addSeparator(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(QLatin1String(name));
}

QMenu* ContextMenu::addSubmenu(const char* name, const QString& caption, const char* pictureName) {
    auto* submenu = new QMenu(caption, popupMenu_);
    submenu->setObjectName(QLatin1String(name));
    submenu->setIcon(picture(pictureName));
    submenu->menuAction()->setObjectName(QLatin1String(name));
    popupMenu_->addMenu(submenu);
    return submenu;
}

QAction* ContextMenu::item(const QString& name) const {
    return popupMenu_->findChild<QAction*>(name);
}

void ContextMenu::syncSettingItems(const TaskTable& table) {
    if (!popupMenu_) {
        return;  // the window took the menu with it; the table may still change
    }
    const bool english = language_ == Language::English;
    const bool bold = table.headerTextBold();
    item(QStringLiteral("mnuMakeTitleBoldDeaktiv"))->setVisible(english && !bold);
    item(QStringLiteral("mnuMakeTitleBoldAktiv"))->setVisible(english && bold);
    item(QStringLiteral("mnuTitleFettDeaktiv"))->setVisible(!english && !bold);
    item(QStringLiteral("mnuTitleFettAktiv"))->setVisible(!english && bold);
    item(QStringLiteral("mnuShowGridLinesDeaktiv"))->setVisible(!table.drawGridLines());
    item(QStringLiteral("mnuShowGridLinesAktiv"))->setVisible(table.drawGridLines());
}

void ContextMenu::followTableSettings() {
    syncSettingItems(table_);
    connect(&table_, &TaskTable::changed, this, [this] { syncSettingItems(table_); });
    connect(popupMenu_, &QMenu::aboutToShow, this, [this] { syncSettingItems(table_); });
}

bool ContextMenu::PopupFake(Qt::MouseButtons buttons, const QPoint& globalCursorPos) {
    if (!buttons.testFlag(Qt::RightButton)) {
        return false;
    }
    popupAt(globalCursorPos);
    return true;
}

bool ContextMenu::PopupFake(Qt::MouseButtons buttons) {
    return PopupFake(buttons, QCursor::pos());
}

void ContextMenu::popupAt(const QPoint& globalPos) {
    popupMenu_->popup(globalPos);
}

void ContextMenu::setGermanCaptions() {
    const MenuCaptions& german = textsFor(Language::German).menu;
    const std::pair<const char*, const QString*> captions[] = {
        {"mnuChangeTitle", &german.changeTitle},
        {"mnuShowGridLinesDeaktiv", &german.gridLines},
        {"mnuShowGridLinesAktiv", &german.gridLines},
        {"mnuAddRow", &german.addRow},
        {"mnuDeleteRow", &german.deleteRow},
        {"mnuAddColumn", &german.addColumn},
        {"mnuDeleteColumn", &german.deleteColumn},
        {"mnuOpenFolderHere", &german.openFolder},
        {"mnuAbout", &german.about},
        {"mnuExit", &german.exit},
        {"mnuThisColumn", &german.thisColumn},
        {"mnuLeftAlign", &german.leftAlign},
        {"mnuCenterAlign", &german.centerAlign},
        {"mnuRightAlign", &german.rightAlign},
        {"mnuNoSkin", &german.noSkin},
    };
    for (const auto& [name, caption] : captions) {
        item(QLatin1String(name))->setText(*caption);
    }
}

void ContextMenu::PopupMenuPopup() {
    if (language_ == Language::German) {
        setGermanCaptions();
    }
    const int rows = table_.rowCount();
    const int cols = table_.colCount();
    item(QStringLiteral("mnuAddRow"))->setEnabled(rows < MaxRows);
    item(QStringLiteral("mnuDeleteRow"))->setEnabled(rows > MinRows);
    item(QStringLiteral("mnuAddColumn"))->setEnabled(cols < MaxColumns);
    item(QStringLiteral("mnuDeleteColumn"))->setEnabled(cols > MinColumns);

    QAction* thisColumn = thisColumnMenu_->menuAction();
    const auto current = table_.currentCell();
    if (!current) {
        // The ticks stay as they were; nobody can see them while the submenu is disabled.
        thisColumn->setEnabled(false);
        return;
    }
    thisColumn->setEnabled(true);
    switch (table_.columnAlignment(current->col)) {
        case ALIGNCENTER:
            item(QStringLiteral("mnuCenterAlign"))->setChecked(true);
            break;
        case ALIGNRIGHT:
            item(QStringLiteral("mnuRightAlign"))->setChecked(true);
            break;
        default:
            item(QStringLiteral("mnuLeftAlign"))->setChecked(true);
            break;
    }
}

}  // namespace taskwick
