// Where skins are found and what a skin folder offers, on a folder tree made by the test.
#include "skins/SkinFolders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
