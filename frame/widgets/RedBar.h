#pragma once

#include <QPixmap>
#include <QPoint>
#include <QWidget>

namespace taskwick {

// The red bar along the window's left edge, its picture stretched to fill it. A click is the
// fold toggle; a press with the right button held asks for the context menu.
class RedBar : public QWidget {
    Q_OBJECT
public:
    RedBar(const QPixmap& picture, const QString& hint, QWidget* parent);
    void setPicture(const QPixmap& picture);
    // The hint, which is also the name a screen reader gives the bar; it changes when the
    // window folds and unfolds.
    void setHint(const QString& hint);

signals:
    void contextMenuRequested(Qt::MouseButtons buttons, QPoint globalPos);
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap picture_;
    bool leftPressed_ = false;
};

}  // namespace taskwick
