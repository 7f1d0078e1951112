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
    // The captions are English; a German build lays its captions over them each
    // time the menu opens. Only the German bold-header pair carries German captions from the
    // start, since those items are never shown in English.
    const MenuCaptions& english = textsFor(Language::English).menu;
    const MenuCaptions& german = textsFor(Language::German).menu;

    menu_ = new QMenu(parent);
    menu_->setObjectName(QStringLiteral("contextMenu"));

    addItem(menu_, "changeTitle", english.changeTitle, "change-title",
            &ContextMenu::changeTitleClicked);
    addItem(menu_, "titleBoldOff", english.titleBold, "title-bold",
            &ContextMenu::makeTitleBoldClicked);
    addItem(menu_, "titleBoldOn", english.titleBold, "title-bold-on",
            &ContextMenu::makeTitleBoldClicked);
    addItem(menu_, "germanTitleBoldOff", german.titleBold, "title-bold",
            &ContextMenu::makeTitleBoldClicked);
    addItem(menu_, "germanTitleBoldOn", german.titleBold, "title-bold-on",
            &ContextMenu::makeTitleBoldClicked);
    addItem(menu_, "gridLinesOff", english.gridLines, "grid-lines",
            &ContextMenu::showGridLinesClicked);
    addItem(menu_, "gridLinesOn", english.gridLines, "grid-lines-on",
            &ContextMenu::showGridLinesClicked);
    addSeparator(menu_, "separator1");

    thisColumnMenu_ = addSubmenu("thisColumn", english.thisColumn, "column");
    alignGroup_ = new QActionGroup(thisColumnMenu_);
    alignGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    const struct {
        const char* name;
        QString caption;
        void (ContextMenu::*signal)();
    } alignItems[] = {{"leftAlign", english.leftAlign, &ContextMenu::leftAlignClicked},
                      {"centerAlign", english.centerAlign, &ContextMenu::centerAlignClicked},
                      {"rightAlign", english.rightAlign, &ContextMenu::rightAlignClicked}};
    for (const auto& align : alignItems) {
        QAction* action =
            addItem(thisColumnMenu_, align.name, align.caption, nullptr, align.signal);
        action->setCheckable(true);
        alignGroup_->addAction(action);
    }
    addSeparator(menu_, "separator2");

    addItem(menu_, "addRow", english.addRow, "add-row", &ContextMenu::addRowClicked);
    addItem(menu_, "deleteRow", english.deleteRow, "delete-row", &ContextMenu::deleteRowClicked);
    addSeparator(menu_, "separator3");
    addItem(menu_, "addColumn", english.addColumn, "add-column", &ContextMenu::addColumnClicked);
    addItem(menu_, "deleteColumn", english.deleteColumn, "delete-column",
            &ContextMenu::deleteColumnClicked);
    addSeparator(menu_, "separator4");

    skinMenu_ = addSubmenu("skin", english.skin, "skin");
    connect(skinMenu_, &QMenu::aboutToShow, this, &ContextMenu::skinMenuOpening);
    addSeparator(skinMenu_, "separator7");
    QAction* noSkin = addItem(skinMenu_, "noSkin", english.noSkin, nullptr, nullptr);
    // The skin menu ticks "No Skin" while it fills the submenu; a click must not toggle it.
    noSkin->setCheckable(true);
    connect(noSkin, &QAction::triggered, this, [this, noSkin](bool checked) {
        noSkin->setChecked(!checked);
        emit noSkinClicked();
    });
    addSeparator(menu_, "separator5");

    addItem(menu_, "openFileFolder", english.openFolder, "open-folder",
            &ContextMenu::openFolderHereClicked);
    addItem(menu_, "about", english.about, "about", &ContextMenu::aboutClicked);
    addSeparator(menu_, "separator6");
    addItem(menu_, "exit", english.exit, "exit", &ContextMenu::exitClicked);

    connect(menu_, &QMenu::aboutToShow, this, &ContextMenu::addPendingPictures);
    connect(menu_, &QMenu::aboutToShow, this, &ContextMenu::prepareItems);
    followTableSettings();
}

ContextMenu::~ContextMenu() {
    // A parent widget may already have taken the menu with it.
    if (menu_ && menu_->parent() == nullptr) {
        delete menu_.data();
    }
}

QAction* ContextMenu::addItem(QMenu* menu, const char* name, const QString& caption,
                              const char* pictureName, void (ContextMenu::*signal)()) {
    auto* action = new QAction(caption, menu);
    action->setObjectName(QLatin1String(name));
    if (pictureName != nullptr) {
        pendingPictures_.emplace_back(action, pictureName);
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
    auto* submenu = new QMenu(caption, menu_);
    submenu->setObjectName(QLatin1String(name));
    submenu->menuAction()->setObjectName(QLatin1String(name));
    pendingPictures_.emplace_back(submenu->menuAction(), pictureName);
    menu_->addMenu(submenu);
    return submenu;
}

QAction* ContextMenu::item(const QString& name) const {
    return menu_->findChild<QAction*>(name);
}

void ContextMenu::syncSettingItems(const TaskTable& table) {
    if (!menu_) {
        return;  // the window took the menu with it; the table may still change
    }
    const bool english = language_ == Language::English;
    const bool bold = table.headerTextBold();
    item(QStringLiteral("titleBoldOff"))->setVisible(english && !bold);
    item(QStringLiteral("titleBoldOn"))->setVisible(english && bold);
    item(QStringLiteral("germanTitleBoldOff"))->setVisible(!english && !bold);
    item(QStringLiteral("germanTitleBoldOn"))->setVisible(!english && bold);
    item(QStringLiteral("gridLinesOff"))->setVisible(!table.drawGridLines());
    item(QStringLiteral("gridLinesOn"))->setVisible(table.drawGridLines());
}

void ContextMenu::followTableSettings() {
    syncSettingItems(table_);
    connect(&table_, &TaskTable::changed, this, [this] { syncSettingItems(table_); });
    connect(menu_, &QMenu::aboutToShow, this, [this] { syncSettingItems(table_); });
}

bool ContextMenu::popupForButtons(Qt::MouseButtons buttons, const QPoint& globalCursorPos) {
    if (!buttons.testFlag(Qt::RightButton)) {
        return false;
    }
    addPendingPictures();
    popupAt(globalCursorPos);
    return true;
}

bool ContextMenu::popupForButtons(Qt::MouseButtons buttons) {
    return popupForButtons(buttons, QCursor::pos());
}

void ContextMenu::addPendingPictures() {
    for (const auto& [action, pictureName] : pendingPictures_) {
        if (action) {
            action->setIcon(picture(pictureName));
        }
    }
    pendingPictures_.clear();
}

void ContextMenu::popupAt(const QPoint& globalPos) {
    menu_->popup(globalPos);
}

void ContextMenu::setGermanCaptions() {
    const MenuCaptions& german = textsFor(Language::German).menu;
    const std::pair<const char*, const QString*> captions[] = {
        {"changeTitle", &german.changeTitle},
        {"gridLinesOff", &german.gridLines},
        {"gridLinesOn", &german.gridLines},
        {"addRow", &german.addRow},
        {"deleteRow", &german.deleteRow},
        {"addColumn", &german.addColumn},
        {"deleteColumn", &german.deleteColumn},
        {"openFileFolder", &german.openFolder},
        {"about", &german.about},
        {"exit", &german.exit},
        {"thisColumn", &german.thisColumn},
        {"leftAlign", &german.leftAlign},
        {"centerAlign", &german.centerAlign},
        {"rightAlign", &german.rightAlign},
        {"noSkin", &german.noSkin},
    };
    for (const auto& [name, caption] : captions) {
        item(QLatin1String(name))->setText(*caption);
    }
}

void ContextMenu::prepareItems() {
    if (language_ == Language::German) {
        setGermanCaptions();
    }
    const int rows = table_.rowCount();
    const int cols = table_.colCount();
    item(QStringLiteral("addRow"))->setEnabled(rows < MaxRows);
    item(QStringLiteral("deleteRow"))->setEnabled(rows > MinRows);
    item(QStringLiteral("addColumn"))->setEnabled(cols < MaxColumns);
    item(QStringLiteral("deleteColumn"))->setEnabled(cols > MinColumns);

    QAction* thisColumn = thisColumnMenu_->menuAction();
    const auto current = table_.currentCell();
    if (!current) {
        // The ticks stay as they were; nobody can see them while the submenu is disabled.
        thisColumn->setEnabled(false);
        return;
    }
    thisColumn->setEnabled(true);
    switch (table_.columnAlignment(current->col)) {
        case Alignment::Center:
            item(QStringLiteral("centerAlign"))->setChecked(true);
            break;
        case Alignment::Right:
            item(QStringLiteral("rightAlign"))->setChecked(true);
            break;
        default:
            item(QStringLiteral("leftAlign"))->setChecked(true);
            break;
    }
}

}  // namespace taskwick
