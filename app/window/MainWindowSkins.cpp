// The main window's skins: the search at a first start, loading a skin into the frame, and
// the skin submenu's choices, "No Skin" among them.
#include "app/boxes/ExceptionGuard.h"
#include "app/menu/CommandActions.h"
#include "app/menu/ContextMenu.h"
#include "app/window/MainWindow.h"
#include "frame/widgets/FrameView.h"
#include "platform/X11Windows.h"
#include "skins/SkinFolders.h"
#include "skins/SkinLoader.h"
#include "skins/SkinMenu.h"
#include "table/view/TaskGrid.h"
#include "texts/ErrorContexts.h"

#include <QAction>
#include <QMenu>

namespace taskwick {

void MainWindow::createSkinMenu() {
    skinMenu_ = new SkinMenu(menu_->skinMenu(), actions_->action(Command::NoSkin), this);
    skinReader_ = new SkinReader(this);
    connect(skinReader_, &SkinReader::skinRead, this, &MainWindow::dressFrame);
    connect(menu_.get(), &ContextMenu::skinMenuOpening, this, &MainWindow::onSkinMenuOpening);
    connect(skinMenu_, &SkinMenu::skinItemTriggered, this, &MainWindow::onSkinItemTriggered);
}

void MainWindow::findStartSkin() {
    guarded(boxes_, errorContext::StartSkin, [&] {
        if (const QString found =
                findSkinsFolder(skinsFolderPlaces(settings_.appFolder, settings_.dataFolders));
            !found.isEmpty()) {
            currentSkinPath_ = found;
        }
        if (!isFolder(currentSkinPath_)) {
            return;  // no skins folder: the built-in pictures stay
        }
        for (const QString& preferred : preferredSkinNames()) {
            if (const QString name =
                    findEntryIgnoringCase(currentSkinPath_, preferred, EntryKind::Folder);
                !name.isEmpty()) {
                currentSkinName_ = name;
                break;
            }
        }
        loadSkin();
    });
}

// A skin that cannot be loaded, in part or at all, is no error worth a word.
void MainWindow::loadSkin() {
    quietly([&] {
        if (auto folder =
                SkinFolder::locate(currentSkinPath_, currentSkinName_, settings_.appFolder)) {
            wearSkin(std::move(folder));
        }
        // Found nowhere: the name and the skins folder stay as the list has them, so that the
        // skin comes back once its folder does.
    });
}

void MainWindow::wearSkin(std::shared_ptr<const SkinFolder> folder) {
    if (phase_ != Phase::Running) {
        // Nothing is on the screen yet to be held up: the window comes up dressed.
        dressFrame(folder, readSkin(folder->path(), SkinShowSizes::ofScreens()));
        return;
    }
    skinReader_->read(std::move(folder), SkinShowSizes::ofScreens());
}

void MainWindow::dressFrame(const std::shared_ptr<const SkinFolder>& folder,
                            const SkinImages& skin) {
    quietly([&] {
        if (skin.images.empty()) {
            return;
        }
        // The name as the disk spells it, and where it was found, are the ones saved.
        const bool another =
            folder->name() != currentSkinName_ || folder->skinsFolder() != currentSkinPath_;
        currentSkinName_ = folder->name();
        currentSkinPath_ = folder->skinsFolder();
        if (applySkin(skin, pictures_).frameLoaded) {
            skinFrameLoaded_ = true;
        }
        frame_->setPictures(pictures_);
        layOutFrame();
        grid_->viewport()->update();
        frame_->repaintOverlays();
        if (another) {
            keeper_.markChanged();
        }
    });
}

// A submenu that cannot be filled shows what it has.
void MainWindow::onSkinMenuOpening() {
    quietly([&] {
        skinMenu_->fill(skinsFolderPlaces(settings_.appFolder, settings_.dataFolders),
                        currentSkinPath_, currentSkinName_);
    });
}

void MainWindow::onSkinItemTriggered(int position) {
    bool failed = true;
    guarded(boxes_, errorContext::SkinChoice, [&] {
        // The skin becomes the current one once its pictures are read (dressFrame).
        const QString name = skinMenu_->skinAt(position);
        if (name != NoSkinName) {
            if (auto folder = SkinFolder::find(currentSkinPath_, name)) {
                wearSkin(std::move(folder));
            }
        }
        failed = false;
    });
    if (failed) {
        skinFrameLoaded_ = false;
    }
}

void MainWindow::wearNoSkin() {
    if (currentSkinName_ == NoSkinName) {
        return;
    }
    currentSkinName_ = NoSkinName;
    currentSkinPath_ = QStringLiteral(" ");
    // The box must come in front of the window that stays on top of everything.
    selfLowering_.lower();
    boxes_.showInfo(texts_.skinUnselected, texts_.noticeTitle);
    selfLowering_.restore();
    // Only a new start puts the built-in pictures back; the close saves "No Skin" first.
    restart();
}

}  // namespace taskwick
