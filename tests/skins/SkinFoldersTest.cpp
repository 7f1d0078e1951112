// Where skins are found and what a skin folder offers, on a folder tree made by the test.
#include "skins/SkinFolders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace taskwick;

namespace {

void makeFolder(const QString& path) {
    ASSERT_TRUE(QDir().mkpath(path)) << path.toStdString();
}

}  // namespace

TEST(SkinFolders, parentFolder_ofAFolderOrAFileInIt) {
    const struct {
        const char* path;
        const char* parent;
    } cases[] = {
        {"/opt/tools/tasks/", "/opt/tools/"},
        {"/opt/tools/tasks/ToDoList.xml", "/opt/tools/"},
        {"/opt/", "/"},
        {"/opt/x", "/"},
        {"/", "/"},  // the root has no parent: it stays the root
        {"tasks", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parentFolder(c.path), c.parent) << c.path;
    }
}

TEST(SkinFolders, searchPlaces_inTheirOrder_matchedWithoutRegardToCase) {
    QTemporaryDir root;
    const QString app = root.filePath("tools/taskwick/");
    makeFolder(app);
    const auto places = skinsFolderPlaces(app);
    ASSERT_EQ(places.size(), 4u);
    EXPECT_EQ(places[0].path(), app + "Skins/");
    EXPECT_EQ(places[1].path(), root.filePath("tools/Skins/"));
    EXPECT_EQ(places[2].path(), root.filePath("tools/Quillery/Skins/"));
    EXPECT_EQ(places[3].path(), root.filePath("tools/QL/Skins/"));
    EXPECT_EQ(findSkinsFolder(places), "");

    makeFolder(root.filePath("tools/ql/SKINS"));
    EXPECT_EQ(findSkinsFolder(places), root.filePath("tools/ql/SKINS/"));
    makeFolder(root.filePath("tools/QUILLERY/skins"));
    EXPECT_EQ(findSkinsFolder(places), root.filePath("tools/QUILLERY/skins/"));
    makeFolder(root.filePath("tools/skins"));
    EXPECT_EQ(findSkinsFolder(places), root.filePath("tools/skins/"));
    makeFolder(app + "Skins");
    EXPECT_EQ(findSkinsFolder(places), app + "Skins/");

    // A plain file of the name is no skins folder.
    QTemporaryDir other;
    QFile(other.filePath("Skins")).open(QIODevice::WriteOnly);
    EXPECT_EQ(findSkinsFolder(skinsFolderPlaces(other.path() + "/")), "");
}

TEST(SkinFolders, dataFolders_comeAfterTheProgramsPlaces_theUsersBeforeTheInstalledOne) {
    QTemporaryDir root;
    const QString app = root.filePath("usr/lib/taskwick/");
    const QString user = root.filePath("home/.local/share/taskwick/");
    const QString installed = root.filePath("usr/share/taskwick/");
    makeFolder(app);
    const auto places = skinsFolderPlaces(app, {user, installed});
    ASSERT_EQ(places.size(), 6u);
    EXPECT_EQ(places[4].path(), user + "Skins/");
    EXPECT_EQ(places[5].path(), installed + "Skins/");
    EXPECT_EQ(findSkinsFolder(places), "");

    makeFolder(installed + "Skins");
    EXPECT_EQ(findSkinsFolder(places), installed + "Skins/");
    makeFolder(user + "skins");  // matched without regard to case, as every place is
    EXPECT_EQ(findSkinsFolder(places), user + "skins/");
    makeFolder(root.filePath("usr/lib/QL/Skins"));  // the program's own places come first
    EXPECT_EQ(findSkinsFolder(places), root.filePath("usr/lib/QL/Skins/"));
}

TEST(SkinFolders, skinFolders_listFoldersOnly_withoutHiddenOnes_andEntriesIgnoreCase) {
    QTemporaryDir skins;
    const QString folder = skins.path() + "/";
    makeFolder(folder + "Ocean");
    makeFolder(folder + "forest");
    makeFolder(folder + ".cache");
    QFile(folder + "readme.txt").open(QIODevice::WriteOnly);
    QFile(folder + "Ocean/top.jpg").open(QIODevice::WriteOnly);

    QStringList names = skinFolderNames(folder);
    names.sort();
    EXPECT_EQ(names, QStringList({"Ocean", "forest"}));

    EXPECT_EQ(findEntryIgnoringCase(folder, "FOREST", EntryKind::Folder), "forest");
    EXPECT_EQ(findEntryIgnoringCase(folder, "readme.TXT", EntryKind::File), "readme.txt");
    EXPECT_EQ(findEntryIgnoringCase(folder, "readme.txt", EntryKind::Folder),
              "");  // a file, not a folder
    EXPECT_EQ(findEntryIgnoringCase(folder + "Ocean/", "Top.JPG", EntryKind::File), "top.jpg");
    EXPECT_EQ(findEntryIgnoringCase(folder, "Sunset", EntryKind::Folder), "");

    ASSERT_EQ(preferredSkinNames().size(), 11);
    QStringList unique = preferredSkinNames();
    EXPECT_EQ(unique.removeDuplicates(), 0);
}

// The names the menu shows and their order: sorted without regard to case, then by case; a
// byte that is not part of valid UTF-8 reads as code page 1252, so names that differ only in
// such bytes show apart.
TEST(SkinFolders, skinFolderNames_sortedWithoutRegardToCase_strayBytesReadAsCodePage1252) {
    QTemporaryDir skins;
    const QByteArray folder = QFile::encodeName(skins.path()) + "/";
    for (const QByteArray& name :
         {QByteArray("zeta"), QByteArray("beta"), QByteArray("Alpha"), QByteArray("Beta"),
          QByteArray("caf\xe9"), QByteArray("caf\xe8"), QByteArray("\x80uro"),
          QByteArray("x\xc3\xa9\xe9"), QByteArray("over\xc0\xaf")}) {
        ASSERT_EQ(::mkdir(folder + name, 0700), 0) << name.toStdString();
    }
    EXPECT_EQ(skinFolderNames(skins.path()),
              QStringList({"Alpha", "Beta", "beta", QString::fromUtf8("caf\xC3\xA8"),
                           QString::fromUtf8("caf\xC3\xA9"),
                           QString::fromUtf8("over\xC3\x80\xC2\xAF"),  // no overlong "/"
                           QString::fromUtf8("x\xC3\xA9\xC3\xA9"), "zeta",
                           QString::fromUtf8("\xE2\x82\xAC"
                                             "uro")}));
}

// A stored skin is looked for in its stored skins folder first, then by its name, without
// regard to case, in each skins folder of the search order; the folder it was found in is
// where it is saved from then on.
TEST(SkinFolders, locate_storedFolderFirst_thenEverySkinsFolderInTheSearchOrder) {
    QTemporaryDir root;
    const QString app = root.filePath("tools/taskwick/");
    makeFolder(app + "skins/Forest");
    makeFolder(root.filePath("tools/QL/Skins/OCEAN"));
    makeFolder(root.filePath("stored/Skins/Ocean"));

    auto ocean = SkinFolder::locate(root.filePath("stored/Skins/"), "Ocean", app);
    ASSERT_NE(ocean, nullptr);
    EXPECT_EQ(ocean->skinsFolder(), root.filePath("stored/Skins/"));

    // The stored skins folder is gone: found in the search order, as the disk spells it.
    ocean = SkinFolder::locate(root.filePath("gone/Skins/"), "ocean", app);
    ASSERT_NE(ocean, nullptr);
    EXPECT_EQ(ocean->name(), "OCEAN");
    EXPECT_EQ(ocean->skinsFolder(), root.filePath("tools/QL/Skins/"));
    EXPECT_EQ(ocean->path(), root.filePath("tools/QL/Skins/OCEAN/"));

    // An earlier place wins over a later one; a blank stored folder ("No Skin") is no place.
    makeFolder(root.filePath("tools/Skins/Ocean"));
    ocean = SkinFolder::locate(" ", "Ocean", app);
    ASSERT_NE(ocean, nullptr);
    EXPECT_EQ(ocean->skinsFolder(), root.filePath("tools/Skins/"));
    const auto forest = SkinFolder::locate(root.filePath("stored/Skins/"), "Forest", app);
    ASSERT_NE(forest, nullptr);
    EXPECT_EQ(forest->skinsFolder(), app + "skins/");

    EXPECT_EQ(SkinFolder::locate(root.filePath("stored/Skins/"), "Sunset", app), nullptr);
    EXPECT_EQ(SkinFolder::locate(root.filePath("stored/Skins/"), "", app), nullptr);
}

// Of folders whose names show alike, the one whose bytes are the name's wins.
TEST(SkinFolders, find_prefersTheFolderNamedByTheVeryBytes_thenTheShownName) {
    QTemporaryDir skins;
    const QByteArray folder = QFile::encodeName(skins.path()) + "/";
    ASSERT_EQ(::mkdir(folder + "caf\xe9", 0700), 0);  // Latin-1: shows as "café"
    const QString cafe = QString::fromUtf8("caf\xC3\xA9");
    auto found = SkinFolder::find(skins.path(), cafe);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->name(), cafe);
    EXPECT_TRUE(found->path().startsWith("/proc/self/fd/"));  // reached by its bytes

    ASSERT_EQ(::mkdir(folder + "CAF\xc3\xa9", 0700), 0);
    ASSERT_EQ(::mkdir(folder + "caf\xc3\xa9", 0700), 0);
    found = SkinFolder::find(skins.path(), cafe);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->path(), skins.path() + "/" + cafe + "/");
    const QString upper = QString::fromUtf8("CAF\xC3\xA9");
    found = SkinFolder::find(skins.path(), upper);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->path(), skins.path() + "/" + upper + "/");
}
