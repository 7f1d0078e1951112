#include "app/form/TToDoForm.h"

#include "app/boxes/ExceptionGuard.h"
#include "app/menu/ContextMenu.h"
#include "app/startup/StartupRules.h"
#include "frame/geometry/ColumnFitting.h"
#include "frame/geometry/FrameLayout.h"
#include "frame/widgets/PlusMinusButton.h"
#include "frame/widgets/RedBar.h"
#include "platform/FileManager.h"
#include "platform/X11Windows.h"
#include "storage/FileOps.h"
#include "storage/ToDoListLoader.h"
#include "storage/ToDoListSaver.h"
#include "storage/XmlWriter.h"
#include "table/view/TaskGrid.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QtConcurrent/QtConcurrentRun>

namespace taskwick {

namespace {

// What the loader restores into: this window, its table and its skin state.
class FormLoadTarget : public LoadTarget {
public:
    // `beforeFirstFailure` runs once, before the first failure is reported.
    FormLoadTarget(TToDoForm& form, int minClientWidth, QString& skinName, QString& skinPath,
                   MessageBoxes& boxes, std::function<void()> beforeFirstFailure)
        : form_(form),
          minClientWidth_(minClientWidth),
          skinName_(skinName),
          skinPath_(skinPath),
          boxes_(boxes),
          beforeFirstFailure_(std::move(beforeFirstFailure)) {}

    QSize windowSize() const override { return form_.size(); }
    void setWindowPlacement(int left, int top, int clientWidth, int clientHeight) override {
        form_.move(left, top);
        form_.resize(clientWidth, clientHeight);
    }
    int minClientWidth() const override { return minClientWidth_; }
    ScreenMetrics screenMetrics() const override {
        const QScreen* primary = QGuiApplication::primaryScreen();
        if (!primary) {
            return {QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1080)};
        }
        return {primary->geometry(), primary->virtualGeometry()};
    }
    TaskTable& table() override { return form_.table(); }
    QString currentSkinName() const override { return skinName_; }
    QString currentSkinPath() const override { return skinPath_; }
    void setCurrentSkinName(const QString& name) override { skinName_ = name; }
    void setCurrentSkinPath(const QString& path) override { skinPath_ = path; }
    // Skin pictures come with the skin support; the names are kept and saved meanwhile.
    void loadSkin() override {}
    void showExceptionMessageBox(const QString& methode) override {
        if (beforeFirstFailure_) {
            std::exchange(beforeFirstFailure_, nullptr)();
        }
        boxes_.ShowExceptionMessageBox(methode);
    }

private:
    TToDoForm& form_;
    int minClientWidth_;
    QString& skinName_;
    QString& skinPath_;
    MessageBoxes& boxes_;
    std::function<void()> beforeFirstFailure_;
};

FileOps& realFileOps() {
    static PosixFileOps ops;
    return ops;
}

}  // namespace

TToDoForm::TToDoForm(FormSettings settings, MessageBoxes& boxes, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      settings_(std::move(settings)),
      boxes_(boxes),
      texts_(textsFor(settings_.language)),
      commands_(
          table_, settings_.language,
          [this](const QString& text, const QString& title) {
              return boxes_.ShowYesAndNoDialogBox(text, title);
          },
          [this] { AdjustColumnWidths(); }),
      listFile_(std::make_unique<ListFile>(settings_.fileOps ? *settings_.fileOps : realFileOps(),
                                           settings_.appFolder)) {
    setObjectName(QStringLiteral("ToDoForm"));
    setWindowTitle(ProductName);
    setMinimumSize(10, 10);
    setAttribute(Qt::WA_QuitOnClose, false);

    grid_ = new TaskGrid(table_, this);
    grid_->setObjectName(QStringLiteral("ToDoGrid"));
    connectGrid();
    createPlusMinusButtons();
    createContextMenu();
    redBar_ = new RedBar(texts_.hints.redBarFull, this);
    redBar_->setObjectName(QStringLiteral("ImageRedButtonAufklapper"));
    connect(redBar_, &RedBar::contextMenuRequested, this,
            [this](Qt::MouseButtons buttons, QPoint globalPos) {
                menu_->PopupFake(buttons, globalPos);
            });

    // A place to park the keyboard focus for a moment; it lies outside the client area.
    ButtonForFocus = new QPushButton(QStringLiteral("ButtonForFocus"), this);
    ButtonForFocus->setGeometry(-100, 0, 75, 25);

    autoSaveTimer_.setInterval(settings_.autoSaveDelayMs);
    autoSaveTimer_.setSingleShot(true);
    connect(&autoSaveTimer_, &QTimer::timeout, this, &TToDoForm::onAutoSaveTimer);
    saveThread_.setMaxThreadCount(1);
    connectBackgroundSave();
    connect(&table_, &TaskTable::changed, this, &TToDoForm::markListChanged);

    tmrAnwendungsStartOnTimer.setInterval(1);
    tmrAnwendungsStartOnTimer.setSingleShot(true);
    connect(&tmrAnwendungsStartOnTimer, &QTimer::timeout, this,
            &TToDoForm::tmrAnwendungsStartOnTimerTimer);
    resize(395, 227);
}

TToDoForm::~TToDoForm() = default;

void TToDoForm::injectFailure(const QString& handler) {
    if (failureInjection) {
        failureInjection(handler);
    }
}

void TToDoForm::setClientSize(int width, int height) {
    resize(width, height);
}

void TToDoForm::FormCreate() {
    guarded(boxes_, QStringLiteral("FormCreate"), [&] {
        table_.ClearCurrentCell();
        // The task list lives beside the executable, and relative paths resolve there.
        QDir::setCurrent(settings_.appFolder);
        // The platform imposes no minimum width of its own; the form's minimum of 10 pixels
        // yields the narrowest bar of 30.
        minClientWidth_ = 30;
        setClientSize(DefaultClientWidth, DefaultClientHeight);
        injectFailure(QStringLiteral("FormCreate"));

        const QString listFile = settings_.appFolder + ToDoListFileName;
        if (QFileInfo::exists(listFile)) {
            XMLLaden();
        } else {
            listFile_->rememberAbsent();
            placeForFirstRun();
            fillFirstRunTable();
            setClientSize(DefaultClientWidth, DefaultClientHeight);
            frameState_ = FrameFull;
            AdjustColumnWidths();
            currentSkinName_ = NoSkinName;
            // Still to come with the skin, frame-picture and About features: the search for a
            // start skin, the logo, the repaint of the frame's panels and the About dialog.
            FormResize();
        }
        frameState_ = FrameFull;
        FormResize();
        checkLanguageMarker();
        startHidden_ = startHiddenRequested(settings_.arguments);
        tmrAnwendungsStartOnTimer.start();
    });
    startupFinished_ = true;
    if (closePending_) {
        // Asked to end while a start-up box was open: the start ran to its end without
        // further boxes, so the close saves the whole list rather than half a load.
        boxes_.resumeBoxes();
        FormCloseQuery();
    }
}

void TToDoForm::placeForFirstRun() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect screenRect = screen ? screen->geometry() : QRect(0, 0, 1920, 1080);
    move(firstRunPlacement(screenRect, size()));
}

void TToDoForm::fillFirstRunTable() {
    for (const QString& caption : texts_.defaultHeader) {
        table_.appendToRow(0, caption);
    }
    for (const QString& text : texts_.defaultTaskRow) {
        table_.appendToRow(1, text);
    }
    table_.setColumnAlignment(0, ALIGNCENTER);
    table_.setColumnAlignment(1, ALIGNLEFT);
    table_.setColumnAlignment(2, ALIGNCENTER);
}

void TToDoForm::checkLanguageMarker() {
    const QString yes = QCoreApplication::translate("QPlatformTheme", "&Yes");
    const QString marker = standardTextsMarker(yes);
    if (marker != texts_.languageMarker) {
        boxes_.ShowErrorMessageBox(texts_.wrongConstantsText(marker), texts_.errorTitle);
    }
}

void TToDoForm::tmrAnwendungsStartOnTimerTimer() {
    guarded(boxes_, QStringLiteral("tmrAnwendungsStartOnTimerTimer"), [&] {
        tmrAnwendungsStartOnTimer.stop();
        injectFailure(QStringLiteral("tmrAnwendungsStartOnTimerTimer"));
        setVisible(!startHidden_);
        if (table_.colCount() == 1) {
            grid_->setScrollBarMode(TaskGrid::ScrollBarMode::VerticalOnly);
            ButtonForFocus->setFocus();
            grid_->setFocus();
        } else {
            grid_->setScrollBarMode(TaskGrid::ScrollBarMode::Both);
        }
        grid_->viewport()->update();
    });
}

void TToDoForm::FormCloseQuery() {
    if (closeQueryRan_) {
        return;
    }
    closeQueryRan_ = true;
    autoSaveTimer_.stop();
    guarded(boxes_, QStringLiteral("FormCloseQuery"), [&] {
        injectFailure(QStringLiteral("FormCloseQuery"));
        XMLSpeichern();
        QCoreApplication::processEvents();
    });
    // The window closes and the application ends whatever happened above.
    emit closeQueryFinished();
    QCoreApplication::quit();
}

void TToDoForm::mnuExitClick() {
    guarded(boxes_, QStringLiteral("Close"), [&] {
        injectFailure(QStringLiteral("Close"));
        close();
    });
}

void TToDoForm::XMLLaden() {
    QByteArray content;
    const bool read = listFile_->read(&content) == 0;
    if (!read) {
        // Whatever the file holds, it is not known to be ours: the first save keeps it.
        listFile_->forget();
    }
    FormLoadTarget target(*this, minClientWidth_, currentSkinName_, currentSkinPath_, boxes_, [&] {
        if (read && !isBlankListContent(content)) {
            keepUnreadableList(content);
        }
    });
    loadToDoList(read ? &content : nullptr, target);
    if (!keptUnreadablePath_.isEmpty()) {
        boxes_.ShowInfoMessageBox(
            texts_.unreadableListKeptText(listFile_->path(), keptUnreadablePath_),
            texts_.noticeTitle);
    } else if (keepUnreadableError_ != 0) {
        boxes_.ShowErrorMessageBox(
            texts_.saveTempFileText(settings_.appFolder, errnoName(keepUnreadableError_)),
            texts_.saveErrorTitle);
    }
}

void TToDoForm::keepUnreadableList(const QByteArray& content) {
    FileOps& ops = settings_.fileOps ? *settings_.fileOps : realFileOps();
    const KeptCopy copy = keepCopyBeside(ops, listFile_->path(), content, UnreadableReason,
                                         QDateTime::currentDateTime());
    if (copy.ok()) {
        keptUnreadablePath_ = copy.path;
    } else {
        keepUnreadableError_ = copy.error;
        // Not kept: the save must find the file foreign and try again before replacing it.
        listFile_->forget();
    }
}

void TToDoForm::XMLSpeichern() {
    saveList(SaveKind::Close);
}

void TToDoForm::saveList(SaveKind kind) {
    if (kind == SaveKind::Automatic && backgroundSaveOutstanding_) {
        listChanged_ = true;  // saved again once this one is done
        return;
    }
    // The close and the last save write after any save still under way, never beside it.
    waitForBackgroundSave();

    SaveSource source;
    source.left = x();
    source.top = y();
    source.clientWidth = width();
    source.clientHeight = height();
    source.frameFull = frameState_ == FrameFull;
    source.unfoldedClientWidth = width();
    source.skinName = currentSkinName_;
    source.skinPath = currentSkinPath_;

    ToDoListData data = snapshotForSave(source, table_);
    // Changes from here on mark the list again.
    listChanged_ = false;
    const QDateTime now = QDateTime::currentDateTime();
    if (kind == SaveKind::Automatic) {
        // Building the document and the disk's part run on a thread of their own, so typing
        // goes on meanwhile; the list file is touched by nobody else until it is done.
        backgroundSaveOutstanding_ = true;
        backgroundSave_.setFuture(
            QtConcurrent::run(&saveThread_, [file = listFile_.get(), data = std::move(data), now] {
                return saveListFile(*file, data, now, SkipUnchanged::Yes);
            }));
        return;
    }
    reportSave(kind,
               saveListFile(*listFile_, data, now,
                            kind == SaveKind::Close ? SkipUnchanged::No : SkipUnchanged::Yes));
}

void TToDoForm::waitForBackgroundSave() {
    if (backgroundSaveOutstanding_) {
        // Its outcome no longer matters: a save that reports for itself follows at once.
        backgroundSave_.disconnect(this);
        backgroundSave_.waitForFinished();
        connectBackgroundSave();
        backgroundSaveOutstanding_ = false;
    }
}

void TToDoForm::connectBackgroundSave() {
    connect(&backgroundSave_, &QFutureWatcher<ListFile::SaveOutcome>::finished, this,
            &TToDoForm::onBackgroundSaveFinished);
}

void TToDoForm::onBackgroundSaveFinished() {
    backgroundSaveOutstanding_ = false;
    const ListFile::SaveOutcome outcome = backgroundSave_.result();
    if (!outcome.result.ok() && outcome.result.step != SaveResult::BuildDocument) {
        listChanged_ = true;  // tried again after the delay, quietly
    }
    reportSave(SaveKind::Automatic, outcome);
    if (listChanged_ && !closeQueryRan_ && !autoSaveTimer_.isActive()) {
        autoSaveTimer_.start();
    }
}

void TToDoForm::reportSave(SaveKind kind, const ListFile::SaveOutcome& outcome) {
    if (kind == SaveKind::BeforeExit) {
        return;
    }
    if (outcome.result.step == SaveResult::BuildDocument) {
        if (kind == SaveKind::Close || !std::exchange(autoSaveFailureShown_, true)) {
            boxes_.ShowExceptionMessageBox(SaveBuildContext);
        }
        return;
    }
    if (!outcome.keptChangedCopy.isEmpty()) {
        boxes_.ShowInfoMessageBox(
            texts_.changedListKeptText(listFile_->path(), outcome.keptChangedCopy),
            texts_.noticeTitle);
    }
    if (outcome.result.ok()) {
        autoSaveFailureShown_ = false;
        return;
    }
    if (kind == SaveKind::Automatic && std::exchange(autoSaveFailureShown_, true)) {
        return;  // told once; quiet until a save works again
    }
    boxes_.ShowErrorMessageBox(saveErrorText(outcome.result, texts_, settings_.appFolder),
                               texts_.saveErrorTitle);
}

void TToDoForm::markListChanged() {
    if (!startupFinished_ || closeQueryRan_) {
        return;
    }
    listChanged_ = true;
    // Not restarted by later changes: every change reaches the disk within the delay, even
    // while the user keeps typing.
    if (!autoSaveTimer_.isActive()) {
        autoSaveTimer_.start();
    }
}

void TToDoForm::onAutoSaveTimer() {
    if (!closeQueryRan_ && listChanged_) {
        saveList(SaveKind::Automatic);
    }
}

void TToDoForm::saveBeforeExit() {
    if (closeQueryRan_) {
        return;
    }
    closeQueryRan_ = true;
    waitForBackgroundSave();
    if (listChanged_) {
        saveList(SaveKind::BeforeExit);
    }
}

void TToDoForm::Restart() {
    guarded(boxes_, QStringLiteral("Restart"), [&] {
        injectFailure(QStringLiteral("Restart"));
        // The successor must neither take this window for the running instance nor read
        // the list before it is saved: save (which also ends the event loop once this
        // handler returns), step aside, and only then start it.
        FormCloseQuery();
        hide();
        setWindowTitle(ProductName + QStringLiteral(" Exit"));
        if (releaseInstanceLock) {
            releaseInstanceLock();
        }
        if (launchSuccessor) {
            launchSuccessor();
        } else {
            relaunchSelf();
        }
    });
}

void TToDoForm::showNormalAndActivate() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    // Window managers honour an activation request from the pager even under focus-stealing
    // prevention, which a request from a background process would not get.
    x11::activateWindow(windowHandle());
}

void TToDoForm::mnuOpenFolderHereClick() {
    guarded(boxes_, QStringLiteral("OpenFolderHereClick"), [&] {
        injectFailure(QStringLiteral("OpenFolderHereClick"));
        FileManager::showItem(settings_.appFolder + ToDoListFileName);
    });
}

void TToDoForm::connectGrid() {
    grid_->setExceptionReporter(
        [this](const QString& methode) { boxes_.ShowExceptionMessageBox(methode); });
    connect(grid_, &TaskGrid::plusMinusButtonsRepaintRequested, this,
            &TToDoForm::repaintPlusMinusButtons);
    connect(grid_, &TaskGrid::fitColumnWidthsRequested, this, &TToDoForm::AdjustColumnWidths);
    connect(grid_, &TaskGrid::contextMenuRequested, this,
            [this](QPoint globalPos) { menu_->PopupFake(Qt::RightButton, globalPos); });
}

void TToDoForm::createContextMenu() {
    menu_ = std::make_unique<ContextMenu>(table_, settings_.language, this);
    ContextMenu* m = menu_.get();
    connect(m, &ContextMenu::changeTitleClicked, this, &TToDoForm::mnuChangeTitleClick);
    connect(m, &ContextMenu::makeTitleBoldClicked, this, &TToDoForm::mnuMakeTitleBoldClick);
    connect(m, &ContextMenu::showGridLinesClicked, this, &TToDoForm::mnuShowGridLinesClick);
    connect(m, &ContextMenu::leftAlignClicked, this, &TToDoForm::mnuLeftAlignClick);
    connect(m, &ContextMenu::centerAlignClicked, this, &TToDoForm::mnuCenterAlignClick);
    connect(m, &ContextMenu::rightAlignClicked, this, &TToDoForm::mnuRightAlignClick);
    connect(m, &ContextMenu::addRowClicked, this, &TToDoForm::mnuAddRowClick);
    connect(m, &ContextMenu::deleteRowClicked, this, &TToDoForm::mnuDeleteRowClick);
    connect(m, &ContextMenu::addColumnClicked, this, &TToDoForm::mnuAddColumnClick);
    connect(m, &ContextMenu::deleteColumnClicked, this, &TToDoForm::mnuDeleteColumnClick);
    connect(m, &ContextMenu::openFolderHereClicked, this, &TToDoForm::mnuOpenFolderHereClick);
    connect(m, &ContextMenu::exitClicked, this, &TToDoForm::mnuExitClick);
}

void TToDoForm::keyPressEvent(QKeyEvent* event) {
    // Keys that reach the window rather than the table act on the table all the same.
    grid_->OnKeyDown(event->key(), event->modifiers());
    QWidget::keyPressEvent(event);
}

void TToDoForm::requestClose() {
    if (!startupFinished_) {
        closePending_ = true;
        boxes_.dismissBoxes();
        return;
    }
    FormCloseQuery();
    hide();
}

void TToDoForm::closeEvent(QCloseEvent* event) {
    FormCloseQuery();
    event->accept();
}

void TToDoForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void TToDoForm::FormResize() {
    if (frameState_ != FrameFull) {
        return;
    }
    const FrameLayout layout = computeFrameLayout(width(), height(), false);
    grid_->setGeometry(layout.toDoGrid);
    redBar_->setGeometry(layout.redBar);
    AdjustColumnWidths();
    plusRow_->move(layout.plusRow.topLeft());
    minusRow_->move(layout.minusRow.topLeft());
    plusColumn_->move(layout.plusColumn.topLeft());
    minusColumn_->move(layout.minusColumn.topLeft());
    repaintPlusMinusButtons();
}

void TToDoForm::AdjustColumnWidths() {
    guarded(boxes_, QStringLiteral("AdjustColumnWidths"), [&] {
        injectFailure(QStringLiteral("AdjustColumnWidths"));
        fitTableColumns(table_, grid_->width());
        grid_->viewport()->update();
        repaintPlusMinusButtons();
    });
}

void TToDoForm::createPlusMinusButtons() {
    using Sign = PlusMinusButton::Sign;
    const Hints& hints = texts_.hints;
    plusRow_ = new PlusMinusButton(Sign::Plus, hints.plusRow, this);
    minusRow_ = new PlusMinusButton(Sign::Minus, hints.minusRow, this);
    plusColumn_ = new PlusMinusButton(Sign::Plus, hints.plusColumn, this);
    minusColumn_ = new PlusMinusButton(Sign::Minus, hints.minusColumn, this);
    plusRow_->setObjectName(QStringLiteral("PanelPlusRow"));
    minusRow_->setObjectName(QStringLiteral("PanelMinusRow"));
    plusColumn_->setObjectName(QStringLiteral("PanelPlusColumn"));
    minusColumn_->setObjectName(QStringLiteral("PanelMinusColumn"));
    connect(plusRow_, &PlusMinusButton::clicked, this, &TToDoForm::mnuAddRowClick);
    connect(minusRow_, &PlusMinusButton::clicked, this, &TToDoForm::mnuDeleteRowClick);
    connect(plusColumn_, &PlusMinusButton::clicked, this, &TToDoForm::mnuAddColumnClick);
    connect(minusColumn_, &PlusMinusButton::clicked, this, &TToDoForm::mnuDeleteColumnClick);
}

void TToDoForm::repaintPlusMinusButtons() {
    // They lie over the table's edge; keep them above it after every change of the table.
    for (PlusMinusButton* b : {minusRow_, plusRow_, minusColumn_, plusColumn_}) {
        b->raise();
        b->update();
    }
}

void TToDoForm::mnuAddRowClick() {
    commands_.addRow();
    repaintPlusMinusButtons();
}

void TToDoForm::mnuDeleteRowClick() {
    commands_.deleteLastRow();
    repaintPlusMinusButtons();
}

void TToDoForm::mnuAddColumnClick() {
    commands_.addColumn();
    repaintPlusMinusButtons();
}

void TToDoForm::mnuDeleteColumnClick() {
    commands_.deleteLastColumn();
    repaintPlusMinusButtons();
}

void TToDoForm::mnuLeftAlignClick() {
    commands_.alignCurrentColumn(ALIGNLEFT);
}

void TToDoForm::mnuCenterAlignClick() {
    commands_.alignCurrentColumn(ALIGNCENTER);
}

void TToDoForm::mnuRightAlignClick() {
    commands_.alignCurrentColumn(ALIGNRIGHT);
}

void TToDoForm::mnuMakeTitleBoldClick() {
    commands_.toggleHeaderBold();
}

void TToDoForm::mnuShowGridLinesClick() {
    commands_.toggleGridLines();
}

void TToDoForm::mnuChangeTitleClick() {
    commands_.startTitleEditing();
}

void TToDoForm::paintEvent(QPaintEvent*) {
    // A plain frame until the frame pictures arrive.
    QPainter p(this);
    p.fillRect(rect(), QColor(0x9F, 0xB6, 0xCD));
}

}  // namespace taskwick
