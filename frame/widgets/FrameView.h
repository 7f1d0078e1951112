#pragma once

#include "frame/geometry/FrameLayout.h"
#include "frame/geometry/HitTest.h"
#include "frame/widgets/FramePictures.h"

#include <QPoint>
#include <QRect>
#include <QWidget>

namespace taskwick {

class PictureButton;
class RedBar;

// The hints of the frame's buttons, in the build's language.
struct FrameHints {
    QString exit, shrink, minimize, redBar, addRow, deleteRow, addColumn, deleteColumn;
};

// The picture frame that fills the borderless window: it paints the frame pictures in their
// stacking order, holds the task table, the red bar, the three icons and the four +/- buttons,
// and gives the window what a system frame would: a press on the frame drags the window
// (snapped to the work area), a press on an edge or a bottom corner resizes it while
// resizing is on, and the cursor shows which.
class FrameView : public QWidget {
    Q_OBJECT
public:
    FrameView(const FramePictures& pictures, const FrameHints& hints, QWidget* window);

    // The table lies above every picture and below the buttons.
    void setTable(QWidget* table);
    void setPictures(const FramePictures& pictures);
    // Places every part for a full window; the parts stay there until the next call.
    void layOut(const FrameLayout& layout);

    // The folded bar: the exit icon moves to (7, 7); the table, the logo and the left zoom
    // corner are hidden. Unfolding shows them again, the exit icon back in the top strip, but
    // leaves the table without width until the frame is laid out again.
    void showAsBar();
    void showUnfolding();
    void setRedBarHint(const QString& hint);
    // Edges and bottom corners resize only while this is on (the full window).
    void setResizable(bool resizable);
    // Draws the logo and the seven buttons again over the pictures.
    void repaintOverlays();

    // Moves the window as a drag does: snapped to the work area of its screen.
    void moveWindowSnapped(QPoint topLeft);
    // Where the window stands on the screen. What the toolkit believes can be stale after a
    // window manager placed the window; it is set right here, so that moves built on it do
    // not jump. A window on its way to the screen is waited for, at most `waitForScreenMs`.
    QPoint windowPositionOnScreen(int waitForScreenMs = 0);

    RedBar* redBar() const { return redBar_; }
    PictureButton* shrinkIcon() const { return shrink_; }
    PictureButton* minimizeIcon() const { return minimize_; }
    PictureButton* exitIcon() const { return exit_; }
    PictureButton* addRowButton() const { return addRow_; }
    PictureButton* deleteRowButton() const { return deleteRow_; }
    PictureButton* addColumnButton() const { return addColumn_; }
    PictureButton* deleteColumnButton() const { return deleteColumn_; }

signals:
    void contextMenuRequested(QPoint globalPos);
    // The user let go of the window after moving or resizing it.
    void windowMovedByUser();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Gesture { None, Move, Resize };

    PictureButton* addButton(const ButtonPictures& pictures, QSize size, const QString& hint);
    FrameHit resizeHitAt(QPoint windowPos) const;
    // Starts moving or resizing for a press at a point of the window; false when the press
    // is not the frame's.
    bool startGesture(QMouseEvent* event, QPoint windowPos, bool onPicture);
    void followGesture(QPoint globalPos);
    void endGesture();
    void updateCursor(QWidget* over, QPoint windowPos);
    QRect workArea() const;

    QWidget& window_;
    FramePictures pictures_;
    FrameLayout layout_;
    QWidget* table_ = nullptr;
    RedBar* redBar_ = nullptr;
    PictureButton* shrink_ = nullptr;
    PictureButton* minimize_ = nullptr;
    PictureButton* exit_ = nullptr;
    PictureButton* addRow_ = nullptr;
    PictureButton* deleteRow_ = nullptr;
    PictureButton* addColumn_ = nullptr;
    PictureButton* deleteColumn_ = nullptr;
    bool bar_ = false;
    bool resizable_ = false;

    Gesture gesture_ = Gesture::None;
    Qt::Edges resizeEdges_;
    QPoint gestureStartGlobal_;
    QRect gestureStartGeometry_;
};

}  // namespace taskwick
