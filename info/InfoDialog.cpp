#include "info/InfoDialog.h"

#include "info/InfoPlacement.h"
#include "info/InfoTexts.h"
#include "info/InfoWidgets.h"
#include "resources/Resources.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace taskwick {

namespace {

const QColor BackgroundColor(0xE0, 0xDF, 0xE4);
const QColor LinkColor(0x00, 0x00, 0xFF);
const QColor LinkHoverColor(0xFF, 0x00, 0x00);
const QColor NoticeColor(128, 128, 128);

constexpr QSize PromoIconSize{77, 90};
constexpr QPoint PromoIconAt{390, 310};

QFont dialogFont(int pixelSize) {
    QFont font;
    font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Bitstream Vera Sans")});
    font.setPixelSize(pixelSize);
    return font;
}

QString resource(const char* name) {
    return QStringLiteral(":/info/") + QLatin1String(name);
}

QPixmap picture(const char* name) {
    initResources();
    return QPixmap(resource(name));
}

void openPage(const QUrl& address) {
    // A page that cannot be opened is not reported.
    QDesktopServices::openUrl(address);
}

}  // namespace

InfoDialog::InfoDialog(const QString& language, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint),
      language_(language) {
    const InfoTexts& texts = infoTextsFor(language);
    setObjectName(QStringLiteral("infoDialog"));
    setWindowTitle(InfoDialogTitle);
    setWindowIcon(QIcon(picture("window-icon.png")));
    setFixedSize(InfoDialogClientSize);
    setSizeGripEnabled(false);
    // Closing hides the dialog; it must never count as the program's last window.
    setAttribute(Qt::WA_QuitOnClose, false);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, BackgroundColor);
    setPalette(palette);
    setAutoFillBackground(true);

    background_ = new InfoPicture(resource("background.jpg"), InfoDialogClientSize, this);
    background_->setObjectName(QStringLiteral("background"));
    background_->move(0, 0);
    background_->setMouseTracking(true);
    background_->installEventFilter(this);
    connect(background_, &InfoPicture::pointerMoved, this, &InfoDialog::endHotTracking);

    constexpr int Large = 12;
    constexpr int Small = 10;
    addText(QStringLiteral("foldHint1"), texts.foldHint[0], Large, {23, 61});
    addText(QStringLiteral("foldHint2"), texts.foldHint[1], Large, {23, 76});
    addText(QStringLiteral("foldHint3"), texts.foldHint[2], Large, {23, 91});
    addText(QStringLiteral("menuHint1"), texts.menuHint[0], Large, {23, 120});
    addText(QStringLiteral("menuHint2"), texts.menuHint[1], Large, {23, 135});
    addText(QStringLiteral("menuHint3"), texts.menuHint[2], Large, {23, 150});
    addText(QStringLiteral("buttonsHint1"), texts.buttonsHint[0], Large, {23, 178});
    addText(QStringLiteral("buttonsHint2"), texts.buttonsHint[1], Large, {23, 193});
    addText(QStringLiteral("moreInformation"), texts.moreInformation, Large, {12, 225});

    for (QLabel* notice :
         {addText(QStringLiteral("copyright1"), texts.copyright[0], Small, {262, 266}),
          addText(QStringLiteral("copyright2"), texts.copyright[1], Small, {262, 278})}) {
        QPalette grey = notice->palette();
        grey.setColor(QPalette::WindowText, NoticeColor);
        notice->setPalette(grey);
    }

    addText(QStringLiteral("promoLine1"), texts.promo[0], Small, {21, 340});
    addText(QStringLiteral("promoLine2"), texts.promo[1], Small, {21, 352});
    QLabel* afterLink = addText(QStringLiteral("promoLine3"), texts.promo[2], Small, {152, 364});
    addText(QStringLiteral("promoLine4"), texts.promo[3], Small, {21, 376});
    addText(QStringLiteral("promoLine5"), texts.promo[4], Small, {21, 388});

    addLinks(texts.programPage, texts.siblingPage);
    siblingLink_->setToolTip(texts.siblingHint);
    // The text after the sibling link starts at 152, or one space after a longer address.
    const int linkEnd = siblingLink_->geometry().right() + 1 +
                        siblingLink_->fontMetrics().horizontalAdvance(QLatin1Char(' '));
    afterLink->move(std::max(afterLink->x(), linkEnd), afterLink->y());

    addPromoIcon(texts.siblingHint);
}

QLabel* InfoDialog::addText(const QString& name, const QString& text, int pixelSize, QPoint at) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(dialogFont(pixelSize));
    label->setAutoFillBackground(false);
    label->move(at);
    label->adjustSize();
    label->installEventFilter(this);
    return label;
}

void InfoDialog::addLinks(const QString& programPage, const QString& siblingPage) {
    // The program's link drops its underline while hovered and keeps its color; the sibling's
    // stays underlined and turns red.
    programLink_ = new InfoLinkLabel(programPage, dialogFont(12), LinkColor,
                                     {.underlined = false, .color = std::nullopt}, this);
    programLink_->setObjectName(QStringLiteral("programLink"));
    programLink_->move(178, 225);
    connect(programLink_, &InfoLinkLabel::pointerMoved, this,
            [this] { programLink_->setColor(LinkHoverColor); });
    connect(programLink_, &InfoLinkLabel::clicked, this,
            [this] { openPage(programLink_->address()); });

    siblingLink_ = new InfoLinkLabel(siblingPage, dialogFont(10), LinkColor,
                                     {.underlined = true, .color = LinkHoverColor}, this);
    siblingLink_->setObjectName(QStringLiteral("siblingLink"));
    siblingLink_->move(21, 364);
    connect(siblingLink_, &InfoLinkLabel::pointerMoved, this, &InfoDialog::showPromoHover);
    connect(siblingLink_, &InfoLinkLabel::clicked, this,
            [this] { openPage(siblingLink_->address()); });
}

void InfoDialog::addPromoIcon(const QString& hint) {
    const auto make = [&](const char* file, const QString& name) {
        auto* icon = new InfoPicture(resource(file), PromoIconSize, this);
        icon->setObjectName(name);
        icon->move(PromoIconAt);
        icon->setToolTip(hint);
        icon->setCursor(Qt::PointingHandCursor);
        connect(icon, &InfoPicture::clicked, this, &InfoDialog::openSiblingPage);
        return icon;
    };
    // Created in stacking order: the hover picture lies over the normal one, the pressed
    // picture over both.
    promoIcon_ = make("promo.png", QStringLiteral("promoIcon"));
    promoIconHover_ = make("promo-hover.png", QStringLiteral("promoIconHover"));
    promoIconPressed_ = make("promo-pressed.png", QStringLiteral("promoIconPressed"));
    promoIconHover_->hide();
    promoIconPressed_->hide();
    promoIcon_->setMouseTracking(true);
    connect(promoIcon_, &InfoPicture::pointerMoved, this, &InfoDialog::showPromoHover);
    connect(promoIconHover_, &InfoPicture::pressed, this, &InfoDialog::showPromoPressed);
}

void InfoDialog::showPromoHover() {
    promoIconHover_->show();
    siblingLink_->setColor(LinkHoverColor);
}

void InfoDialog::showPromoPressed() {
    promoIconPressed_->show();
}

void InfoDialog::endHotTracking() {
    promoIconHover_->hide();
    promoIconPressed_->hide();
    programLink_->setColor(LinkColor);
    siblingLink_->setColor(LinkColor);
}

void InfoDialog::openSiblingPage() {
    openPage(QUrl(isGermanInfoLanguage(language_) ? SiblingPageGerman : SiblingPageEnglish));
}

void InfoDialog::centreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen) {
        // For a top-level widget, move() places the frame's top-left corner.
        move(infoDialogTopLeft(screen->geometry()));
    }
}

void InfoDialog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            close();
            break;
        default:
            event->ignore();
            break;
    }
}

void InfoDialog::beginMove(const QPoint& globalPos) {
    // The window manager moves the window where it can, with its own snapping and feedback;
    // elsewhere the frame follows the pointer until the button is let go.
    QWindow* window = windowHandle();
    if (window && window->startSystemMove()) {
        return;
    }
    moving_ = true;
    moveStartGlobal_ = globalPos;
    moveStartFrame_ = pos();
}

bool InfoDialog::eventFilter(QObject* watched, QEvent* event) {
    // Installed on the background picture and every text that is not a link: they move the
    // dialog as its title bar would.
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                beginMove(mouse->globalPosition().toPoint());
                return true;
            }
            break;
        }
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (moving_ && (mouse->buttons() & Qt::LeftButton)) {
                move(moveStartFrame_ + mouse->globalPosition().toPoint() - moveStartGlobal_);
                return true;
            }
            break;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (moving_ && mouse->button() == Qt::LeftButton) {
                moving_ = false;
                return true;
            }
            break;
        }
        default:
            break;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace taskwick
