// A yardstick for start-up time and memory: the least a Qt Widgets program does to show a table
// the size of Taskwick's in a window of its size, with an icon in the tray.
//
//   minimal_table_tray [--size N]   (N x N cells of mixed text; without it the 3 x 6 table of
//                                    a first run)
#include <QApplication>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWidget>

#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int size = 0;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--size") == 0) {
            size = std::atoi(argv[i + 1]);
        }
    }
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal table"));
    window.resize(370, 211);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(30, 30, 30, 30);
    auto* table = new QTableWidget(&window);
    layout->addWidget(table);
    if (size > 0) {
        table->setRowCount(size);
        table->setColumnCount(size);
        for (int row = 0; row < size; ++row) {
            for (int col = 0; col < size; ++col) {
                table->setItem(
                    row, col,
                    new QTableWidgetItem(QStringLiteral("Task %1/%2 äöü & <b>").arg(row).arg(col)));
            }
        }
    } else {
        table->setColumnCount(3);
        table->setRowCount(5);
        table->setHorizontalHeaderLabels({"Prio", "Task", "Time"});
        table->setItem(0, 0, new QTableWidgetItem(QStringLiteral("High")));
        table->setItem(0, 1, new QTableWidgetItem(QStringLiteral("...Click here for new task")));
        table->setItem(0, 2, new QTableWidgetItem(QStringLiteral("10min")));
    }
    QPixmap iconPicture(22, 22);
    iconPicture.fill(Qt::darkRed);
    QSystemTrayIcon tray{QIcon(iconPicture)};
    tray.setToolTip(QStringLiteral("Minimal table"));
    tray.show();
    window.show();
    return app.exec();
}
