#include "app/boxes/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace taskwick {

QtBoxPresenter::QtBoxPresenter(std::function<QWidget*()> fallbackOwner)
    : fallbackOwner_(std::move(fallbackOwner)) {}

namespace {

void dress(QMessageBox& box, BoxKind kind, const QString& text, const QString& title) {
    box.setWindowTitle(title);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    switch (kind) {
        case BoxKind::Information:
            box.setIcon(QMessageBox::Information);
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case BoxKind::Error:
            box.setIcon(QMessageBox::Critical);
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case BoxKind::YesNo:
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            break;
    }
    // The main window stays on top of everything; a box that is not above it could open
    // unseen behind it.
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

}  // namespace

void QtBoxPresenter::notify(BoxKind kind, const QString& text, const QString& title) {
    QWidget* owner = fallbackOwner_ ? fallbackOwner_() : QApplication::activeWindow();
    std::erase_if(openBoxes_, [](const QPointer<QDialog>& b) { return !b; });
    auto* box = new QMessageBox(owner);
    dress(*box, kind, text, title);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Keys typed into the table while it opens stay in the table; a click gives it the focus.
    box->setAttribute(Qt::WA_ShowWithoutActivating);
    box->setWindowModality(Qt::NonModal);
    box->setFocusPolicy(Qt::NoFocus);
    openBoxes_.emplace_back(box);
    box->show();
}

bool QtBoxPresenter::present(BoxKind kind, const QString& text, const QString& title) {
    QWidget* owner = QApplication::activeWindow();
    if (!owner && fallbackOwner_) {
        owner = fallbackOwner_();
    }
    QMessageBox box(owner);
    dress(box, kind, text, title);
    openBoxes_.emplace_back(&box);
    const int answer = box.exec();
    std::erase_if(openBoxes_, [&](const QPointer<QDialog>& b) { return b == &box || !b; });
    return kind == BoxKind::YesNo ? answer == QMessageBox::Yes : true;
}

void QtBoxPresenter::dismissOpenBoxes() {
    for (const QPointer<QDialog>& box : openBoxes_) {
        if (box) {
            box->done(QMessageBox::No);
        }
    }
}

StayOnTopLowering::StayOnTopLowering(WindowList secondaryWindows, SetStayOnTop setStayOnTop)
    : secondaryWindows_(std::move(secondaryWindows)), setStayOnTop_(std::move(setStayOnTop)) {}

void StayOnTopLowering::lower() {
    if (depth_++ > 0) {
        return;
    }
    for (QWidget* w : secondaryWindows_()) {
        if (w && w->isVisible() && w->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
            setStayOnTop_(w, false);
            lowered_.emplace_back(w);
        }
    }
}

void StayOnTopLowering::restore() {
    if (depth_ == 0 || --depth_ > 0) {
        return;
    }
    for (const QPointer<QWidget>& w : lowered_) {
        if (w) {
            setStayOnTop_(w, true);
        }
    }
    lowered_.clear();
}

MessageBoxes::MessageBoxes(Language language, BoxPresenter& presenter, StayOnTopLowering* lowering)
    : language_(language), presenter_(presenter), lowering_(lowering) {}

void MessageBoxes::dismissBoxes() {
    dismissing_ = true;
    presenter_.dismissOpenBoxes();
}

bool MessageBoxes::toLog(const QString& text, const QString& title) {
    if (!dismissing_) {
        return false;
    }
    QString line = title + QStringLiteral(": ") + text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    std::fprintf(stderr, "taskwick: %s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
    return true;
}

void MessageBoxes::notify(BoxKind kind, const QString& text, const QString& title) {
    if (toLog(text, title)) {
        return;
    }
    try {
        presenter_.notify(kind, text, title);
    } catch (...) {
        // A notice that cannot be shown is not shown.
    }
}

void MessageBoxes::notifyInfo(const QString& text, const QString& title) {
    notify(BoxKind::Information, text, title);
}

void MessageBoxes::notifyError(const QString& text, const QString& title) {
    notify(BoxKind::Error, text, title);
}

bool MessageBoxes::show(BoxKind kind, const QString& text, const QString& title) {
    if (toLog(text, title)) {
        return false;
    }
    if (lowering_) {
        lowering_->lower();
    }
    bool answer = false;
    try {
        answer = presenter_.present(kind, text, title);
    } catch (...) {
        // A box that cannot be shown answers No.
        answer = false;
    }
    if (lowering_) {
        lowering_->restore();
    }
    return answer;
}

void MessageBoxes::showInfo(const QString& text, const QString& title) {
    show(BoxKind::Information, text, title);
}

void MessageBoxes::showError(const QString& text, const QString& title) {
    show(BoxKind::Error, text, title);
}

bool MessageBoxes::askYesNo(const QString& text, const QString& title) {
    return show(BoxKind::YesNo, text, title);
}

void MessageBoxes::showException(const QString& context) {
    const Texts& t = textsFor(language_);
    showError(t.exceptionText(context), t.exceptionTitle);
}

void MessageBoxes::showUnknownError(const QString& message, const QString& className) {
    const Texts& t = textsFor(language_);
    showError(t.unknownErrorText(message, className), t.errorTitle);
}

}  // namespace taskwick
