#include "info/InfoDialogs.h"

#include <QWindow>

#include "info/HintSettings.h"
#include "info/InfoDialog.h"
#include "info/InfoTexts.h"

namespace taskwick {

InfoDialogs::InfoDialogs() {
    dialogs_.push_back(std::make_unique<InfoDialog>(InfoLanguageEnglish));
    current_ = dialogs_.front().get();
}

InfoDialogs::~InfoDialogs() = default;

InfoDialog* InfoDialogs::open(const QString& language, QWindow* stayAbove) {
    auto& dialog = dialogs_.emplace_back(std::make_unique<InfoDialog>(language));
    current_ = dialog.get();
    currentLanguage_ = language;
    applyProgramHintSettings();
    dialog->centreOnScreen();
    if (stayAbove) {
        // Above a window that stays on top of everything, only a window that does so too can
        // be seen; as its transient it also comes above it when both are raised.
        dialog->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        dialog->winId();
        dialog->windowHandle()->setTransientParent(stayAbove);
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog.get();
}

InfoDialog* InfoDialogs::createdAtStart() const {
    return dialogs_.front().get();
}

QList<InfoDialog*> InfoDialogs::opened() const {
    QList<InfoDialog*> result;
    for (auto it = dialogs_.begin() + 1; it != dialogs_.end(); ++it) {
        result.append(it->get());
    }
    return result;
}

}  // namespace taskwick
