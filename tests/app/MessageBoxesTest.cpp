#include "app/boxes/ExceptionGuard.h"
#include "app/boxes/MessageBoxes.h"
#include "tests/support/RecordingBoxPresenter.h"
#include "texts/ErrorContexts.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

using namespace taskwick;
using taskwick::testing::RecordingBoxPresenter;

TEST(MessageBoxes, fourBoxesCarryKindTitleTextAndYesNoAnswer) {
    RecordingBoxPresenter presenter;
    MessageBoxes boxes(Language::English, presenter);
    boxes.showInfo("i", "Notice");
    boxes.showError("e", "Error");
    presenter.setNextAnswer(false);
    EXPECT_FALSE(boxes.askYesNo("q", "Attention"));
    presenter.setNextAnswer(true);
    EXPECT_TRUE(boxes.askYesNo("q", "Attention"));
    ASSERT_EQ(presenter.boxes.size(), 4u);
    EXPECT_EQ(presenter.boxes[0].kind, BoxKind::Information);
    EXPECT_EQ(presenter.boxes[1].kind, BoxKind::Error);
    EXPECT_EQ(presenter.boxes[2].kind, BoxKind::YesNo);
    EXPECT_EQ(presenter.boxes[2].title, "Attention");
}

TEST(MessageBoxes, aBoxThatCannotBeShownAnswersNo) {
    struct Failing : BoxPresenter {
        bool present(BoxKind, const QString&, const QString&) override {
            throw std::runtime_error("no display");
        }
    } presenter;
    MessageBoxes boxes(Language::English, presenter);
    EXPECT_FALSE(boxes.askYesNo("q", "t"));
}

TEST(MessageBoxes, exceptionBox_englishAndGerman) {
    RecordingBoxPresenter presenter;
    MessageBoxes en(Language::English, presenter);
    MessageBoxes de(Language::German, presenter);
    en.showException("Close");
    de.showException("FormCreate");
    ASSERT_EQ(presenter.boxes.size(), 2u);
    EXPECT_EQ(presenter.boxes[0].kind, BoxKind::Error);
    EXPECT_EQ(presenter.boxes[0].title, "Exception");
    EXPECT_EQ(presenter.boxes[0].text,
              "Exception in Close\r\nThis is - likely - an undiscovered bug!\r\nPlease report "
              "the bug to the development team at:\r\n" +
                  SupportAddress + "\r\nThank you!");
    EXPECT_EQ(presenter.boxes[1].title, "Exception");
    EXPECT_TRUE(presenter.boxes[1].text.startsWith(
        "Exception in FormCreate\r\nDies is vermutlich ein unbekannter, neuer Fehler!\r\n"));
    EXPECT_TRUE(presenter.boxes[1].text.endsWith(SupportAddress + "\r\nVielen Dank!"));
}

TEST(MessageBoxes, unknownErrorBox_emptyMessageLeavesOnlyTheSpaceBeforeTheParenthesis) {
    RecordingBoxPresenter presenter;
    MessageBoxes en(Language::English, presenter);
    MessageBoxes de(Language::German, presenter);
    try {
        throw std::runtime_error("");
    } catch (...) {
        const CaughtException e = describeCurrentException();
        en.showUnknownError(e.message, e.className);
        de.showUnknownError(e.message, e.className);
    }
    ASSERT_EQ(presenter.boxes.size(), 2u);
    EXPECT_EQ(presenter.boxes[0].text, "An unknown error occured:\r\n (std::runtime_error)");
    EXPECT_EQ(presenter.boxes[0].title, "Error");
    EXPECT_EQ(presenter.boxes[1].text,
              "Ein unbekannte Fehler ist aufgetreten:\r\n (std::runtime_error)");
    EXPECT_EQ(presenter.boxes[1].title, "Fehler");
}

namespace {
struct ConversionError : std::invalid_argument {
    using std::invalid_argument::invalid_argument;
};
}  // namespace

TEST(ExceptionGuard, reportsWithTheFixedContextNameAndSkipsTheRest) {
    RecordingBoxPresenter presenter;
    MessageBoxes boxes(Language::English, presenter);
    bool after = false;
    guarded(boxes, "Close", [&] {
        throw ConversionError("'x' is not a number");
        after = true;
    });
    EXPECT_FALSE(after);
    ASSERT_EQ(presenter.boxes.size(), 1u);
    EXPECT_TRUE(presenter.boxes[0].text.startsWith("Exception in Close\r\n"));

    try {
        throw ConversionError("'x' is not a number");
    } catch (...) {
        const CaughtException e = describeCurrentException();
        EXPECT_EQ(e.message, "'x' is not a number");
        EXPECT_EQ(e.className, "(anonymous namespace)::ConversionError");
    }
}

TEST(ErrorContexts, theNamesUsersQuote_neverChangeWithTheCode) {
    using namespace taskwick::errorContext;
    const std::pair<QString, const char*> names[] = {
        {StartUp, "FormCreate"},
        {StartTimer, "tmrAnwendungsStartOnTimerTimer"},
        {Close, "FormCloseQuery"},
        {Exit, "Close"},
        {Restart, "Restart"},
        {OpenFileFolder, "OpenFolderHereClick"},
        {FoldToggle, "ImageRedButtonAufklapperClick"},
        {FoldTick, "Timer1Timer"},
        {TrayClick, "TrayIconClick"},
        {FitColumns, "AdjustColumnWidths"},
        {StartSkin, "testStartSkin"},
        {SkinChoice, "mnuSelectedSkinClick"},
        {DrawCell, "DrawCell"},
        {PasteText, "DeleteLineBreaks"},
        {LoadDocument, "XMLloadToDoList"},
        {LoadWindowPosition, "Load WindowPosition"},
        {LoadColumnInfo, "Load ColumnInfo"},
        {LoadSkin, "Load Skin"},
        {LoadColumnHeader, "Load ColumnHeader"},
        {LoadContent, "Load ToDoContent"},
        {SaveBuild, "XMLsaveToDoList-create XML Node"},
    };
    for (const auto& [name, quoted] : names) {
        EXPECT_EQ(name, QLatin1String(quoted));
    }
}
