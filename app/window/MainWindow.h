#pragma once

#include "app/boxes/MessageBoxes.h"
#include "app/list/ListKeeper.h"
#include "app/menu/CommandTable.h"
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

class CommandActions;
class ContextMenu;
class FileOps;
class FrameView;
class PictureButton;
class InfoDialogs;
class SkinFolder;
class SkinMenu;
class SkinReader;
class TableHistory;
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

struct MainWindowSettings {
    Language language = Language::English;
    QStringList arguments;  // the command line as typed, program name first
    QString appFolder;      // folder of the executable, with a trailing "/"
    // Folder of ToDoList.xml, with a trailing "/"; empty: appFolder. Any other is the user's
    // data folder, taken because the executable's folder takes no files of this user.
    QString listFolder;
    // Folders of the program's data, with a trailing "/", where skins are also looked for
    // after the executable's places: the user's own, then the installed one.
    QStringList dataFolders;
    FileOps* fileOps = nullptr;            // the file layer of every save; null for the real one
    int autoSaveDelayMs = 2000;            // how long after a change the list is saved on its own
    InstanceHandover* handover = nullptr;  // null: no lock to release, relaunch the executable
    std::optional<bool> systemTray;        // whether the desktop has a tray; unset: ask it
    // Where the tasks go when the list cannot be saved, first choice first.
    QStringList rescueFolders;
};

// The program's main window and the composition root: it owns the task table and the
// subsystem objects, wires them together, and handles the window's own events. Its children
// are found by their names: "taskGrid", "frameView", "contextMenu" and the actions of the
// commands ("addRow", "exit" ...).
class MainWindow : public QWidget, private ListWindow, private WindowCommands {
    Q_OBJECT
public:
    // The window's life, in this order.
    enum class Phase {
        Created,
        StartingUp,
        EndingAfterStartUp,  // asked to end while a start-up box was open
        Running,
        Closed,
    };

    MainWindow(MainWindowSettings settings, MessageBoxes& boxes, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up while the window is still invisible: the list or a first run's defaults, the
    // frame, and the timer that shows (or, for "-m", hides) the window once the event loop
    // runs. Ends in Phase::Closed when a close came meanwhile.
    void startUp();
    Phase phase() const { return phase_; }
    // Whether the window stays hidden after start ("-m" on a desktop with a tray).
    bool startsHidden() const { return startView_ == StartView::Hidden; }

    // A close that nobody can answer a box for: a signal, the end of the desktop session.
    void requestClose();
    // A second start asked the running instance to come to the front.
    void showNormalAndActivate();
    // Saves changes not yet on the disk without any box; for a process that ends without
    // its event loop (the X server went away). Does nothing once the close ran.
    void saveBeforeExit();

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    enum class StartView { Shown, Hidden, AsBar };

    // Start-up.
    void loadList();
    void startFirstRun();
    void tellWhereTheListLives();
    void fillFirstRunTable();
    void checkLanguageMarker();
    void onStartTimer();
    // Saves the list and ends the application; runs once however often it is asked. Returns
    // false when the window stays instead: the tasks reached no file, and a person who can
    // try again asked for the close.
    bool closeAndSave(CloseKind kind);
    // Starts a fresh instance and closes this one. The list is saved and the instance lock
    // let go before the successor starts, so it neither finds this window nor reads an old
    // list.
    void restart();

    // Wiring.
    void createFrame();
    void createTrayIcon();
    void createMenu();
    // Each command of the command table: its action runs its work, its keys go to the window
    // or the grid, its frame button triggers it.
    void connectCommands();
    PictureButton* frameButton(FrameButton button) const;
    void connectHistory();
    void connectGrid();
    void openContextMenu(QPoint globalPos);

    // Commands that belong to the window.
    void exitProgram() override;
    void showListFolder() override;
    // The About dialog, a new one each time, in front of the window that stays on top.
    void showAbout() override;
    void wearNoSkin() override;
    InfoDialogs& infoDialogs();

    // The frame and the fold (MainWindowFrame.cpp).
    void layOutFrame();
    void fitColumnsToTable();
    void toggleFold();
    void onFoldTick();
    void finishFold(const FoldAnimation::Tick& last);
    // A move that the program did not make (the window manager's, at Alt+drag or its keyboard
    // move; a tool's) is kept like the user's drag: the list is saved soon after.
    void onPlaceCheck();
    // The program put the window where it now is.
    void notePlace();
    // The work area of the screen that holds the largest part of the window.
    QRect workAreaHoldingMost() const;
    bool hasSystemTray() const;
    void onMinimizeClicked();
    void onTrayIconClicked();

    // Skins (MainWindowSkins.cpp).
    void createSkinMenu();
    void findStartSkin();
    // The skin the list or a first start names, wherever its folder is now.
    void loadSkin();
    // Reads a skin's pictures: at once during start-up, on the reader's thread after it.
    void wearSkin(std::shared_ptr<const SkinFolder> folder);
    // A skin of which nothing could be read changes nothing: the skin worn before stays worn,
    // ticked and saved.
    void dressFrame(const std::shared_ptr<const SkinFolder>& folder, const SkinImages& skin);
    void onSkinMenuOpening();
    void onSkinItemTriggered(int position);

    // What the list keeper asks of the window.
    SaveSource placement() const override;
    std::optional<CellPos> editedCell() const override;

    MainWindowSettings settings_;
    MessageBoxes& boxes_;
    const Texts& texts_;
    TaskTable table_;
    CurrentCell current_{table_};  // the grid moves it; the commands and the history read it
    TaskGrid* grid_ = nullptr;
    CommandActions* actions_ = nullptr;
    TableHistory* history_ = nullptr;  // the user's changes, for Ctrl+Z and Ctrl+Y
    std::unique_ptr<ContextMenu> menu_;
    CommandTargets targets_;
    TableCommands commands_;
    ListKeeper keeper_;
    StayOnTopLowering selfLowering_;  // while the About dialog comes up in front
    FrameView* frame_ = nullptr;
    FramePictures pictures_;  // what the frame shows: built in, or as far as a skin replaced them
    bool skinFrameLoaded_ = false;
    SkinMenu* skinMenu_ = nullptr;
    SkinReader* skinReader_ = nullptr;
    std::unique_ptr<InfoDialogs> infoDialogs_;
    TrayIcon* tray_ = nullptr;
    FoldAnimation fold_;
    QRect foldArea_;  // where the bar of the running fold is to lie
    QTimer foldTimer_;
    QPoint knownPlace_;  // where the program put the window, or last found it moved to
    QTimer placeCheck_;  // looks where the window is once its moves have settled
    QWidget* focusParking_ = nullptr;
    QTimer startTimer_;

    Phase phase_ = Phase::Created;
    StartView startView_ = StartView::Shown;
    QString currentSkinName_;
    QString currentSkinPath_;
};

}  // namespace taskwick
