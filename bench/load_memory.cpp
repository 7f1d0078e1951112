// The memory a list takes to load, apart from the window: reads ToDoList.xml (or the file
// named) into a table as the program does, and prints the resident memory before the read,
// with the file's bytes held, after the load, and the peak, in MiB.
//   load_memory [FILE]
#include "storage/ToDoListLoader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

double statusMiB(const char* field) {
    FILE* f = std::fopen("/proc/self/status", "r");
    double value = 0;
    char line[256];
    while (f != nullptr && std::fgets(line, sizeof line, f) != nullptr) {
        if (std::strncmp(line, field, std::strlen(field)) == 0) {
            value = std::atof(line + std::strlen(field)) / 1024;
        }
    }
    if (f != nullptr) {
        std::fclose(f);
    }
    return value;
}

class Target : public taskwick::LoadTarget {
public:
    taskwick::TaskTable& table() override { return table_; }
    QString currentSkinName() const override { return {}; }
    QString currentSkinPath() const override { return {}; }
    void setCurrentSkinName(const QString&) override {}
    void setCurrentSkinPath(const QString&) override {}
    void loadSkin() override {}
    void reportFailure(const QString& context) override {
        std::fprintf(stderr, "failure: %s\n", qPrintable(context));
    }

private:
    taskwick::TaskTable table_;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString path =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("ToDoList.xml");
    const double before = statusMiB("VmRSS:");
    Target target;
    QElapsedTimer timer;
    timer.start();
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", argv[1]);
            return 2;
        }
        QByteArray content = file.readAll();
        const double withBytes = statusMiB("VmRSS:");
        double read = 0;
        // As the program does: the bytes go before the tasks fill the table.
        taskwick::loadToDoList(&content, target, {}, [&](const taskwick::LoadReport&) {
            read = statusMiB("VmRSS:");
            content = QByteArray();
        });
        std::printf("before %.1f bytes %.1f read %.1f loaded %.1f ", before, withBytes, read,
                    statusMiB("VmRSS:"));
    }
    std::printf("without bytes %.1f peak %.1f MiB, %lld ms\n", statusMiB("VmRSS:"),
                statusMiB("VmHWM:"), static_cast<long long>(timer.elapsed()));
    return 0;
}
