#pragma once

#include "frame/widgets/FramePictures.h"

#include <QString>
#include <QWidget>

namespace taskwick {

// One of the frame's small buttons (the three icons of the top strip and the four +/- buttons
// on the table's edge): its picture, a second one while the pointer is over it and a third
// while it is pressed. It draws nothing else, so the frame shows around a picture with holes.
class PictureButton : public QWidget {
    Q_OBJECT
public:
    PictureButton(ButtonPictures pictures, QSize size, const QString& hint, QWidget* parent);

    enum class Look { Normal, Hover, Pressed };
    Look look() const;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ButtonPictures pictures_;
    bool hovered_ = false;
    bool pressed_ = false;
};

}  // namespace taskwick
