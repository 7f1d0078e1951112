#pragma once

#include "app/boxes/MessageBoxes.h"
#include "app/texts/Texts.h"
#include "storage/ListFile.h"
#include "table/commands/TableCommands.h"
#include "table/model/TaskTable.h"

#include <QFutureWatcher>
#include <QPushButton>
#include <QStringList>
#include <QThreadPool>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace taskwick {

class ContextMenu;
class FileOps;
class PlusMinusButton;
class RedBar;
class TaskGrid;

// States of the window frame; only FrameFull lays the frame out.
enum FrameStateValue : quint8 {
    FrameFolded = 0,
    FrameUnfolding = 1,
    FrameFull = 2,
    FrameFolding = 3,
    FrameStarting = 4,
};

struct FormSettings {
    Language language = Language::English;
    QStringList arguments;       // the command line as typed, program name first
    QString appFolder;           // folder of the executable, with a trailing "/"
    FileOps* fileOps = nullptr;  // the file layer of every save; null for the real one
    int autoSaveDelayMs = 2000;  // how long after a change the list is saved on its own
};

// Who asked for a save decides what the user is told about it.
enum class SaveKind {
    Close,       // the close query: every error box, every time
    Automatic,   // soon after a change: a failure is told once until a save works again
    BeforeExit,  // the process is ending without its window: no box at all
};

// The program's main window and the composition root: it owns the task table and the
// subsystem objects, and its handlers are short methods that call into them.
class TToDoForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int DefaultClientWidth = 370;
    static constexpr int DefaultClientHeight = 211;

    TToDoForm(FormSettings settings, MessageBoxes& boxes, QWidget* parent = nullptr);
    ~TToDoForm() override;

    // Start-up while the window is still invisible.
    void FormCreate();
    void tmrAnwendungsStartOnTimerTimer();
    // Saves the task list and ends the application; runs once however often it is asked.
    void FormCloseQuery();
    void mnuExitClick();
    // Close requests from outside the window: signals and the end of the desktop session.
    void requestClose();
    // Starts a fresh instance and closes this one. The list is saved and the instance lock
    // let go before the successor starts, so it neither finds this window nor reads an old
    // list.
    void Restart();
    // A second start asked the running instance to come to the front.
    void showNormalAndActivate();

    void XMLLaden();
    // The close's save.
    void XMLSpeichern();
    void saveList(SaveKind kind);
    // Something the close would save has changed: a save follows within the delay.
    void markListChanged();
    // True from a change until a save of it is on the disk.
    bool hasUnsavedChanges() const { return listChanged_ || backgroundSaveOutstanding_; }
    // Saves changes not yet on the disk without any box; for a process that ends without
    // its event loop (the X server went away). Does nothing once the close query ran.
    void saveBeforeExit();
    void mnuOpenFolderHereClick();

    void FormResize();
    void AdjustColumnWidths();

    // Row and column commands, from the context menu and the frame's +/- buttons.
    void mnuAddRowClick();
    void mnuDeleteRowClick();
    void mnuAddColumnClick();
    void mnuDeleteColumnClick();
    void mnuLeftAlignClick();
    void mnuCenterAlignClick();
    void mnuRightAlignClick();
    void mnuMakeTitleBoldClick();
    void mnuShowGridLinesClick();
    void mnuChangeTitleClick();

    TaskTable& table() { return table_; }
    const QString& AppFolder() const { return settings_.appFolder; }
    bool StartHidden() const { return startHidden_; }
    int MinClientWidth() const { return minClientWidth_; }
    FrameStateValue FrameState() const { return frameState_; }
    const QString& CurrentSkinName() const { return currentSkinName_; }
    const QString& CurrentSkinPath() const { return currentSkinPath_; }
    TaskGrid* ToDoGrid() const { return grid_; }
    ContextMenu* PopupMenu() const { return menu_.get(); }
    RedBar* ImageRedButtonAufklapper() const { return redBar_; }
    PlusMinusButton* PanelPlusRow() const { return plusRow_; }
    PlusMinusButton* PanelMinusRow() const { return minusRow_; }
    PlusMinusButton* PanelPlusColumn() const { return plusColumn_; }
    PlusMinusButton* PanelMinusColumn() const { return minusColumn_; }
    bool closeQueryRan() const { return closeQueryRan_; }

    // Test seam: a hook that runs inside a handler's guard, to make that handler fail.
    std::function<void(const QString& handler)> failureInjection;
    // Called by Restart in place of starting the executable again; returns whether it started.
    std::function<bool()> launchSuccessor;
    // Called by Restart to let go of the single-instance lock before the successor starts.
    std::function<void()> releaseInstanceLock;

signals:
    // Emitted when the close query has finished; the application then quits.
    void closeQueryFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void setClientSize(int width, int height);
    void placeForFirstRun();
    void fillFirstRunTable();
    void checkLanguageMarker();
    void injectFailure(const QString& handler);
    void createPlusMinusButtons();
    void createContextMenu();
    void connectGrid();

    void repaintPlusMinusButtons();
    void keepUnreadableList(const QByteArray& content);
    void reportSave(SaveKind kind, const ListFile::SaveOutcome& outcome);
    void onAutoSaveTimer();
    void waitForBackgroundSave();
    void connectBackgroundSave();
    void onBackgroundSaveFinished();

    FormSettings settings_;
    MessageBoxes& boxes_;
    const Texts& texts_;
    TaskTable table_;
    TaskGrid* grid_ = nullptr;
    std::unique_ptr<ContextMenu> menu_;
    TableCommands commands_;
    std::unique_ptr<ListFile> listFile_;
    RedBar* redBar_ = nullptr;
    PlusMinusButton* plusRow_ = nullptr;
    PlusMinusButton* minusRow_ = nullptr;
    PlusMinusButton* plusColumn_ = nullptr;
    PlusMinusButton* minusColumn_ = nullptr;
    QPushButton* ButtonForFocus = nullptr;
    QTimer tmrAnwendungsStartOnTimer;
    QTimer autoSaveTimer_;
    QThreadPool saveThread_;
    QFutureWatcher<ListFile::SaveOutcome> backgroundSave_;

    int minClientWidth_ = 0;
    bool startHidden_ = false;
    FrameStateValue frameState_ = FrameStarting;
    QString currentSkinName_;
    QString currentSkinPath_;
    bool closeQueryRan_ = false;
    bool startupFinished_ = false;
    bool closePending_ = false;  // a close request came while starting up
    bool listChanged_ = false;
    bool autoSaveFailureShown_ = false;
    bool backgroundSaveOutstanding_ = false;  // started, and its outcome not yet taken in
    QString keptUnreadablePath_;
    int keepUnreadableError_ = 0;
};

}  // namespace taskwick
