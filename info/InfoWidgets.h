#pragma once

#include <QColor>
#include <QLabel>
#include <QPixmap>
#include <QUrl>
#include <QWidget>

#include <optional>

namespace taskwick {

// A web address shown as underlined text. While the pointer is over it, it is drawn in its
// hover look: underlined or not, and in its hover color or, without one, its current color.
// The current color is kept when the pointer leaves; the dialog sets it.
class InfoLinkLabel : public QLabel {
    Q_OBJECT
public:
    struct HoverLook {
        bool underlined = true;
        std::optional<QColor> color;  // none: the label's current color
    };

    InfoLinkLabel(const QString& address, const QFont& font, QColor color, HoverLook hoverLook,
                  QWidget* parent);

    QUrl address() const { return address_; }
    QColor color() const { return color_; }
    void setColor(const QColor& color);

signals:
    void pointerMoved();
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void updateLook();

    QUrl address_;
    QFont font_;
    QColor color_;
    HoverLook hoverLook_;
    bool hovered_ = false;
    bool pressed_ = false;
};

// A picture drawn at its own size (not stretched) in a widget of the given size, that reports the
// pointer moving over it, a press of any button and a click (the left button pressed and let go
// over it).
class InfoPicture : public QWidget {
    Q_OBJECT
public:
    // `source` names the picture (a resource path); it is read when first needed, so a dialog
    // that is never shown never decodes its pictures.
    InfoPicture(const QString& source, QSize size, QWidget* parent);

    const QPixmap& picture() const;

signals:
    void pointerMoved();
    void pressed();
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString source_;
    mutable QPixmap picture_;
    bool leftPressed_ = false;
};

}  // namespace taskwick
