#include "app/window/MainWindow.h"

#include "app/boxes/ExceptionGuard.h"
#include "app/menu/ContextMenu.h"
#include "app/startup/StartupRules.h"
#include "app/window/AfterFirstPaint.h"
#include "frame/geometry/ColumnFitting.h"
#include "frame/geometry/FrameLayout.h"
#include "frame/widgets/FrameView.h"
#include "frame/widgets/PictureButton.h"
#include "frame/widgets/RedBar.h"
#include "frame/widgets/TrayIcon.h"
#include "info/InfoDialog.h"
#include "info/InfoDialogs.h"
#include "info/InfoTexts.h"
#include "platform/FileManager.h"
#include "platform/Relaunch.h"
#include "platform/X11Windows.h"
#include "skins/SkinFolders.h"
#include "storage/ToDoListLoader.h"
#include "table/view/TaskGrid.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

namespace taskwick {

namespace {

// How long the work that follows the first paint waits for it at most.
constexpr int AfterFirstPaintPatienceMs = 500;

// Context names of the unexpected-error box: users quote them in their reports, so they keep
// the words they always had.
const QString StartUpContext = QStringLiteral("FormCreate");
const QString StartTimerContext = QStringLiteral("tmrAnwendungsStartOnTimerTimer");
const QString CloseContext = QStringLiteral("FormCloseQuery");
const QString ExitContext = QStringLiteral("Close");
const QString RestartContext = QStringLiteral("Restart");
const QString OpenFileFolderContext = QStringLiteral("OpenFolderHereClick");

// What the loader restores into: this window, its table and its skin state.
class WindowLoadTarget : public LoadTarget {
public:
    WindowLoadTarget(MainWindow& window, int minClientWidth, QString& skinName, QString& skinPath,
                     MessageBoxes& boxes)
        : window_(window),
          minClientWidth_(minClientWidth),
          skinName_(skinName),
          skinPath_(skinPath),
          boxes_(boxes) {}

    QSize windowSize() const override { return window_.size(); }
    void setWindowPlacement(int left, int top, int clientWidth, int clientHeight) override {
        window_.move(left, top);
        window_.resize(clientWidth, clientHeight);
    }
    int minClientWidth() const override { return minClientWidth_; }
    ScreenMetrics screenMetrics() const override {
        const QScreen* primary = QGuiApplication::primaryScreen();
        if (!primary) {
            return {QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1080)};
        }
        return {primary->geometry(), primary->virtualGeometry()};
    }
    TaskTable& table() override { return window_.table(); }
    QString currentSkinName() const override { return skinName_; }
    QString currentSkinPath() const override { return skinPath_; }
    void setCurrentSkinName(const QString& name) override { skinName_ = name; }
    void setCurrentSkinPath(const QString& path) override { skinPath_ = path; }
    bool directoryExists(const QString& path) const override {
        if (LoadTarget::directoryExists(path)) {
            return true;
        }
        // The skin's folder, found as every name of a skin is: without regard to case.
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        return slash >= 0 && SkinFolder::find(path.left(slash + 1), path.mid(slash + 1));
    }
    void loadSkin() override { window_.loadSkin(); }
    void reportFailure(const QString& context) override { boxes_.showException(context); }

private:
    MainWindow& window_;
    int minClientWidth_;
    QString& skinName_;
    QString& skinPath_;
    MessageBoxes& boxes_;
};

}  // namespace

MainWindow::MainWindow(MainWindowSettings settings, MessageBoxes& boxes, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      settings_(std::move(settings)),
      boxes_(boxes),
      texts_(textsFor(settings_.language)),
      commands_(
          table_, settings_.language,
          [this](const QString& text, const QString& title) {
              return boxes_.askYesNo(text, title);
          },
          [this] { fitColumnsToTable(); }),
      keeper_(ListKeeperSettings{settings_.language, settings_.appFolder, settings_.fileOps,
                                 settings_.autoSaveDelayMs, settings_.rescueFolders},
              table_, boxes_, *this) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(ProductName);
    setMinimumSize(10, 10);
    setAttribute(Qt::WA_QuitOnClose, false);

    createFrame();
    grid_ = new TaskGrid(table_, this);
    grid_->setObjectName(QStringLiteral("taskGrid"));
    frame_->setTable(grid_);
    connectGrid();
    // Another version of the list came in: its columns fit this window as the loaded ones do.
    connect(&keeper_, &ListKeeper::otherVersionTakenIn, this, &MainWindow::fitColumnsToTable);
    createContextMenu();
    createSkinMenu();
    createTrayIcon();

    // A place to park the keyboard focus for a moment; it lies outside the client area. A
    // plain widget rather than a button, so neither Tab nor a screen reader finds it.
    focusParking_ = new QWidget(this);
    focusParking_->setObjectName(QStringLiteral("focusParking"));
    focusParking_->setFocusPolicy(Qt::ClickFocus);
    focusParking_->setGeometry(-100, 0, 75, 25);

    startTimer_.setInterval(1);
    startTimer_.setSingleShot(true);
    connect(&startTimer_, &QTimer::timeout, this, &MainWindow::onStartTimer);
    resize(395, 227);
}

MainWindow::~MainWindow() = default;

void MainWindow::setClientSize(int width, int height) {
    resize(width, height);
}

void MainWindow::startUp() {
    guardedHandler(StartUpContext, [&] {
        table_.clearCurrentCell();
        // The task list lives beside the executable, and relative paths resolve there.
        QDir::setCurrent(settings_.appFolder);
        // The platform imposes no minimum width of its own; the window's minimum of 10 pixels
        // yields the narrowest bar of 30.
        minClientWidth_ = 30;
        setClientSize(DefaultClientWidth, DefaultClientHeight);

        if (QFileInfo::exists(keeper_.path())) {
            WindowLoadTarget target(*this, minClientWidth_, currentSkinName_, currentSkinPath_,
                                    boxes_);
            keeper_.load(target);
        } else {
            keeper_.startWithoutList();
            placeForFirstRun();
            fillFirstRunTable();
            setClientSize(DefaultClientWidth, DefaultClientHeight);
            fold_.finishStarting();
            fitColumnsToTable();
            currentSkinName_ = NoSkinName;
            findStartSkin();
            layOutFrame();
            frame_->repaintOverlays();
            // A first run shows the About dialog before the window itself.
            onAboutTriggered();
        }
        fold_.finishStarting();
        frame_->setResizable(true);
        layOutFrame();
        checkLanguageMarker();
        startHidden_ = startHiddenRequested(settings_.arguments);
        if (startHidden_ && !hasSystemTray()) {
            // Hidden without a tray there would be no way back but a second start: the window
            // starts as the bar instead.
            startHidden_ = false;
            startFolded_ = true;
        }
        // What the first paint does not need comes right after it: the About dialog made
        // hidden at start, and the tray icon's docking. A window started hidden is never
        // painted, and its tray icon is all there is: that comes at once.
        new AfterFirstPaint(this, startHidden_ ? 0 : AfterFirstPaintPatienceMs, [this] {
            infoDialogs();
            showTrayIcon();
        });
        startTimer_.start();
    });
    startupFinished_ = true;
    if (closePending_) {
        // Asked to end while a start-up box was open: the start ran to its end without
        // further boxes, so the close saves the whole list rather than half a load.
        closeAndSave(CloseKind::Unattended);
        return;
    }
    keeper_.startAutomaticSaves();
}

void MainWindow::placeForFirstRun() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect screenRect = screen ? screen->geometry() : QRect(0, 0, 1920, 1080);
    move(firstRunPlacement(screenRect, size()));
}

void MainWindow::fillFirstRunTable() {
    for (const QString& caption : texts_.defaultHeader) {
        table_.appendToRow(0, caption);
    }
    for (const QString& text : texts_.defaultTaskRow) {
        table_.appendToRow(1, text);
    }
    table_.setColumnAlignment(0, Alignment::Center);
    table_.setColumnAlignment(1, Alignment::Left);
    table_.setColumnAlignment(2, Alignment::Center);
}

void MainWindow::checkLanguageMarker() {
    const QString yes = QCoreApplication::translate("QPlatformTheme", "&Yes");
    const QString marker = standardTextsMarker(yes);
    if (marker != texts_.languageMarker) {
        boxes_.showError(texts_.wrongConstantsText(marker), texts_.errorTitle);
    }
}

void MainWindow::onStartTimer() {
    guardedHandler(StartTimerContext, [&] {
        startTimer_.stop();
        setVisible(!startHidden_);
        if (table_.colCount() == 1) {
            grid_->setScrollBarMode(TaskGrid::ScrollBarMode::VerticalOnly);
            focusParking_->setFocus();
            grid_->setFocus();
        } else {
            grid_->setScrollBarMode(TaskGrid::ScrollBarMode::Both);
        }
        grid_->viewport()->update();
        frame_->repaintOverlays();
        if (std::exchange(startFolded_, false)) {
            toggleFold();
        }
        // A first run's About dialog came before the window, which stays on top: it comes to
        // the front again now that the window is there.
        if (infoDialogs_ && infoDialogs_->current() && infoDialogs_->current()->isVisible()) {
            infoDialogs_->current()->raise();
            infoDialogs_->current()->activateWindow();
        }
    });
}

bool MainWindow::closeAndSave(CloseKind kind) {
    if (closed_) {
        return true;
    }
    closed_ = true;
    bool ends = true;
    guardedHandler(CloseContext, [&] {
        ends = keeper_.saveOnClose(kind);
        QCoreApplication::processEvents();
    });
    if (!ends) {
        closed_ = false;
        return false;
    }
    // The window closes and the application ends whatever happened above.
    emit closeFinished();
    QCoreApplication::quit();
    return true;
}

void MainWindow::onExitTriggered() {
    guardedHandler(ExitContext, [&] { close(); });
}

bool MainWindow::isEditingCell() const {
    return grid_->isEditing();
}

SaveSource MainWindow::placement() const {
    SaveSource source;
    // Where the window is, even when the toolkit's idea of it is stale; the close waits for a
    // window on its way to the screen.
    const QPoint place = frame_->windowPositionOnScreen(closed_ ? 500 : 0);
    source.left = place.x();
    source.top = place.y();
    source.clientWidth = width();
    source.clientHeight = height();
    source.frameFull = fold_.isFull();
    source.unfoldedClientWidth = fold_.unfoldedClientWidth();
    source.skinName = currentSkinName_;
    source.skinPath = currentSkinPath_;
    return source;
}

void MainWindow::saveBeforeExit() {
    if (!std::exchange(closed_, true)) {
        keeper_.saveBeforeExit();
    }
}

void MainWindow::restart() {
    guardedHandler(RestartContext, [&] {
        // The successor must neither take this window for the running instance nor read
        // the list before it is saved: save (which also ends the event loop once this
        // handler returns), step aside, and only then start it.
        if (!closeAndSave()) {
            return;  // nothing saved: this instance stays, and no second one starts
        }
        hide();
        setWindowTitle(ProductName + QStringLiteral(" Exit"));
        if (settings_.handover) {
            settings_.handover->releaseInstanceLock();
            settings_.handover->startSuccessor();
        } else {
            relaunchSelf();
        }
    });
}

void MainWindow::showNormalAndActivate() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    // Window managers honour an activation request from the pager even under focus-stealing
    // prevention, which a request from a background process would not get.
    x11::activateWindow(windowHandle());
}

InfoDialogs& MainWindow::infoDialogs() {
    if (!infoDialogs_) {
        infoDialogs_ = std::make_unique<InfoDialogs>();  // with its dialog made hidden
    }
    return *infoDialogs_;
}

void MainWindow::onAboutTriggered() {
    x11::setStayOnTop(windowHandle(), false);
    infoDialogs().open(infoLanguageFor(settings_.language), windowHandle());
    x11::setStayOnTop(windowHandle(), true);
}

void MainWindow::onOpenFileFolderTriggered() {
    guardedHandler(OpenFileFolderContext,
                   [&] { FileManager::showItem(settings_.appFolder + ToDoListFileName); });
}

void MainWindow::connectGrid() {
    connect(grid_, &TaskGrid::exceptionCaught, this,
            [this](const QString& context) { boxes_.showException(context); });
    connect(grid_, &TaskGrid::plusMinusButtonsRepaintRequested, frame_,
            &FrameView::repaintOverlays);
    connect(grid_, &TaskGrid::redBarActionRequested, this, &MainWindow::toggleFold);
    connect(grid_, &TaskGrid::fitColumnWidthsRequested, this, &MainWindow::fitColumnsToTable);
    connect(grid_, &TaskGrid::contextMenuRequested, this,
            [this](QPoint globalPos) { menu_->popupForButtons(Qt::RightButton, globalPos); });
}

void MainWindow::createContextMenu() {
    menu_ = std::make_unique<ContextMenu>(table_, settings_.language, this);
    ContextMenu* m = menu_.get();
    connect(m, &ContextMenu::changeTitleClicked, this, &MainWindow::onChangeTitleTriggered);
    connect(m, &ContextMenu::makeTitleBoldClicked, this, &MainWindow::onTitleBoldTriggered);
    connect(m, &ContextMenu::showGridLinesClicked, this, &MainWindow::onGridLinesTriggered);
    connect(m, &ContextMenu::leftAlignClicked, this, &MainWindow::onLeftAlignTriggered);
    connect(m, &ContextMenu::centerAlignClicked, this, &MainWindow::onCenterAlignTriggered);
    connect(m, &ContextMenu::rightAlignClicked, this, &MainWindow::onRightAlignTriggered);
    connect(m, &ContextMenu::addRowClicked, this, &MainWindow::onAddRowTriggered);
    connect(m, &ContextMenu::deleteRowClicked, this, &MainWindow::onDeleteRowTriggered);
    connect(m, &ContextMenu::addColumnClicked, this, &MainWindow::onAddColumnTriggered);
    connect(m, &ContextMenu::deleteColumnClicked, this, &MainWindow::onDeleteColumnTriggered);
    connect(m, &ContextMenu::openFolderHereClicked, this, &MainWindow::onOpenFileFolderTriggered);
    connect(m, &ContextMenu::exitClicked, this, &MainWindow::onExitTriggered);
    connect(m, &ContextMenu::aboutClicked, this, &MainWindow::onAboutTriggered);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // Keys that reach the window rather than the table act on the table all the same.
    grid_->applyKeyCommand(event->key(), event->modifiers());
    QWidget::keyPressEvent(event);
}

void MainWindow::requestClose() {
    // Nobody is there to answer a box: what it would say goes to the log.
    boxes_.dismissBoxes();
    if (!startupFinished_) {
        closePending_ = true;
        return;
    }
    closeAndSave(CloseKind::Unattended);
    hide();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (closeAndSave()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::onAddRowTriggered() {
    commands_.addRow();
    frame_->repaintOverlays();
}

void MainWindow::onDeleteRowTriggered() {
    commands_.deleteLastRow();
    frame_->repaintOverlays();
}

void MainWindow::onAddColumnTriggered() {
    commands_.addColumn();
    frame_->repaintOverlays();
}

void MainWindow::onDeleteColumnTriggered() {
    commands_.deleteLastColumn();
    frame_->repaintOverlays();
}

void MainWindow::onLeftAlignTriggered() {
    commands_.alignCurrentColumn(Alignment::Left);
}

void MainWindow::onCenterAlignTriggered() {
    commands_.alignCurrentColumn(Alignment::Center);
}

void MainWindow::onRightAlignTriggered() {
    commands_.alignCurrentColumn(Alignment::Right);
}

void MainWindow::onTitleBoldTriggered() {
    commands_.toggleHeaderBold();
}

void MainWindow::onGridLinesTriggered() {
    commands_.toggleGridLines();
}

void MainWindow::onChangeTitleTriggered() {
    commands_.startTitleEditing();
}

}  // namespace taskwick
