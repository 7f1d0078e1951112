#include "platform/WindowMatch.h"

#include <gtest/gtest.h>

using namespace taskwick;

TEST(WindowMatch, classAndTitleInAnyLetterCase_match) {
    EXPECT_TRUE(isRunningInstanceWindow("TToDoForm", "Taskwick"));
    EXPECT_TRUE(isRunningInstanceWindow("TTODOFORM", "Taskwick"));
    EXPECT_TRUE(isRunningInstanceWindow("TToDoForm", "TASKWICK"));
    EXPECT_TRUE(isRunningInstanceWindow("ttodoform", "taskwick"));
}

TEST(WindowMatch, classOrTitleAloneOrNearlyEqual_doesNotMatch) {
    EXPECT_FALSE(isRunningInstanceWindow("TToDoForm", "Other"));
    EXPECT_FALSE(isRunningInstanceWindow("Other", "Taskwick"));
    EXPECT_FALSE(isRunningInstanceWindow("", "Taskwick"));
    EXPECT_FALSE(isRunningInstanceWindow("TToDoForm", ""));
    EXPECT_FALSE(isRunningInstanceWindow("TToDoForm", "Taskwick "));
    EXPECT_FALSE(isRunningInstanceWindow("TToDoForm", " Taskwick"));
    EXPECT_FALSE(isRunningInstanceWindow("TToDoForm", "Taskwick Exit"));
    EXPECT_FALSE(isRunningInstanceWindow("TToDoForm2", "Taskwick"));
    // The title and class are not interchangeable.
    EXPECT_FALSE(isRunningInstanceWindow("Taskwick", "TToDoForm"));
}

TEST(WindowMatch, onlyFirst254CodeUnitsAreCompared) {
    const QString exact254(254, QLatin1Char('a'));
    const QString longer = exact254 + QStringLiteral("bcd");
    EXPECT_EQ(comparedPart(longer), exact254);
    EXPECT_EQ(comparedPart(exact254), exact254);
    EXPECT_EQ(comparedPart(QStringLiteral("Taskwick")), QStringLiteral("Taskwick"));

    // A window text longer than the buffer equals a wanted text of its first 254 characters,
    // and no longer wanted text can ever be met.
    EXPECT_TRUE(matchesWindow("TToDoForm", longer, "TToDoForm", exact254));
    EXPECT_FALSE(matchesWindow("TToDoForm", longer, "TToDoForm", longer));
    EXPECT_TRUE(matchesWindow(longer, "Taskwick", exact254, "Taskwick"));
    // A long title that starts with the program's name is no match.
    EXPECT_FALSE(isRunningInstanceWindow("TToDoForm", QStringLiteral("Taskwick") + exact254));
}

TEST(WindowMatch, wmClassClassPart_takesSecondString) {
    EXPECT_EQ(wmClassClassPart(QByteArray("taskwick\0TToDoForm\0", 19)), "TToDoForm");
    // Without the closing terminator, as some clients write it.
    EXPECT_EQ(wmClassClassPart(QByteArray("taskwick\0TToDoForm", 18)), "TToDoForm");
    EXPECT_EQ(wmClassClassPart(QByteArray("\0TToDoForm\0", 11)), "TToDoForm");
    // An instance name alone, or nothing, has no class.
    EXPECT_EQ(wmClassClassPart(QByteArray("TToDoForm")), "");
    EXPECT_EQ(wmClassClassPart(QByteArray()), "");
    // Latin-1 bytes stay single characters.
    EXPECT_EQ(wmClassClassPart(QByteArray("a\0Gr\xfc\xdf\0", 7)), QStringLiteral(u"Grüß"));
}

TEST(WindowMatch, decodeWindowText_byEncodingAndUpToNul) {
    EXPECT_EQ(decodeWindowText("Taskwick", TextEncoding::Utf8), "Taskwick");
    EXPECT_EQ(decodeWindowText(QByteArray("Taskwick\0", 9), TextEncoding::Latin1), "Taskwick");
    EXPECT_EQ(decodeWindowText("\xc3\xa4", TextEncoding::Utf8), QStringLiteral(u"ä"));
    EXPECT_EQ(decodeWindowText("\xe4", TextEncoding::Latin1), QStringLiteral(u"ä"));
    EXPECT_TRUE(isRunningInstanceWindow(wmClassClassPart(QByteArray("x\0ttodoform\0", 12)),
                                        decodeWindowText("TaskWick", TextEncoding::Latin1)));
}
