// The main window's frame: laying it out, folding it to the bar and back, minimising to the
// tray icon and coming back from it.
#include "app/boxes/ExceptionGuard.h"
#include "app/startup/StartupRules.h"
#include "app/window/MainWindow.h"
#include "frame/geometry/FrameLayout.h"
#include "frame/geometry/WindowMoves.h"
#include "frame/widgets/FrameView.h"
#include "frame/widgets/PictureButton.h"
#include "frame/widgets/RedBar.h"
#include "frame/widgets/TrayIcon.h"
#include "platform/X11Windows.h"
#include "table/history/TableHistory.h"
#include "table/model/ColumnFitting.h"
#include "table/view/TaskGrid.h"
#include "texts/ErrorContexts.h"

#include <QApplication>
#include <QResizeEvent>
#include <QScreen>

namespace taskwick {

namespace {

// How long the window's place must hold still before a move is looked at: a drag by the
// window manager moves it many times.
constexpr int PlaceSettlesMs = 150;

FrameHints frameHints(const Hints& hints) {
    return {.exit = hints.exitIcon,
            .shrink = hints.shrinkIcon,
            .minimize = hints.minimizeIcon,
            .redBar = hints.redBarFull,
            .addRow = hints.plusRow,
            .deleteRow = hints.minusRow,
            .addColumn = hints.plusColumn,
            .deleteColumn = hints.minusColumn};
}

}  // namespace

void MainWindow::createFrame() {
    pictures_ = FramePictures::builtIn();
    frame_ = new FrameView(pictures_, frameHints(texts_.hints), this);
    connect(frame_->redBar(), &RedBar::clicked, this, &MainWindow::toggleFold);
    connect(frame_->shrinkIcon(), &PictureButton::clicked, this, &MainWindow::toggleFold);
    connect(frame_->minimizeIcon(), &PictureButton::clicked, this, &MainWindow::onMinimizeClicked);
    connect(frame_, &FrameView::contextMenuRequested, this, &MainWindow::openContextMenu);
    // The user's own moves and resizes are kept; the fold animation's are not.
    connect(frame_, &FrameView::windowMovedByUser, this, [this] {
        notePlace();
        keeper_.markChanged();
    });
    placeCheck_.setSingleShot(true);
    placeCheck_.setInterval(PlaceSettlesMs);
    connect(&placeCheck_, &QTimer::timeout, this, &MainWindow::onPlaceCheck);

    foldTimer_.setInterval(FoldAnimation::TickMs);
    foldTimer_.setTimerType(Qt::PreciseTimer);
    connect(&foldTimer_, &QTimer::timeout, this, &MainWindow::onFoldTick);
}

void MainWindow::createTrayIcon() {
    tray_ = new TrayIcon(QApplication::windowIcon(), ProductName, this);
    connect(tray_, &TrayIcon::clicked, this, &MainWindow::onTrayIconClicked);
    connect(tray_, &TrayIcon::contextMenuRequested, this, &MainWindow::openContextMenu);
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (phase_ == Phase::Running) {
        placeCheck_.start();
    }
}

void MainWindow::onPlaceCheck() {
    const FoldState fold = fold_.state();
    if (phase_ != Phase::Running || !isVisible() || fold == FoldState::Folding ||
        fold == FoldState::Unfolding || QWidget::mouseGrabber() == frame_) {
        return;  // the fold's own moves, or a drag by the frame: each notes where it ends
    }
    const QPoint place = frame_->windowPositionOnScreen();
    if (place != knownPlace_) {
        knownPlace_ = place;
        keeper_.markChanged();
    }
}

void MainWindow::notePlace() {
    knownPlace_ = pos();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    frame_->setGeometry(rect());
    layOutFrame();
}

void MainWindow::layOutFrame() {
    if (!fold_.isFull()) {
        return;  // folding, folded or unfolding: the frame keeps the full window's places
    }
    frame_->layOut(computeFrameLayout(width(), height(), skinFrameLoaded_));
    fitColumnsToTable();
    grid_->setScrollBarsSuppressed(false);
}

void MainWindow::fitColumnsToTable() {
    guarded(boxes_, errorContext::FitColumns, [&] {
        fitTableColumns(table_, grid_->width());
        grid_->viewport()->update();
        frame_->repaintOverlays();
    });
}

void MainWindow::toggleFold() {
    guarded(boxes_, errorContext::FoldToggle, [&] {
        current_.clear();
        frame_->windowPositionOnScreen();  // every step builds on the window's left
        if (fold_.isFull()) {
            foldArea_ = workAreaHoldingMost();
            fold_.toggle(x(), width(), MinClientWidth);
            frame_->setResizable(false);
        } else {
            frame_->showUnfolding();
            fold_.toggle(x(), width(), MinClientWidth);
        }
        foldTimer_.start();
        grid_->setScrollBarsSuppressed(true);
        // Undo and redo would change the list out of sight: they wait for the full window.
        history_->setAvailable(false);
    });
}

void MainWindow::onFoldTick() {
    guarded(boxes_, errorContext::FoldTick, [&] {
        const FoldAnimation::Tick step = fold_.tick(x(), width());
        if (step.finished) {
            finishFold(step);
            return;
        }
        // Each step is a move, snapped like every move of the window, then a new width.
        frame_->moveWindowSnapped(QPoint(step.left, y()));
        resize(step.clientWidth, height());
    });
}

void MainWindow::finishFold(const FoldAnimation::Tick& last) {
    foldTimer_.stop();
    QPoint target(last.left, y());
    if (fold_.state() == FoldState::Folded && foldArea_.isValid()) {
        // A window may stand out past the screen's edge, and its bar would keep that right
        // edge: it would be out of sight, or on the next screen. The bar comes in as far as
        // it takes to lie wholly on the screen that held most of the window.
        target = keptInside(target, QSize(last.clientWidth, height()), foldArea_);
    }
    frame_->moveWindowSnapped(target);
    resize(last.clientWidth, height());
    notePlace();
    if (fold_.state() == FoldState::Folded) {
        fold_.barPlaced(x());
        frame_->showAsBar();
        frame_->setRedBarHint(texts_.hints.redBarFolded);
        return;
    }
    // Full again: the resize above laid the frame out when the width changed; the table
    // needs its width in any case.
    layOutFrame();
    frame_->setResizable(true);
    frame_->setRedBarHint(texts_.hints.redBarFull);
    history_->setAvailable(true);
}

QRect MainWindow::workAreaHoldingMost() const {
    const QList<QScreen*> screens = QGuiApplication::screens();
    std::vector<QRect> areas;
    for (const QScreen* s : screens) {
        areas.push_back(s->geometry());
    }
    if (const auto most = screenHoldingMost(geometry(), areas)) {
        return screens[qsizetype(*most)]->availableGeometry();
    }
    return screen() != nullptr ? screen()->availableGeometry() : QRect();
}

bool MainWindow::hasSystemTray() const {
    return settings_.systemTray.value_or(TrayIcon::isAvailable());
}

void MainWindow::onMinimizeClicked() {
    if (hasSystemTray()) {
        hide();
    } else if (fold_.isFull()) {
        // Without a tray nothing could bring a hidden window back (it has no taskbar entry):
        // it becomes the bar instead, which stays on the screen.
        toggleFold();
    }
}

void MainWindow::onTrayIconClicked() {
    guarded(boxes_, errorContext::TrayClick, [&] {
        startView_ = StartView::Shown;
        showNormalAndActivate();
        if (fold_.state() == FoldState::Folded) {
            toggleFold();
        }
    });
}

}  // namespace taskwick
