#include "platform/Fonts.h"

#include "table/view/TaskGrid.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace taskwick;

namespace {

bool hasFamily(const QString& family) {
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

// Every case starts from the system's own fonts; what a case registers is gone afterwards.
class TahomaRegistration : public ::testing::Test {
protected:
    void SetUp() override {
        QFontDatabase::removeAllApplicationFonts();
        if (hasFamily(QStringLiteral("Tahoma"))) {
            GTEST_SKIP() << "this system has a Tahoma of its own";
        }
        ASSERT_TRUE(folder_.isValid());
    }
    void TearDown() override { QFontDatabase::removeAllApplicationFonts(); }

    // Copies a font from the wine folder into the temporary folder under another name.
    void copyWineFont(const QString& from, const QString& to) {
        const QString source = QDir(WineFontFolder).filePath(from);
        ASSERT_TRUE(QFile::exists(source))
            << "fonts-wine is not installed (scripts/install-deps.sh)";
        ASSERT_TRUE(QFile::copy(source, folder_.filePath(to)));
    }

    QTemporaryDir folder_;
};

const QString FirstRunTask = QStringLiteral("...Click here for new task");

}  // namespace

TEST_F(TahomaRegistration, wineFolder_givesTheTableTahomaThatFitsTheFirstRunColumn) {
    ASSERT_TRUE(QFile::exists(QDir(WineFontFolder).filePath(QStringLiteral("tahoma.ttf"))))
        << "fonts-wine is not installed (scripts/install-deps.sh)";
    EXPECT_TRUE(registerTahomaWhenMissing());

    const QFont font = TaskGrid::tableFont();
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Tahoma"));
    // The first-run task column is 210 pixels; the text keeps a pixel of margin either side.
    EXPECT_LE(QFontMetrics(font).horizontalAdvance(FirstRunTask), 208);
    // The bold header uses the real bold face, not an emboldened regular one.
    EXPECT_TRUE(QFontDatabase::styles(QStringLiteral("Tahoma")).contains(QStringLiteral("Bold")));

    // Once there, a second call has nothing to do and still reports it.
    EXPECT_TRUE(registerTahomaWhenMissing());
}

TEST_F(TahomaRegistration, folderWithoutTheFiles_keepsTheFallbacksAndSaysSo) {
    const QStringList before = QFontDatabase::families();
    EXPECT_FALSE(registerTahomaWhenMissing(folder_.path()));
    EXPECT_FALSE(registerTahomaWhenMissing(folder_.filePath(QStringLiteral("no-such-folder"))));
    EXPECT_EQ(QFontDatabase::families(), before);
    EXPECT_NE(QFontInfo(TaskGrid::tableFont()).family(), QStringLiteral("Tahoma"));
}

TEST_F(TahomaRegistration, regularFaceAlone_isEnough) {
    copyWineFont(QStringLiteral("tahoma.ttf"), QStringLiteral("tahoma.ttf"));
    EXPECT_TRUE(registerTahomaWhenMissing(folder_.path()));
    EXPECT_EQ(QFontInfo(TaskGrid::tableFont()).family(), QStringLiteral("Tahoma"));
}

TEST_F(TahomaRegistration, filesThatAreNotTahoma_areLeftOut) {
    // Another family under the regular face's name, and no font at all under the bold one's.
    copyWineFont(QStringLiteral("marlett.ttf"), QStringLiteral("tahoma.ttf"));
    QFile junk(folder_.filePath(QStringLiteral("tahomabd.ttf")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a font");
    junk.close();
    ASSERT_FALSE(hasFamily(QStringLiteral("Marlett")));

    EXPECT_FALSE(registerTahomaWhenMissing(folder_.path()));
    EXPECT_FALSE(hasFamily(QStringLiteral("Tahoma")));
    EXPECT_FALSE(hasFamily(QStringLiteral("Marlett")));
}
