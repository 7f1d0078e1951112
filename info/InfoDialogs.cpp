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

}  // namespace taskwick
