#include "app/form/TToDoForm.h"

#include "app/boxes/ExceptionGuard.h"
#include "app/startup/StartupRules.h"

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
      texts_(textsFor(settings_.language)) {
    setObjectName(QStringLiteral("ToDoForm"));
    setWindowTitle(ProductName);
    setMinimumSize(10, 10);
    setAttribute(Qt::WA_QuitOnClose, false);

    grid_ = new QWidget(this);
    grid_->setObjectName(QStringLiteral("ToDoGrid"));

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
    const int w = width();
    const int h = height();
    grid_->setGeometry(30, 30, std::max(0, w - 60), std::max(0, h - 60));
}

void TToDoForm::paintEvent(QPaintEvent*) {
    // A plain frame until the frame pictures arrive.
    QPainter p(this);
    p.fillRect(rect(), QColor(0x9F, 0xB6, 0xCD));
}

}  // namespace taskwick
