#include "skins/SkinMenu.h"

#include "skins/SkinFolders.h"
#include "texts/Texts.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <QTextDocument>

namespace taskwick {

namespace {

QString itemName(int n) {
    return QStringLiteral("skinEntry") + QString::number(n);
}

// A skin's name as far as a caption of the menu shows it: a long one loses its middle, so the
// menu stays narrow and both ends, where names differ most, stay readable.
constexpr int MaxCaptionCharacters = 40;

}  // namespace

SkinMenu::SkinMenu(QMenu* submenu, QAction* noSkinItem, QObject* parent)
    : QObject(parent), submenu_(submenu), noSkinItem_(noSkinItem) {
    // The whole name of a shortened caption is the item's hint.
    submenu_->setToolTipsVisible(true);
}

QAction* SkinMenu::item(int n) const {
    return submenu_->findChild<QAction*>(itemName(n), Qt::FindDirectChildrenOnly);
}

void SkinMenu::removeItems() {
    for (int k = 1; QAction* old = item(k); ++k) {
        delete old;
    }
}

void SkinMenu::fill(const std::vector<SkinsPlace>& places, QString& skinsFolder,
                    const QString& skinName) {
    removeItems();
    if (const QString found = findSkinsFolder(places); !found.isEmpty()) {
        skinsFolder = found;
    }
    if (!isFolder(skinsFolder)) {
        return;  // only the separator and "No Skin", its tick as it was
    }
    if (!skinsFolder.endsWith(QLatin1Char('/'))) {
        skinsFolder += QLatin1Char('/');
    }
    noSkinItem_->setChecked(true);
    entries_.clear();
    int n = 1;
    const QFontMetrics metrics(submenu_->font());
    const int maxCaptionWidth = MaxCaptionCharacters * metrics.averageCharWidth();
    for (const QString& name : skinFolderNames(skinsFolder)) {
        auto* action = new QAction(submenu_);
        action->setObjectName(itemName(n));
        action->setCheckable(true);
        ++n;
        const QString caption = metrics.elidedText(name, Qt::ElideMiddle, maxCaptionWidth);
        if (caption != name) {
            // As plain text: a folder's name may hold "<" and "&".
            action->setToolTip(Qt::convertFromPlainText(name, Qt::WhiteSpaceNormal));
        }
        // The text is the folder's name, not a caption: "&" stays a letter.
        action->setText(QString(caption).replace(QLatin1Char('&'), QLatin1String("&&")));
        if (name == skinName) {
            action->setChecked(true);
            noSkinItem_->setChecked(false);
        }
        const int position = n - 2;
        entries_.push_back({position, name});
        QAction* before = submenu_->actions().value(position);
        submenu_->insertAction(before, action);
        connect(action, &QAction::triggered, this, [this, action] {
            emit skinItemTriggered(int(submenu_->actions().indexOf(action)));
        });
    }
}

QString SkinMenu::skinAt(int position) const {
    QString name = NoSkinName;
    for (const Entry& entry : entries_) {
        if (entry.position == position) {
            name = entry.name;
        }
    }
    return name;
}

}  // namespace taskwick
