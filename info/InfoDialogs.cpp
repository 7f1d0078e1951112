#include "info/InfoDialogs.h"

#include "info/HintSettings.h"
#include "info/InfoDialog.h"
#include "info/InfoTexts.h"

namespace taskwick {

InfoDialogs::InfoDialogs() {
    dialogs_.push_back(std::make_unique<InfoDialog>(InfoLanguageEnglish));
    current_ = dialogs_.front().get();
}

InfoDialogs::~InfoDialogs() = default;

InfoDialog* InfoDialogs::open(const QString& language) {
    auto& dialog = dialogs_.emplace_back(std::make_unique<InfoDialog>(language));
    current_ = dialog.get();
    currentLanguage_ = language;
    applyProgramHintSettings();
    dialog->centreOnScreen();
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
