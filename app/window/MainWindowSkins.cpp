// The main window's skins: the search at a first start, loading a skin into the frame, and
// the skin submenu's choices, "No Skin" among them.
#include "app/menu/ContextMenu.h"
#include "app/window/MainWindow.h"
#include "frame/widgets/FrameView.h"
#include "platform/X11Windows.h"
#include "skins/SkinFolders.h"
#include "skins/SkinLoader.h"
#include "skins/SkinMenu.h"
#include "table/view/TaskGrid.h"

#include <QAction>
#include <QMenu>

namespace taskwick {

namespace {

// Context names of the unexpected-error box, as users quote them.
const QString StartSkinContext = QStringLiteral("testStartSkin");
const QString SkinChoiceContext = QStringLiteral("mnuSelectedSkinClick");

}  // namespace

void MainWindow::createSkinMenu() {
    skinMenu_ = new SkinMenu(menu_->skinMenu(), menu_->item(QStringLiteral("noSkin")), this);
    skinReader_ = new SkinReader(this);
    connect(skinReader_, &SkinReader::skinRead, this, &MainWindow::dressFrame);
    connect(menu_.get(), &ContextMenu::skinMenuOpening, this, &MainWindow::onSkinMenuOpening);
    connect(skinMenu_, &SkinMenu::skinItemTriggered, this, &MainWindow::onSkinItemTriggered);
    connect(menu_.get(), &ContextMenu::noSkinClicked, this, &MainWindow::onNoSkinTriggered);
}

void MainWindow::findStartSkin() {
    guardedHandler(StartSkinContext, [&] {
        if (const QString found = findSkinsFolder(skinsFolderPlaces(settings_.appFolder));
            !found.isEmpty()) {
            currentSkinPath_ = found;
        }
        if (!isFolder(currentSkinPath_)) {
            return;  // no skins folder: the built-in pictures stay
        }
        for (const QString& preferred : preferredSkinNames()) {
            if (const QString name = findEntryIgnoringCase(currentSkinPath_, preferred, true);
                !name.isEmpty()) {
                currentSkinName_ = name;
                break;
            }
        }
        loadSkin();
    });
}

void MainWindow::loadSkin() {
    // A skin that cannot be loaded, in part or at all, is no error worth a word.
    try {
        const std::shared_ptr<const SkinFolder> folder =
            SkinFolder::find(currentSkinPath_, currentSkinName_);
        if (!folder) {
            return;
        }
        // The name as the disk spells it is the one saved.
        currentSkinName_ = folder->name();
        if (!startupFinished_) {
            // Nothing is on the screen yet to be held up: the window comes up dressed.
            dressFrame(readSkin(folder->path(), SkinShowSizes::ofScreens()));
            return;
        }
        skinReader_->read(folder, SkinShowSizes::ofScreens());
    } catch (...) {
    }
}

void MainWindow::dressFrame(const SkinImages& skin) {
    try {
        if (applySkin(skin, pictures_).frameLoaded) {
            skinFrameLoaded_ = true;
        }
        frame_->setPictures(pictures_);
        layOutFrame();
        grid_->viewport()->update();
        frame_->repaintOverlays();
    } catch (...) {
    }
}

void MainWindow::onSkinMenuOpening() {
    try {
        skinMenu_->fill(settings_.appFolder, currentSkinPath_, currentSkinName_);
    } catch (...) {
        // A submenu that cannot be filled shows what it has.
    }
}

void MainWindow::onSkinItemTriggered(int position) {
    bool failed = true;
    guardedHandler(SkinChoiceContext, [&] {
        currentSkinName_ = skinMenu_->skinAt(position);
        if (currentSkinName_ != NoSkinName) {
            loadSkin();
        }
        failed = false;
    });
    if (failed) {
        skinFrameLoaded_ = false;
    }
    keeper_.markChanged();
}

void MainWindow::onNoSkinTriggered() {
    if (currentSkinName_ == NoSkinName) {
        return;
    }
    currentSkinName_ = NoSkinName;
    currentSkinPath_ = QStringLiteral(" ");
    // The box must come in front of the window that stays on top of everything.
    x11::setStayOnTop(windowHandle(), false);
    boxes_.showInfo(texts_.skinUnselected, texts_.noticeTitle);
    x11::setStayOnTop(windowHandle(), true);
    // Only a new start puts the built-in pictures back; the close saves "No Skin" first.
    restart();
}

}  // namespace taskwick
