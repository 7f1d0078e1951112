// The About dialog as a user meets it: its size, title, texts and their places in both
// languages, the links and the promo icon following the pointer, the pages they open, the
// keys that close it, dragging it, and one new dialog per display.
#include "InfoTestSupport.h"
#include "info/InfoDialog.h"
#include "info/InfoDialogs.h"
#include "info/InfoPlacement.h"
#include "info/InfoWidgets.h"
#include "resources/Resources.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

using namespace taskwick;
using namespace Qt::StringLiterals;
using taskwick::test::OpenedPages;

namespace {

// The About dialogs there are, shown or hidden.
int aboutDialogCount() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        count += qobject_cast<InfoDialog*>(widget) != nullptr ? 1 : 0;
    }
    return count;
}

QString foldHintOf(const InfoDialog* dialog) {
    return dialog->findChild<QLabel*>("foldHint1")->text();
}

}  // namespace

namespace {

const QColor Blue(0x00, 0x00, 0xFF);
const QColor Red(0xFF, 0x00, 0x00);
const QColor Grey(128, 128, 128);

enum class Ink { WindowText, Grey, Link };

struct ExpectedLabel {
    const char* name;
    QString text;
    QPoint at;
    int pixelSize;
    Ink ink;
};

// Every label but the text that follows the sibling link, in the order of the dialog.
QList<ExpectedLabel> englishLabels() {
    return {
        {"foldHint1", "Click on the red bar to", {23, 61}, 12, Ink::WindowText},
        {"foldHint2", "shrink 'Taskwick' to a small", {23, 76}, 12, Ink::WindowText},
        {"foldHint3", "bar on your desktop.", {23, 91}, 12, Ink::WindowText},
        {"menuHint1", "Right click anywhere to", {23, 120}, 12, Ink::WindowText},
        {"menuHint2", "open a menu with more", {23, 135}, 12, Ink::WindowText},
        {"menuHint3", "options!", {23, 150}, 12, Ink::WindowText},
        {"buttonsHint1", "Use the + and - to add", {23, 178}, 12, Ink::WindowText},
        {"buttonsHint2", "or remove columns / rows", {23, 193}, 12, Ink::WindowText},
        {"moreInformation", "More information here:", {12, 225}, 12, Ink::WindowText},
        {"programLink", "https://taskwick.example.com/", {178, 225}, 12, Ink::Link},
        {"copyright1", u"© 2026 The Taskwick developers."_s, {262, 266}, 10, Ink::Grey},
        {"copyright2", "All rights reserved.", {262, 278}, 10, Ink::Grey},
        {"promoLine1",
         "'Taskwick' is an official Plugin of the popular",
         {21, 340},
         10,
         Ink::WindowText},
        {"promoLine2", "Quillery Organizers. Please visit", {21, 352}, 10, Ink::WindowText},
        {"siblingLink", "https://quillery.example.com/", {21, 364}, 10, Ink::Link},
        {"promoLine4",
         "Quillery is a helpful, fast-access systems tray",
         {21, 376},
         10,
         Ink::WindowText},
        {"promoLine5", "tool for making and storing quick notes.", {21, 388}, 10, Ink::WindowText},
    };
}

QList<ExpectedLabel> germanLabels() {
    return {
        {"foldHint1", "Klicken Sie auf den roten", {23, 61}, 12, Ink::WindowText},
        {"foldHint2", "Streifen um \"Taskwick\" auf", {23, 76}, 12, Ink::WindowText},
        {"foldHint3", "ihren Desktop zu verkleinern.", {23, 91}, 12, Ink::WindowText},
        {"menuHint1", "Klicken Sie irgendwo mit der", {23, 120}, 12, Ink::WindowText},
        {"menuHint2", u"rechten Maustaste für ein"_s, {23, 135}, 12, Ink::WindowText},
        {"menuHint3", u"Menü mit mehr Funktionen."_s, {23, 150}, 12, Ink::WindowText},
        {"buttonsHint1", u"Mit + / - erzeugen / löschen"_s, {23, 178}, 12, Ink::WindowText},
        {"buttonsHint2", "Sie Spalten oder Zeilen", {23, 193}, 12, Ink::WindowText},
        {"moreInformation", "Mehr Informationen hier:", {12, 225}, 12, Ink::WindowText},
        {"programLink", "https://taskwick.example.com/de/", {178, 225}, 12, Ink::Link},
        {"copyright1", u"© 2026 Die Taskwick-Entwickler."_s, {262, 266}, 10, Ink::Grey},
        {"copyright2", "Alle Rechte vorbehalten.", {262, 278}, 10, Ink::Grey},
        {"promoLine1",
         "\"Taskwick\" ist ein offizielles Plugin des",
         {21, 340},
         10,
         Ink::WindowText},
        {"promoLine2", "Quillery Organizers. Besuchen Sie", {21, 352}, 10, Ink::WindowText},
        {"siblingLink", "https://quillery.example.com/de/", {21, 364}, 10, Ink::Link},
        {"promoLine4",
         u"geniale und preisgekrönte Tool zum Verwalten von"_s,
         {21, 376},
         10,
         Ink::WindowText},
        {"promoLine5", "Notizen, Terminen und Adressen.", {21, 388}, 10, Ink::WindowText},
    };
}

template <class T = QWidget>
T* part(const QWidget& dialog, const char* name) {
    T* found = dialog.findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

QImage picture(const QString& name) {
    initResources();
    return QImage(":/info/" + name).convertToFormat(QImage::Format_RGB32);
}

QImage shown(QWidget& dialog, QRect piece) {
    return dialog.grab(piece).toImage().convertToFormat(QImage::Format_RGB32);
}

QPoint centreOf(const QWidget* w) {
    return w->geometry().center();
}

// Checks every label, the link addresses and the hints of one language.
void expectFilledFor(InfoDialog& dialog, const QList<ExpectedLabel>& labels, const QString& after,
                     const QString& siblingHint) {
    const QColor windowText = QApplication::palette().color(QPalette::WindowText);
    for (const ExpectedLabel& e : labels) {
        SCOPED_TRACE(e.name);
        auto* label = part<QLabel>(dialog, e.name);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), e.text);
        EXPECT_EQ(label->pos(), e.at);
        EXPECT_EQ(label->size(), label->sizeHint()) << "sizes itself to its text";
        EXPECT_FALSE(label->autoFillBackground());
        EXPECT_EQ(label->font().pixelSize(), e.pixelSize);
        EXPECT_EQ(label->font().families().value(0), "Verdana");
        const QColor ink = label->palette().color(QPalette::WindowText);
        switch (e.ink) {
            case Ink::WindowText:
                EXPECT_EQ(ink, windowText);
                EXPECT_FALSE(label->font().underline());
                break;
            case Ink::Grey:
                EXPECT_EQ(ink, Grey);
                EXPECT_FALSE(label->font().underline());
                break;
            case Ink::Link:
                EXPECT_EQ(ink, Blue);
                EXPECT_TRUE(label->font().underline());
                EXPECT_EQ(static_cast<InfoLinkLabel*>(label)->address(), QUrl(e.text));
                break;
        }
    }

    // The text after the sibling link shares its line, from 152 or after a longer address.
    auto* link = part<QLabel>(dialog, "siblingLink");
    auto* third = part<QLabel>(dialog, "promoLine3");
    ASSERT_TRUE(link && third);
    EXPECT_EQ(third->text(), after);
    EXPECT_EQ(third->y(), 364);
    EXPECT_GE(third->x(), 152);
    EXPECT_GT(third->x(), link->geometry().right() + 1) << "never overlaps the link";
    EXPECT_LE(third->x(), std::max(152, link->geometry().right() + 1 + 6));
    EXPECT_EQ(third->font().pixelSize(), 10);

    for (const char* name : {"promoIcon", "promoIconHover", "promoIconPressed", "siblingLink"}) {
        EXPECT_EQ(part(dialog, name)->toolTip(), siblingHint) << name;
    }
    EXPECT_TRUE(part(dialog, "programLink")->toolTip().isEmpty());
}

// A point of the picture that no label covers.
constexpr QPoint BarePicture{460, 245};

class InfoDialogTest : public ::testing::Test {
protected:
    // A dialog shown as the owner shows it, for one language.
    InfoDialog& showDialog(const QString& language) {
        dialogs = std::make_unique<InfoDialogs>();
        InfoDialog* dialog = dialogs->open(language);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog));
        // The pointer enters the window over the bare picture, as the window system reports
        // it (QTest has no such event of its own), and comes to rest there.
        QEnterEvent enter(BarePicture, BarePicture, dialog->mapToGlobal(BarePicture));
        QCoreApplication::sendEvent(dialog->windowHandle(), &enter);
        moveTo(*dialog, BarePicture);
        return *dialog;
    }

    // The pointer moved to a point of the dialog, through the window as the system sends it.
    static void moveTo(InfoDialog& dialog, QPoint at) {
        QTest::mouseMove(dialog.windowHandle(), at);
    }
    static void clickAt(InfoDialog& dialog, QPoint at) {
        QTest::mouseClick(dialog.windowHandle(), Qt::LeftButton, {}, at);
    }

    OpenedPages opened;
    std::unique_ptr<InfoDialogs> dialogs;
};

TEST_F(InfoDialogTest, english_windowAndEveryLabel) {
    InfoDialog& dialog = showDialog("English");
    EXPECT_EQ(dialog.windowTitle(), "Taskwick Version 1.2 (64bit)");
    EXPECT_EQ(dialog.size(), QSize(477, 413));
    EXPECT_EQ(dialog.minimumSize(), QSize(477, 413));
    EXPECT_EQ(dialog.maximumSize(), QSize(477, 413));
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
    for (Qt::WindowType hint : {Qt::WindowTitleHint, Qt::WindowCloseButtonHint,
                                Qt::CustomizeWindowHint, Qt::MSWindowsFixedSizeDialogHint}) {
        EXPECT_TRUE(flags.testFlag(hint)) << hint;
    }
    for (Qt::WindowType absent : {Qt::WindowMinimizeButtonHint, Qt::WindowMaximizeButtonHint,
                                  Qt::WindowContextHelpButtonHint}) {
        EXPECT_FALSE(flags.testFlag(absent)) << absent;
    }
    EXPECT_FALSE(dialog.isModal());
    EXPECT_EQ(dialog.palette().color(QPalette::Window), QColor(0xE0, 0xDF, 0xE4));
    EXPECT_TRUE(dialog.windowIcon().availableSizes().contains(QSize(48, 48)));
    EXPECT_FALSE(dialog.testAttribute(Qt::WA_QuitOnClose));

    expectFilledFor(dialog, englishLabels(), "and test it for free!",
                    "Visit https://quillery.example.com/");

    // The picture at its own size from the top-left corner, the promo icon's normal picture
    // at 390, 310 and the two others hidden.
    const QImage background = picture("background.jpg");
    ASSERT_EQ(background.size(), QSize(477, 413));
    EXPECT_EQ(shown(dialog, {430, 0, 47, 40}), background.copy(430, 0, 47, 40));
    EXPECT_EQ(shown(dialog, {300, 60, 150, 150}), background.copy(300, 60, 150, 150));
    EXPECT_EQ(part(dialog, "promoIcon")->geometry(), QRect(390, 310, 77, 90));
    EXPECT_EQ(part(dialog, "promoIconHover")->geometry(), QRect(390, 310, 77, 90));
    EXPECT_EQ(part(dialog, "promoIconPressed")->geometry(), QRect(390, 310, 77, 90));
    EXPECT_EQ(shown(dialog, {390, 310, 77, 90}), picture("promo.png"));
    EXPECT_FALSE(part(dialog, "promoIconHover")->isVisible());
    EXPECT_FALSE(part(dialog, "promoIconPressed")->isVisible());
}

TEST_F(InfoDialogTest, german_exactlyForDeutsch) {
    InfoDialog& dialog = showDialog("Deutsch");
    EXPECT_EQ(dialog.windowTitle(), "Taskwick Version 1.2 (64bit)");
    EXPECT_EQ(dialog.size(), QSize(477, 413));
    expectFilledFor(dialog, germanLabels(), "und testen Sie kostenlos das",
                    "https://quillery.example.com/de/ besuchen");
}

TEST_F(InfoDialogTest, english_forEveryOtherLanguageString) {
    for (const QString& language : {QString("deutsch"), QString("DEUTSCH"), QString("Deutsch "),
                                    QString("German"), QString()}) {
        SCOPED_TRACE(language.toStdString());
        InfoDialog& dialog = showDialog(language);
        expectFilledFor(dialog, englishLabels(), "and test it for free!",
                        "Visit https://quillery.example.com/");
    }
}

TEST_F(InfoDialogTest, programLink_losesItsUnderlineWhileHoveredAndStaysRedUntilThePicture) {
    InfoDialog& dialog = showDialog("English");
    auto* link = part<InfoLinkLabel>(dialog, "programLink");
    ASSERT_NE(link, nullptr);
    const auto look = [&] { return shown(dialog, link->geometry()); };
    using namespace taskwick::test;

    EXPECT_GT(countPixels(look(), isBlue), 0);
    EXPECT_TRUE(hasUnderline(look(), isBlue));

    moveTo(dialog, centreOf(link));
    EXPECT_EQ(countPixels(look(), isBlue), 0) << "red once the pointer moves over it";
    EXPECT_GT(countPixels(look(), isRed), 0);
    EXPECT_FALSE(hasUnderline(look(), isRed)) << "the hover font has no underline";

    // Over a text that is not a link: the link is left, underlined again and still red.
    moveTo(dialog, centreOf(part(dialog, "moreInformation")));
    EXPECT_TRUE(hasUnderline(look(), isRed));
    EXPECT_EQ(countPixels(look(), isBlue), 0);
    EXPECT_EQ(link->color(), Red);

    moveTo(dialog, BarePicture);
    EXPECT_EQ(link->color(), Blue);
    EXPECT_EQ(countPixels(look(), isRed), 0);
    EXPECT_TRUE(hasUnderline(look(), isBlue));
}

TEST_F(InfoDialogTest, siblingLinkAndPromoIcon_followThePointerUntilThePicture) {
    InfoDialog& dialog = showDialog("English");
    auto* link = part<InfoLinkLabel>(dialog, "siblingLink");
    QWidget* normal = part(dialog, "promoIcon");
    QWidget* hover = part(dialog, "promoIconHover");
    QWidget* pressed = part(dialog, "promoIconPressed");
    ASSERT_TRUE(link && normal && hover && pressed);
    const auto look = [&] { return shown(dialog, link->geometry()); };
    const auto icon = [&] { return shown(dialog, {390, 310, 77, 90}); };
    using namespace taskwick::test;

    // Over the link: red and still underlined, and the hover picture comes up.
    moveTo(dialog, centreOf(link));
    EXPECT_TRUE(hasUnderline(look(), isRed));
    EXPECT_EQ(countPixels(look(), isBlue), 0);
    EXPECT_TRUE(hover->isVisible());
    EXPECT_EQ(icon(), picture("promo-hover.png"));

    // Leaving it for a text keeps both.
    moveTo(dialog, centreOf(part(dialog, "promoLine4")));
    EXPECT_TRUE(hasUnderline(look(), isRed));
    EXPECT_TRUE(hover->isVisible());

    moveTo(dialog, BarePicture);
    EXPECT_TRUE(hasUnderline(look(), isBlue));
    EXPECT_FALSE(hover->isVisible());
    EXPECT_EQ(icon(), picture("promo.png"));

    // Over the icon: the hover picture, and the link turns red as well.
    moveTo(dialog, {400, 320});
    EXPECT_TRUE(hover->isVisible());
    EXPECT_FALSE(pressed->isVisible());
    EXPECT_EQ(link->color(), Red);
    EXPECT_EQ(icon(), picture("promo-hover.png"));

    // A press on the hover picture brings the pressed one; it stays after the release.
    QTest::mousePress(dialog.windowHandle(), Qt::LeftButton, {}, {420, 350});
    EXPECT_TRUE(pressed->isVisible());
    EXPECT_EQ(icon(), picture("promo-pressed.png"));
    QTest::mouseRelease(dialog.windowHandle(), Qt::LeftButton, {}, {420, 350});
    EXPECT_TRUE(pressed->isVisible());

    // Texts that are not links leave everything as it is; the bare picture ends it.
    moveTo(dialog, centreOf(part(dialog, "promoLine1")));
    EXPECT_TRUE(pressed->isVisible());
    moveTo(dialog, {470, 405});
    EXPECT_FALSE(hover->isVisible());
    EXPECT_FALSE(pressed->isVisible());
    EXPECT_EQ(link->color(), Blue);
    EXPECT_EQ(icon(), picture("promo.png"));
}

TEST_F(InfoDialogTest, links_openTheirOwnAddress) {
    for (const auto& [language, program, sibling] :
         {std::tuple<QString, QString, QString>{"English", "https://taskwick.example.com/",
                                                "https://quillery.example.com/"},
          {"Deutsch", "https://taskwick.example.com/de/", "https://quillery.example.com/de/"}}) {
        SCOPED_TRACE(language.toStdString());
        opened.pages.clear();
        InfoDialog& dialog = showDialog(language);
        clickAt(dialog, centreOf(part(dialog, "programLink")));
        clickAt(dialog, centreOf(part(dialog, "siblingLink")));
        EXPECT_EQ(opened.pages, QList<QUrl>({QUrl(program), QUrl(sibling)}));

        // A press on a link let go elsewhere is no click.
        opened.pages.clear();
        const QPoint on = centreOf(part(dialog, "programLink"));
        QTest::mousePress(dialog.windowHandle(), Qt::LeftButton, {}, on);
        QTest::mouseMove(dialog.windowHandle(), BarePicture);
        QTest::mouseRelease(dialog.windowHandle(), Qt::LeftButton, {}, BarePicture);
        // Nor does a text that is not a link open anything.
        clickAt(dialog, centreOf(part(dialog, "promoLine2")));
        EXPECT_TRUE(opened.pages.isEmpty());
    }
}

TEST_F(InfoDialogTest, promoIcon_opensTheSiblingPageInTheDialogsLanguage) {
    for (const auto& [language, sibling] :
         {std::pair<QString, QString>{"English", "https://quillery.example.com/"},
          {"deutsch", "https://quillery.example.com/"},
          {"Deutsch", "https://quillery.example.com/de/"}}) {
        SCOPED_TRACE(language.toStdString());
        opened.pages.clear();
        InfoDialog& dialog = showDialog(language);
        QWidget* hover = part(dialog, "promoIconHover");
        QWidget* pressed = part(dialog, "promoIconPressed");
        const QPoint icon{428, 355};

        // Arriving on the icon brings the hover picture, which takes the click.
        clickAt(dialog, icon);
        EXPECT_TRUE(hover->isVisible());
        EXPECT_TRUE(pressed->isVisible());
        // Now the pressed picture is on top and takes the next one.
        clickAt(dialog, icon);
        // The normal picture takes a click too (the pointer never moved over it first).
        QTest::mouseClick(part(dialog, "promoIcon"), Qt::LeftButton);
        EXPECT_EQ(opened.pages, QList<QUrl>(3, QUrl(sibling)));

        // Another button than the left one is no click.
        QTest::mouseClick(dialog.windowHandle(), Qt::RightButton, {}, icon);
        EXPECT_EQ(opened.pages.size(), 3);
    }
}

TEST_F(InfoDialogTest, keys_enterReturnAndEscapeClose_otherKeysDoNothing) {
    for (Qt::Key closing : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        InfoDialog& dialog = showDialog("English");
        for (Qt::Key other : {Qt::Key_A, Qt::Key_Space, Qt::Key_Tab, Qt::Key_F4, Qt::Key_Delete,
                              Qt::Key_Backspace, Qt::Key_Q}) {
            QTest::keyClick(dialog.windowHandle(), other);
            QTest::keyClick(dialog.windowHandle(), other, Qt::ControlModifier);
        }
        EXPECT_TRUE(dialog.isVisible()) << closing;
        QTest::keyClick(dialog.windowHandle(), closing);
        EXPECT_FALSE(dialog.isVisible()) << closing;
        EXPECT_EQ(aboutDialogCount(), 2) << "hidden, not deleted, beside the one made at start";
    }
}

TEST_F(InfoDialogTest, dragging_theTextsOrThePictureMovesTheDialog_aLinkDoesNot) {
    InfoDialog& dialog = showDialog("Deutsch");
    QWindow* window = dialog.windowHandle();
    ASSERT_FALSE(window->startSystemMove()) << "this test covers the platforms without it";

    // Presses at a point, moves the pointer by `by` on the screen and lets go there: where
    // the dialog has followed, the pointer is over the same point of it again.
    const auto drag = [&](QPoint from, QPoint by) {
        const QPoint before = dialog.pos();
        QTest::mousePress(window, Qt::LeftButton, {}, from);
        QTest::mouseMove(window, from + by);
        // The window system may report the new place a little later.
        const bool moved = QTest::qWaitFor([&] { return dialog.pos() != before; }, 200);
        const QPoint movedBy = moved ? dialog.pos() - before : QPoint(0, 0);
        QTest::mouseRelease(window, Qt::LeftButton, {}, from + by - movedBy);
        EXPECT_EQ(dialog.pos() - before, movedBy) << "the release moves nothing";
        return movedBy;
    };

    EXPECT_EQ(drag(centreOf(part(dialog, "foldHint2")), {40, 25}), QPoint(40, 25));
    EXPECT_EQ(drag(centreOf(part(dialog, "copyright1")), {-13, 7}), QPoint(-13, 7));
    EXPECT_EQ(drag(centreOf(part(dialog, "promoLine5")), {5, -30}), QPoint(5, -30));
    EXPECT_EQ(drag(BarePicture, {-60, -10}), QPoint(-60, -10));
    EXPECT_EQ(drag({5, 5}, {1, 1}), QPoint(1, 1));

    EXPECT_EQ(drag(centreOf(part(dialog, "programLink")), {30, 30}), QPoint(0, 0));
    EXPECT_EQ(drag(centreOf(part(dialog, "siblingLink")), {30, 30}), QPoint(0, 0));
    EXPECT_EQ(drag({420, 350}, {0, 60}), QPoint(0, 0)) << "nor does the promo icon";
    // Moving the pointer without a button moves nothing.
    const QPoint before = dialog.pos();
    moveTo(dialog, centreOf(part(dialog, "foldHint1")));
    moveTo(dialog, centreOf(part(dialog, "foldHint3")));
    EXPECT_EQ(dialog.pos(), before);
    EXPECT_TRUE(opened.pages.isEmpty());
}

TEST(InfoDialogs, eachDisplayIsANewCentredDialog_allDeletedWithTheOwner) {
    OpenedPages opened;
    auto dialogs = std::make_unique<InfoDialogs>();
    QPointer<InfoDialog> atStart = dialogs->current();
    ASSERT_FALSE(atStart.isNull());
    EXPECT_FALSE(atStart->isVisible());
    EXPECT_EQ(aboutDialogCount(), 1);

    QPointer<InfoDialog> first = dialogs->open("English");
    QPointer<InfoDialog> second = dialogs->open("Deutsch");
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.data(), second.data());
    EXPECT_TRUE(QTest::qWaitForWindowExposed(second));
    EXPECT_TRUE(first->isVisible()) << "an open dialog stays open";
    EXPECT_TRUE(second->isVisible());
    EXPECT_FALSE(atStart->isVisible()) << "the dialog created at start is never shown";
    EXPECT_EQ(aboutDialogCount(), 3);
    EXPECT_EQ(dialogs->current(), second.data());
    EXPECT_EQ(foldHintOf(second), "Klicken Sie auf den roten");
    EXPECT_EQ(foldHintOf(first), "Click on the red bar to");
    EXPECT_TRUE(QTest::qWaitForWindowActive(second));

    // Both centred on the primary screen: the frame's top-left is placed.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    for (InfoDialog* dialog : {first.data(), second.data()}) {
        EXPECT_EQ(dialog->pos(), infoDialogTopLeft(screen));
        EXPECT_EQ(dialog->frameGeometry().topLeft(), infoDialogTopLeft(screen));
    }

    // A dialog closed and opened again is a new one, centred again.
    QTest::keyClick(first->windowHandle(), Qt::Key_Escape);
    EXPECT_FALSE(first->isVisible());
    QPointer<InfoDialog> third = dialogs->open("English");
    EXPECT_NE(third.data(), first.data());
    EXPECT_EQ(third->pos(), infoDialogTopLeft(screen));
    EXPECT_EQ(aboutDialogCount(), 4);
    EXPECT_EQ(dialogs->current(), third.data());
    EXPECT_EQ(foldHintOf(third), "Click on the red bar to");

    dialogs.reset();
    EXPECT_TRUE(atStart.isNull());
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(second.isNull());
    EXPECT_TRUE(third.isNull());
}

}  // namespace
