#pragma once

#include "app/boxes/ExceptionGuard.h"
#include "app/boxes/MessageBoxes.h"
#include "app/list/ListKeeper.h"
#include "frame/geometry/FoldAnimation.h"
#include "frame/widgets/FramePictures.h"
#include "table/commands/TableCommands.h"
#include "table/model/TaskTable.h"
#include "texts/Texts.h"

#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>

namespace taskwick {

class ContextMenu;
class FileOps;
class FrameView;
class InfoDialogs;
class PictureButton;
class RedBar;
class SkinMenu;
class SkinReader;
struct SkinImages;
class TaskGrid;
class TrayIcon;

// What a restart needs from the process around the window: the instance lock let go, and a
// successor started.
class InstanceHandover {
public:
    virtual ~InstanceHandover() = default;
    virtual void releaseInstanceLock() = 0;
    // Returns whether the successor could be started.
    virtual bool startSuccessor() = 0;
};

// Learns of every guarded handler as it begins, by the context name its failures are reported
// under. Tests make a handler fail through it.
class HandlerProbe {
public:
    virtual ~HandlerProbe() = default;
    virtual void entering(const QString& context) = 0;
};

struct MainWindowSettings {
    Language language = Language::English;
    QStringList arguments;                 // the command line as typed, program name first
    QString appFolder;                     // folder of the executable, with a trailing "/"
    FileOps* fileOps = nullptr;            // the file layer of every save; null for the real one
    int autoSaveDelayMs = 2000;            // how long after a change the list is saved on its own
    InstanceHandover* handover = nullptr;  // null: no lock to release, relaunch the executable
    std::optional<bool> systemTray;        // whether the desktop has a tray; unset: ask it
    HandlerProbe* probe = nullptr;
    // Where the tasks go when the list cannot be saved, first choice first.
    QStringList rescueFolders;
};

// The program's main window and the composition root: it owns the task table and the
// subsystem objects, and its handlers are short methods that call into them.
class MainWindow : public QWidget, private ListWindow {
    Q_OBJECT
public:
    static constexpr int DefaultClientWidth = 370;
    static constexpr int DefaultClientHeight = 211;

    MainWindow(MainWindowSettings settings, MessageBoxes& boxes, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up while the window is still invisible.
    void startUp();
    void onStartTimer();
    // Saves the task list and ends the application; runs once however often it is asked.
    // Returns false when the window stays instead: the tasks reached no file, and a person
    // who can try again asked for the close.
    bool closeAndSave(CloseKind kind = CloseKind::ByUser);
    void onExitTriggered();
    // Close requests from outside the window: signals and the end of the desktop session.
    void requestClose();
    // Starts a fresh instance and closes this one. The list is saved and the instance lock
    // let go before the successor starts, so it neither finds this window nor reads an old
    // list.
    void restart();
    // A second start asked the running instance to come to the front.
    void showNormalAndActivate();

    // True from a change until a save of it is on the disk.
    bool hasUnsavedChanges() const { return keeper_.hasUnsavedChanges(); }
    // Saves changes not yet on the disk without any box; for a process that ends without
    // its event loop (the X server went away). Does nothing once the close ran.
    void saveBeforeExit();
    void onOpenFileFolderTriggered();

    // The frame for the window's size; only the full window is laid out.
    void layOutFrame();
    void fitColumnsToTable();
    // The red bar, the shrink icon and Escape: folds the window into the bar, or unfolds it.
    void toggleFold();
    void onFoldTick();
    // Skins: the search at a first start, loading the active skin into the frame, the
    // submenu's items and the choices made in it.
    void findStartSkin();
    void loadSkin();
    void onSkinMenuOpening();
    void onSkinItemTriggered(int position);
    void onNoSkinTriggered();
    bool skinFrameLoaded() const { return skinFrameLoaded_; }
    SkinMenu* skinMenu() const { return skinMenu_; }

    // The About dialog, a new one each time; the window steps out of the top layer while the
    // dialog comes up so that it opens in front.
    void onAboutTriggered();
    InfoDialogs& infoDialogs();

    // The minimise icon: the window goes, and the tray icon brings it back.
    void onMinimizeClicked();
    void onTrayIconClicked();

    // Row and column commands, from the context menu and the frame's +/- buttons.
    void onAddRowTriggered();
    void onDeleteRowTriggered();
    void onAddColumnTriggered();
    void onDeleteColumnTriggered();
    void onLeftAlignTriggered();
    void onCenterAlignTriggered();
    void onRightAlignTriggered();
    void onTitleBoldTriggered();
    void onGridLinesTriggered();
    void onChangeTitleTriggered();

    TaskTable& table() { return table_; }
    const QString& appFolder() const { return settings_.appFolder; }
    bool startsHidden() const { return startHidden_; }
    int minClientWidth() const { return minClientWidth_; }
    FoldState foldState() const { return fold_.state(); }
    int unfoldedClientWidth() const { return fold_.unfoldedClientWidth(); }
    const QString& skinName() const { return currentSkinName_; }
    const QString& skinsFolder() const { return currentSkinPath_; }
    TaskGrid* grid() const { return grid_; }
    ContextMenu* contextMenu() const { return menu_.get(); }
    FrameView* frameView() const { return frame_; }
    RedBar* redBar() const;
    PictureButton* addRowButton() const;
    PictureButton* deleteRowButton() const;
    PictureButton* addColumnButton() const;
    PictureButton* deleteColumnButton() const;
    TrayIcon* trayIcon() const { return tray_; }
    bool isClosed() const { return closed_; }

signals:
    // Emitted when the close has finished; the application then quits.
    void closeFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setClientSize(int width, int height);
    void placeForFirstRun();
    void fillFirstRunTable();
    void checkLanguageMarker();
    // Runs a handler's body under the exception guard with its context name.
    template <class Body>
    void guardedHandler(const QString& context, Body&& body);
    void createFrame();
    void createTrayIcon();
    void showTrayIcon();
    void createContextMenu();
    void createSkinMenu();
    void dressFrame(const SkinImages& skin);
    void connectGrid();
    void finishFold(const FoldAnimation::Tick& last);
    bool hasSystemTray() const;
    SaveSource placement() const override;
    bool isEditingCell() const override;

    MainWindowSettings settings_;
    MessageBoxes& boxes_;
    const Texts& texts_;
    TaskTable table_;
    TaskGrid* grid_ = nullptr;
    std::unique_ptr<ContextMenu> menu_;
    TableCommands commands_;
    ListKeeper keeper_;
    FrameView* frame_ = nullptr;
    FramePictures pictures_;  // what the frame shows: built in, or as far as a skin replaced them
    bool skinFrameLoaded_ = false;
    SkinMenu* skinMenu_ = nullptr;
    SkinReader* skinReader_ = nullptr;
    std::unique_ptr<InfoDialogs> infoDialogs_;
    TrayIcon* tray_ = nullptr;
    FoldAnimation fold_;
    QTimer foldTimer_;
    QWidget* focusParking_ = nullptr;
    QTimer startTimer_;

    int minClientWidth_ = 0;
    bool startHidden_ = false;
    bool startFolded_ = false;  // "-m" on a desktop without a tray
    QString currentSkinName_;
    QString currentSkinPath_;
    bool closed_ = false;
    bool startupFinished_ = false;
    bool closePending_ = false;  // a close request came while starting up
};

template <class Body>
void MainWindow::guardedHandler(const QString& context, Body&& body) {
    guarded(boxes_, context, [&] {
        if (settings_.probe) {
            settings_.probe->entering(context);
        }
        body();
    });
}

}  // namespace taskwick
