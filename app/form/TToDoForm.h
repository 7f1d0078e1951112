#pragma once

#include "app/boxes/MessageBoxes.h"
#include "app/texts/Texts.h"
#include "table/commands/TableCommands.h"
#include "table/model/TaskTable.h"

#include <QPushButton>
#include <QStringList>
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
    QStringList arguments;  // the command line, program name first
    QString appFolder;      // folder of the executable, with a trailing "/"
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
    void XMLSpeichern();
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

    // Test seams: a hook that runs inside a handler's guard, to make that handler fail, and
    // the file layer saves go through.
    std::function<void(const QString& handler)> failureInjection;
    void setFileOps(FileOps* ops) { fileOps_ = ops; }
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
    void setDisplaySettingItems();

    void repaintPlusMinusButtons();

    FormSettings settings_;
    MessageBoxes& boxes_;
    const Texts& texts_;
    TaskTable table_;
    TaskGrid* grid_ = nullptr;
    std::unique_ptr<ContextMenu> menu_;
    FileOps* fileOps_ = nullptr;
    TableCommands commands_;
    RedBar* redBar_ = nullptr;
    PlusMinusButton* plusRow_ = nullptr;
    PlusMinusButton* minusRow_ = nullptr;
    PlusMinusButton* plusColumn_ = nullptr;
    PlusMinusButton* minusColumn_ = nullptr;
    QPushButton* ButtonForFocus = nullptr;
    QTimer tmrAnwendungsStartOnTimer;

    int minClientWidth_ = 0;
    bool startHidden_ = false;
    FrameStateValue frameState_ = FrameStarting;
    QString currentSkinName_;
    QString currentSkinPath_;
    bool closeQueryRan_ = false;
};

}  // namespace taskwick
