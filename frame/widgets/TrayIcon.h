#pragma once

#include <QIcon>
#include <QObject>
#include <QPoint>

class QSystemTrayIcon;

namespace taskwick {

// The icon in the desktop's notification area, the way back to a hidden window. A left click
// is one click however it was made (a double click counts once); a right click asks for the
// context menu at the pointer.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    TrayIcon(const QIcon& icon, const QString& tip, QObject* parent = nullptr);
    ~TrayIcon() override;

    // Whether the desktop has a notification area to show the icon in.
    static bool isAvailable();
    void show();
    bool isVisible() const;

signals:
    void clicked();
    void contextMenuRequested(QPoint globalPos);

private:
    QSystemTrayIcon* icon_;
};

}  // namespace taskwick
