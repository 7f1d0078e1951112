#pragma once

#include <QWidget>

namespace taskwick {

// One of the four tiny 9 x 9 buttons that straddle the table's bottom and right edges. It
// shows a second picture while the pointer is over it and a third while it is pressed.
class PlusMinusButton : public QWidget {
    Q_OBJECT
public:
    enum class Sign { Plus, Minus };
    PlusMinusButton(Sign sign, const QString& hint, QWidget* parent);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Sign sign_;
    bool hovered_ = false;
    bool pressed_ = false;
};

}  // namespace taskwick
