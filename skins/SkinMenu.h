#pragma once

#include "skins/SkinFolders.h"

#include <QObject>
#include <QString>

#include <vector>

class QAction;
class QMenu;

namespace taskwick {

// The run-time part of the "Skin ..." submenu: one item per skin folder, above the submenu's
// separator and its "No Skin" item, made afresh each time the submenu opens.
class SkinMenu : public QObject {
    Q_OBJECT
public:
    // A skin item: its position in the submenu (from 0) and the skin folder it stands for.
    struct Entry {
        int position = 0;
        QString name;
    };

    SkinMenu(QMenu* submenu, QAction* noSkinItem, QObject* parent = nullptr);

    // Drops the items of the last opening and lists the sub-folders of the skins folder,
    // the first of `places` that exists (`skinsFolder` takes the place found; it keeps its
    // value when none exists). The active skin's item is ticked, or "No Skin" when none is.
    void fill(const std::vector<SkinsPlace>& places, QString& skinsFolder, const QString& skinName);

    const std::vector<Entry>& entries() const { return entries_; }
    // The skin of the item at `position`; "No Skin" when no entry has that position.
    QString skinAt(int position) const;
    // The item made for the n-th skin folder of the last opening, from 1; null when none.
    QAction* item(int n) const;

signals:
    // A skin item was clicked; its position in the submenu at that moment.
    void skinItemTriggered(int position);

private:
    void removeItems();

    QMenu* submenu_;
    QAction* noSkinItem_;
    std::vector<Entry> entries_;
};

}  // namespace taskwick
