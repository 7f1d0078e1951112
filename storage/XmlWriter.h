#pragma once

#include "storage/ToDoListData.h"

#include <QByteArray>

namespace taskwick {

// The complete file content: UTF-8 byte-order mark, declaration, CR LF line ends, two-space
// indentation, every character above 127 and every control character but tab, LF and CR
// written as a character reference. Cannot fail on any value.
QByteArray writeToDoList(const ToDoListData& data);

}  // namespace taskwick
