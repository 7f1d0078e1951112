#pragma once

#include "storage/ToDoListData.h"

#include <QByteArray>

namespace taskwick {

// The complete file content: UTF-8 byte-order mark, declaration, CR LF line ends, two-space
// indentation, every character above 127 and every control character but tab, LF and CR
// written as a character reference. Cannot fail on any value.
//
// The Column elements follow `columns` and `rows` as they are; rowCount and columnCount are
// written as given, so the caller keeps them equal to the vectors' sizes.
QByteArray writeToDoList(const ToDoListData& data);

}  // namespace taskwick
