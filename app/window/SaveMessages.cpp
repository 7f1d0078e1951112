#include "app/window/SaveMessages.h"

namespace taskwick {

QString saveErrorText(const SaveResult& result, const Texts& texts, const QString& appFolder) {
    switch (result.step) {
        case SaveResult::ReadOnly:
            return texts.saveReadOnlyText(appFolder, result.errorMessage, result.errorKind);
        case SaveResult::TempFile:
            return texts.saveTempFileText(appFolder, result.errorKind);
        case SaveResult::Replace:
            return texts.saveReplaceText(appFolder, result.errorKind);
        case SaveResult::Ok:
        case SaveResult::BuildDocument:
            break;
    }
    return {};
}

}  // namespace taskwick
