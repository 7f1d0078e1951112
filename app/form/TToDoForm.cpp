#include "app/form/TToDoForm.h"

#include "app/boxes/ExceptionGuard.h"
#include "app/startup/StartupRules.h"
#include "frame/geometry/ColumnFitting.h"
#include "frame/geometry/FrameLayout.h"
#include "frame/widgets/PlusMinusButton.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QScreen>

namespace taskwick {

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
          [this] { AdjustColumnWidths(); }) {
    setObjectName(QStringLiteral("ToDoForm"));
    setWindowTitle(ProductName);
    setMinimumSize(10, 10);
    setAttribute(Qt::WA_QuitOnClose, false);

    grid_ = new QWidget(this);
    grid_->setObjectName(QStringLiteral("ToDoGrid"));

    createPlusMinusButtons();

    // A place to park the keyboard focus for a moment; it lies outside the client area.
    ButtonForFocus = new QPushButton(QStringLiteral("ButtonForFocus"), this);
    ButtonForFocus->setGeometry(-100, 0, 75, 25);

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

        const QString listFile = settings_.appFolder + QStringLiteral("ToDoList.xml");
        if (QFileInfo::exists(listFile)) {
            // Loading comes with the task list file support.
        } else {
            placeForFirstRun();
            fillFirstRunTable();
            setClientSize(DefaultClientWidth, DefaultClientHeight);
            frameState_ = FrameFull;
            AdjustColumnWidths();
            currentSkinName_ = NoSkinName;
            FormResize();
        }
        frameState_ = FrameFull;
        FormResize();
        if (settings_.language == Language::German) {
            applyGermanHints();
        }
        checkLanguageMarker();
        startHidden_ = startHiddenRequested(settings_.arguments);
        tmrAnwendungsStartOnTimer.start();
    });
}

void TToDoForm::placeForFirstRun() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(1920, 1080);
    move(firstRunPlacement(screenSize, size()));
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

void TToDoForm::applyGermanHints() {}

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
            ButtonForFocus->setFocus();
            grid_->setFocus();
        }
        grid_->update();
    });
}

void TToDoForm::FormCloseQuery() {
    if (closeQueryRan_) {
        return;
    }
    closeQueryRan_ = true;
    guarded(boxes_, QStringLiteral("FormCloseQuery"), [&] {
        injectFailure(QStringLiteral("FormCloseQuery"));
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

void TToDoForm::requestClose() {
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
        grid_->update();
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
