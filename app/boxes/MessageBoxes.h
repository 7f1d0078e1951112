#pragma once

#include "texts/Texts.h"

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

namespace taskwick {

enum class BoxKind { Information, Error, YesNo };

// Shows one modal box and returns true when it was closed with Yes (or OK for the others).
class BoxPresenter {
public:
    virtual ~BoxPresenter() = default;
    virtual bool present(BoxKind kind, const QString& text, const QString& title) = 0;
    // Shows an Information or Error box that nobody waits for, and that does not take the
    // keyboard from the window the user types into.
    virtual void notify(BoxKind kind, const QString& text, const QString& title) {
        present(kind, text, title);
    }
    // Closes every box that is open now, each answering No.
    virtual void dismissOpenBoxes() {}
};

// The real boxes: QMessageBox owned by the active window (or the main window when none is
// active), so the window manager keeps it above the stay-on-top main window.
class QtBoxPresenter : public BoxPresenter {
public:
    explicit QtBoxPresenter(std::function<QWidget*()> fallbackOwner = {});
    bool present(BoxKind kind, const QString& text, const QString& title) override;
    void notify(BoxKind kind, const QString& text, const QString& title) override;
    void dismissOpenBoxes() override;

private:
    std::function<QWidget*()> fallbackOwner_;
    std::vector<QPointer<QDialog>> openBoxes_;
};

// Secondary stay-on-top windows are put to the normal level while a box is open, so none of
// them covers it. Nested boxes change the levels only at the outermost level.
class StayOnTopLowering {
public:
    using WindowList = std::function<std::vector<QWidget*>()>;
    using SetStayOnTop = std::function<void(QWidget*, bool)>;
    StayOnTopLowering(WindowList secondaryWindows, SetStayOnTop setStayOnTop);

    void lower();
    void restore();
    int depth() const { return depth_; }

private:
    WindowList secondaryWindows_;
    SetStayOnTop setStayOnTop_;
    std::vector<QPointer<QWidget>> lowered_;
    int depth_ = 0;
};

// The four boxes every part of the program shows its messages with.
class MessageBoxes {
public:
    MessageBoxes(Language language, BoxPresenter& presenter, StayOnTopLowering* lowering = nullptr);

    void showInfo(const QString& text, const QString& title);
    void showError(const QString& text, const QString& title);
    // The same as notices: shown without waiting and without taking the keyboard, for what
    // the program has to say while the user may be typing.
    void notifyInfo(const QString& text, const QString& title);
    void notifyError(const QString& text, const QString& title);
    bool askYesNo(const QString& text, const QString& title);
    void showException(const QString& context);
    // Reports an exception that escaped every handler, with its message and type name.
    void showUnknownError(const QString& message, const QString& className);

    // The program is asked to end by someone who cannot answer a box (a signal, the end of
    // the session): the open boxes close, answering No, and until resumeBoxes() further boxes
    // go to the log (stderr) instead and answer No, so that nothing waits for a person.
    void dismissBoxes();
    void resumeBoxes() { dismissing_ = false; }

    Language language() const { return language_; }

private:
    bool show(BoxKind kind, const QString& text, const QString& title);
    void notify(BoxKind kind, const QString& text, const QString& title);
    bool toLog(const QString& text, const QString& title);

    Language language_;
    BoxPresenter& presenter_;
    StayOnTopLowering* lowering_;
    bool dismissing_ = false;
};

}  // namespace taskwick
