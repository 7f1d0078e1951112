#include "app/list/SaveMessages.h"

namespace taskwick {

QString saveErrorText(const SaveResult& result, const Texts& texts, const QString& appFolder) {
    switch (result.step) {
        case SaveResult::ReadOnly:
            return texts.saveReadOnlyText(appFolder, result.errorMessage, result.errorKind);
        case SaveResult::TempFile:
            // The folder that refused: for a list that is a link, the one it leads to.
            return texts.saveTempFileText(result.folder.isEmpty() ? appFolder : result.folder,
                                          result.errorKind);
        case SaveResult::Replace:
            return texts.saveReplaceText(appFolder, result.errorKind);
        case SaveResult::Ok:
        case SaveResult::BuildDocument:
            break;
    }
    return {};
}

}  // namespace taskwick
