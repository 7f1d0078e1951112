#include "app/window/MainWindow.h"

#include "app/boxes/ExceptionGuard.h"
#include "app/menu/CommandActions.h"
#include "app/menu/ContextMenu.h"
#include "app/startup/StartupRules.h"
#include "app/window/AfterFirstPaint.h"
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
#include "storage/ToDoListLoader.h"
#include "table/history/TableHistory.h"
#include "table/view/TaskGrid.h"
#include "texts/ErrorContexts.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>

namespace taskwick {

namespace {

// How long the work that follows the first paint waits for it at most.
constexpr int AfterFirstPaintPatienceMs = 500;
// How long the close waits for a window that the window manager has not yet put on the
// screen, so that it saves where the window really is.
constexpr int CloseWaitsForScreenMs = 500;

// What the loader restores into besides the table: the window's skin.
class WindowLoadTarget : public LoadTarget {
public:
    WindowLoadTarget(TaskTable& table, QString& skinName, QString& skinPath, MessageBoxes& boxes,
                     std::function<void()> loadSkin)
        : table_(table),
          skinName_(skinName),
          skinPath_(skinPath),
          boxes_(boxes),
          loadSkin_(std::move(loadSkin)) {}

    TaskTable& table() override { return table_; }
    QString currentSkinName() const override { return skinName_; }
    QString currentSkinPath() const override { return skinPath_; }
    void setCurrentSkinName(const QString& name) override { skinName_ = name; }
    void setCurrentSkinPath(const QString& path) override { skinPath_ = path; }
    void loadSkin() override { loadSkin_(); }
    void reportFailure(const QString& context) override { boxes_.showException(context); }

private:
    TaskTable& table_;
    QString& skinName_;
    QString& skinPath_;
    MessageBoxes& boxes_;
    std::function<void()> loadSkin_;
};

MainWindowSettings withListFolder(MainWindowSettings settings) {
    if (settings.listFolder.isEmpty()) {
        settings.listFolder = settings.appFolder;
    }
    return settings;
}

}  // namespace

MainWindow::MainWindow(MainWindowSettings settings, MessageBoxes& boxes, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      settings_(withListFolder(std::move(settings))),
      boxes_(boxes),
      texts_(textsFor(settings_.language)),
      commands_(
          table_, current_, settings_.language,
          [this](const QString& text, const QString& title) {
              return boxes_.askYesNo(text, title);
          },
          [this] { fitColumnsToTable(); }),
      keeper_(ListKeeperSettings{settings_.language, settings_.listFolder, settings_.fileOps,
                                 settings_.autoSaveDelayMs, settings_.rescueFolders},
              table_, boxes_, *this),
      selfLowering_([this] { return std::vector<QWidget*>{this}; },
                    [](QWidget* w, bool onTop) { x11::setStayOnTop(w->windowHandle(), onTop); }) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(ProductName);
    setMinimumSize(10, 10);
    setAttribute(Qt::WA_QuitOnClose, false);

    actions_ = new CommandActions(table_, current_, settings_.language, this);
    createFrame();
    grid_ = new TaskGrid(table_, current_, this);
    grid_->setObjectName(QStringLiteral("taskGrid"));
    frame_->setTable(grid_);
    connectGrid();
    createMenu();
    createSkinMenu();
    createTrayIcon();
    connectHistory();
    connectCommands();
    // Another version of the list came in: its columns fit this window as the loaded ones do.
    connect(&keeper_, &ListKeeper::otherVersionTakenIn, this, &MainWindow::fitColumnsToTable);

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

MainWindow::~MainWindow() {
    // The history keeps a journal in the table, a member of this window: it goes first.
    delete std::exchange(history_, nullptr);
}

void MainWindow::startUp() {
    phase_ = Phase::StartingUp;
    guarded(boxes_, errorContext::StartUp, [&] {
        current_.clear();
        // Relative paths (a skins folder named in the list) resolve in the list's folder.
        QDir::setCurrent(settings_.listFolder);
        resize(DefaultClientSize);
        if (QFileInfo::exists(keeper_.path())) {
            loadList();
        } else {
            tellWhereTheListLives();
            startFirstRun();
        }
        fold_.finishStarting();
        frame_->setResizable(true);
        layOutFrame();
        checkLanguageMarker();
        if (startHiddenRequested(settings_.arguments)) {
            // Hidden without a tray there would be no way back but a second start: the window
            // starts as the bar instead.
            startView_ = hasSystemTray() ? StartView::Hidden : StartView::AsBar;
        }
        // What the first paint does not need comes right after it: the About dialog made
        // hidden at start, and the tray icon's docking. A window started hidden is never
        // painted, and its tray icon is all there is: that comes at once.
        new AfterFirstPaint(this, startsHidden() ? 0 : AfterFirstPaintPatienceMs, [this] {
            infoDialogs();
            tray_->show();  // for the whole run; the toolkit puts it back when a tray returns
        });
        startTimer_.start();
    });
    if (phase_ == Phase::EndingAfterStartUp) {
        // Asked to end while a start-up box was open: the start ran to its end without
        // further boxes, so the close saves the whole list rather than half a load.
        phase_ = Phase::Running;
        closeAndSave(CloseKind::Unattended);
        return;
    }
    phase_ = Phase::Running;
    keeper_.startAutomaticSaves();
}

void MainWindow::loadList() {
    WindowLoadTarget target(table_, currentSkinName_, currentSkinPath_, boxes_,
                            [this] { loadSkin(); });
    const LoadReport loaded = keeper_.load(target);
    const QSize before = size();
    const QRect place = loadedPlacement(loaded.window, before, MinClientWidth, screenMetrics());
    move(place.topLeft());
    resize(place.size());
    notePlace();
}

void MainWindow::startFirstRun() {
    keeper_.startWithoutList();
    move(firstRunPlacement(screenMetrics().primaryScreen, size()));
    notePlace();
    fillFirstRunTable();
    fold_.finishStarting();
    fitColumnsToTable();
    currentSkinName_ = NoSkinName;
    findStartSkin();
    layOutFrame();
    frame_->repaintOverlays();
    // A first run shows the About dialog before the window itself.
    showAbout();
}

// A list that lives in the user's data folder rather than beside the executable is told of
// once: at the start that finds no list there yet.
void MainWindow::tellWhereTheListLives() {
    if (settings_.listFolder != settings_.appFolder) {
        boxes_.showInfo(texts_.listInDataFolderText(settings_.appFolder, keeper_.path()),
                        texts_.noticeTitle);
    }
}

void MainWindow::fillFirstRunTable() {
    for (const QString& caption : texts_.defaultCaptions) {
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
    guarded(boxes_, errorContext::StartTimer, [&] {
        startTimer_.stop();
        setVisible(!startsHidden());
        if (table_.colCount() == 1) {
            grid_->setScrollBarMode(TaskGrid::ScrollBarMode::VerticalOnly);
            focusParking_->setFocus();
            grid_->setFocus();
        } else {
            grid_->setScrollBarMode(TaskGrid::ScrollBarMode::Both);
        }
        grid_->viewport()->update();
        frame_->repaintOverlays();
        if (std::exchange(startView_, StartView::Shown) == StartView::AsBar) {
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
    if (phase_ == Phase::Closed) {
        return true;
    }
    phase_ = Phase::Closed;
    bool ends = true;
    guarded(boxes_, errorContext::Close, [&] {
        ends = keeper_.saveOnClose(kind);
        QCoreApplication::processEvents();
    });
    if (!ends) {
        phase_ = Phase::Running;
        return false;
    }
    // The window closes and the application ends whatever happened above.
    QCoreApplication::quit();
    return true;
}

void MainWindow::requestClose() {
    // Nobody is there to answer a box: what it would say goes to the log.
    boxes_.dismissBoxes();
    if (phase_ == Phase::StartingUp) {
        phase_ = Phase::EndingAfterStartUp;
        return;
    }
    closeAndSave(CloseKind::Unattended);
    hide();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (closeAndSave(CloseKind::ByUser)) {
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::restart() {
    guarded(boxes_, errorContext::Restart, [&] {
        // The successor must neither take this window for the running instance nor read
        // the list before it is saved: save (which also ends the event loop once this
        // handler returns), step aside, and only then start it.
        if (!closeAndSave(CloseKind::ByUser)) {
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

void MainWindow::saveBeforeExit() {
    if (std::exchange(phase_, Phase::Closed) != Phase::Closed) {
        keeper_.saveBeforeExit();
    }
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

std::optional<CellPos> MainWindow::editedCell() const {
    return grid_->editingCell();
}

SaveSource MainWindow::placement() const {
    SaveSource source;
    // Where the window is, even when the toolkit's idea of it is stale; the close waits for a
    // window on its way to the screen.
    const QPoint place =
        frame_->windowPositionOnScreen(phase_ == Phase::Closed ? CloseWaitsForScreenMs : 0);
    source.left = place.x();
    source.top = place.y();
    source.clientWidth = width();
    source.clientHeight = height();
    source.frameFull = fold_.isFull();
    source.unfoldedClientWidth = fold_.unfoldedClientWidth();
    if (!source.frameFull) {
        // The file receives the full window where unfolding puts it back; the saver counts a
        // folded window's place from its right edge.
        source.left = fold_.unfoldedLeft(place.x(), width()) + source.unfoldedClientWidth - width();
    }
    source.skinName = currentSkinName_;
    source.skinPath = currentSkinPath_;
    return source;
}

void MainWindow::createMenu() {
    menu_ = std::make_unique<ContextMenu>(*actions_, this);
}

void MainWindow::openContextMenu(QPoint globalPos) {
    menu_->popupForButtons(Qt::RightButton, globalPos);
}

void MainWindow::connectCommands() {
    targets_ = CommandTargets{&commands_, history_, grid_, this};
    for (const CommandRow& row : commandTable()) {
        QAction* action = actions_->action(row.id);
        connect(action, &QAction::triggered, this, [this, &row] {
            runCommand(row, targets_);
            if (row.history != HistoryRole::None) {
                // The +/- buttons beside the table show on the frame.
                frame_->repaintOverlays();
            }
        });
        if (!row.keys.empty()) {
            // The window's keys work wherever it has the focus, the grid's in the grid; inside
            // an open cell editor the editor claims the keys it has a meaning for first.
            (row.keyScope == KeyScope::Grid ? static_cast<QWidget*>(grid_) : this)
                ->addAction(action);
        }
        if (PictureButton* button = frameButton(row.button)) {
            connect(button, &PictureButton::clicked, action, &QAction::trigger);
        }
    }
}

PictureButton* MainWindow::frameButton(FrameButton button) const {
    switch (button) {
        case FrameButton::ExitIcon:
            return frame_->exitIcon();
        case FrameButton::AddRow:
            return frame_->addRowButton();
        case FrameButton::DeleteRow:
            return frame_->deleteRowButton();
        case FrameButton::AddColumn:
            return frame_->addColumnButton();
        case FrameButton::DeleteColumn:
            return frame_->deleteColumnButton();
        case FrameButton::None:
            break;
    }
    return nullptr;
}

void MainWindow::connectHistory() {
    history_ = new TableHistory(table_, current_, this);
    connect(history_, &TableHistory::canUndoChanged, actions_->action(Command::Undo),
            &QAction::setEnabled);
    connect(history_, &TableHistory::canRedoChanged, actions_->action(Command::Redo),
            &QAction::setEnabled);
    connect(grid_, &TaskGrid::userChangeStarted, history_, &TableHistory::beginStep);
    connect(grid_, &TaskGrid::userChangeFinished, history_, &TableHistory::endStep);
    connect(grid_, &TaskGrid::blanksCleared, history_, &TableHistory::noteQuietChange);
    // A double click on the captions fits the widths: a step, unlike the fitting that follows
    // the window's size.
    connect(grid_, &TaskGrid::fitColumnWidthsRequested, this,
            [this] { history_->record([this] { fitColumnsToTable(); }); });
    // Steps made on another version of the list cannot be undone on this one.
    connect(&keeper_, &ListKeeper::otherVersionTakenIn, history_, &TableHistory::clear);
}

void MainWindow::connectGrid() {
    connect(grid_, &TaskGrid::exceptionCaught, this,
            [this](const QString& context) { boxes_.showException(context); });
    connect(grid_, &TaskGrid::plusMinusButtonsRepaintRequested, frame_,
            &FrameView::repaintOverlays);
    connect(grid_, &TaskGrid::redBarActionRequested, this, &MainWindow::toggleFold);
    connect(grid_, &TaskGrid::contextMenuRequested, this, &MainWindow::openContextMenu);
}

void MainWindow::exitProgram() {
    guarded(boxes_, errorContext::Exit, [&] { close(); });
}

void MainWindow::showListFolder() {
    guarded(boxes_, errorContext::OpenFileFolder, [&] { FileManager::showItem(keeper_.path()); });
}

InfoDialogs& MainWindow::infoDialogs() {
    if (!infoDialogs_) {
        infoDialogs_ = std::make_unique<InfoDialogs>();  // with its dialog made hidden
    }
    return *infoDialogs_;
}

void MainWindow::showAbout() {
    selfLowering_.lower();
    infoDialogs().open(infoLanguageFor(settings_.language), windowHandle());
    selfLowering_.restore();
}

}  // namespace taskwick
