#pragma once

#include <QWidget>

namespace taskwick {

// The red bar along the window's left edge. A right-button press asks for the context menu
// (with the buttons held at that moment); a left click is the fold toggle.
class RedBar : public QWidget {
    Q_OBJECT
public:
    RedBar(const QString& hint, QWidget* parent);

signals:
    void contextMenuRequested(Qt::MouseButtons buttons, QPoint globalPos);
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool leftPressed_ = false;
};

}  // namespace taskwick
