#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace taskwick {

// Everything ToDoList.xml holds, as plain values in the order the file lists them.
struct ToDoListData {
    struct Column {
        QString caption;
        int width = 0;
        std::uint8_t alignment = 0;  // Alignment; any other number is written as "LEFT"
    };

    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int rowCount = 0;  // task rows, the caption row not counted
    int columnCount = 0;
    bool captionsBold = false;
    bool drawGridLines = true;
    QString skinName;
    QString skinPath;
    std::vector<Column> columns;             // columnCount entries
    std::vector<std::vector<QString>> rows;  // rowCount rows of columnCount texts
};

}  // namespace taskwick
