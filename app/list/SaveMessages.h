#pragma once

#include "storage/ToDoListSaver.h"
#include "texts/Texts.h"

#include <QString>

namespace taskwick {

// The text of the save-error box for a failed save: which step failed, the folder or file,
// and the error. A temporary file that could not be made names the folder that refused it. Empty
// for a save that worked and for one whose document could not be built, which is reported through
// the unexpected-error box instead.
QString saveErrorText(const SaveResult& result, const Texts& texts, const QString& appFolder);

}  // namespace taskwick
