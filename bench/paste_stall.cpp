// How long a large paste holds up the window, and how much memory it takes, with the cell
// editor open against the same paste with it closed. The clipboard holds a text of 5 MB and
// one of 20 MB (lines of 80 characters, as a log or a document gives them); Ctrl+V goes to
// the current cell, or to its editor opened with F2 and End. A 1 ms timer stands in for
// everything else the window has to do: the longest gap between its ticks is the stall. The
// peak is the resident memory's high-water mark during the paste (reset before it), the rest
// what stays resident once the editor is closed again, both above what the process held
// before the paste.
//
//   paste_stall [megabytes ...]        (offscreen; default 5 20)
#include "app/boxes/MessageBoxes.h"
#include "app/window/MainWindow.h"
#include "table/view/TaskGrid.h"
#include "tests/support/EventLoopGaps.h"
#include "tests/support/WindowParts.h"

#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace taskwick;

namespace {

class SilentBoxes : public BoxPresenter {
public:
    bool present(BoxKind, const QString&, const QString&) override { return false; }
};

QString linesOf(qsizetype characters) {
    QString text;
    text.reserve(characters);
    for (int i = 0; text.size() < characters; ++i) {
        text += QStringLiteral("line %1 of the pasted text, with some words to fill it out ..\r\n")
                    .arg(i, 8);
    }
    text.truncate(characters);
    return text;
}

// A field of /proc/self/status in kB.
long statusKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray name = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(name)) {
            return std::atol(line.mid(name.size()).trimmed().constData());
        }
    }
    return 0;
}

// Lets the high-water mark of resident memory start again from what is resident now.
void resetPeak() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly)) {
        refs.write("5");
    }
}

void settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
    }
}

enum class Editor { Closed, Open };

struct Figures {
    double stallMs = 0;
    double peakMb = 0;   // above the resident memory before the paste
    double afterMb = 0;  // resident once the editor is closed again, above the same
    bool pasted = false;
};

Figures measure(MessageBoxes& boxes, const QString& text, Editor editor) {
    QTemporaryDir dir;
    MainWindowSettings settings;
    settings.appFolder = dir.path() + "/";
    settings.autoSaveDelayMs = 60 * 60 * 1000;  // the paste alone, not a save of it
    {
        // A first run opens the About dialog, which would take the focus.
        MainWindow first(settings, boxes);
        first.startUp();
        first.close();
    }
    MainWindow window(settings, boxes);
    window.startUp();
    window.show();
    TaskGrid* grid = &taskwick::testing::gridOf(window);
    TaskTable& table = taskwick::testing::tableOf(window);
    table.setCell(1, 1, QStringLiteral("a short task"));
    grid->setFocus();
    grid->currentCell().set({1, 1});
    QGuiApplication::clipboard()->setText(text);
    settle();

    auto key = [grid](Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = grid->isEditing() ? static_cast<QWidget*>(grid->editor()) : grid;
        QKeyEvent press(QEvent::KeyPress, k, modifiers);
        QKeyEvent release(QEvent::KeyRelease, k, modifiers);
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    };
    if (editor == Editor::Open) {
        key(Qt::Key_F2);
        key(Qt::Key_End);
        settle();
    }
    const long before = statusKb("VmRSS");
    resetPeak();
    Figures figures;
    {
        taskwick::testing::EventLoopGaps gaps;
        QEventLoop loop;
        QTimer::singleShot(20, &loop, [&] {
            key(Qt::Key_V, Qt::ControlModifier);
            // Whatever the paste left queued runs before the loop ends.
            QTimer::singleShot(300, &loop, &QEventLoop::quit);
        });
        loop.exec();
        figures.stallMs = gaps.worstMs();
    }
    figures.peakMb = double(statusKb("VmHWM") - before) / 1024;
    if (grid->isEditing()) {
        key(Qt::Key_Return);
    }
    settle();
    figures.afterMb = double(statusKb("VmRSS") - before) / 1024;
    figures.pasted = table.cell(1, 1).size() > text.size() / 2;
    QGuiApplication::clipboard()->clear();
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        sizes.push_back(std::max(1, std::atoi(argv[i])));
    }
    if (sizes.empty()) {
        sizes = {5, 20};
    }
    SilentBoxes presenter;
    MessageBoxes boxes(Language::English, presenter);

    std::printf("paste of   editor   worst stall   peak above before   resident after\n");
    for (const int megabytes : sizes) {
        const QString text = linesOf(qsizetype{megabytes} * 1000 * 1000);
        const Figures closed = measure(boxes, text, Editor::Closed);
        const Figures open = measure(boxes, text, Editor::Open);
        for (const auto& [label, f] : {std::pair{"closed", closed}, std::pair{"open", open}}) {
            std::printf("%4d MB    %-6s %10.0f ms %14.0f MB %14.0f MB%s\n", megabytes, label,
                        f.stallMs, f.peakMb, f.afterMb, f.pasted ? "" : "  (not pasted!)");
        }
        std::printf(
            "ratio worst stall, paste of %d MB into the open editor / into the cell: %.2f\n",
            megabytes, closed.stallMs > 0 ? open.stallMs / closed.stallMs : 0.0);
    }
    return 0;
}
